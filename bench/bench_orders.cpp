// Prints the time to export delivery notes for 1,000 orders of 5 item lines each, in both
// layouts (target: under 3 s), from the copy of the template to the saved workbook.
// Usage: bench_orders [ORDERS [LINES]]

#include "DeliveryNoteExport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

using namespace Orders;

namespace {

QList<TNoteOrder> MakeOrders(int count, int lines)
{
    QList<TNoteOrder> orders;
    for (int i = 0; i < count; ++i) {
        TNoteOrder order;
        order.fid = 1000 + i;
        order.customer = QStringLiteral("客户%1号商店").arg(i);
        // A few days, so that the sequence numbers restart now and then.
        order.receivedAt = QStringLiteral("2024-01-%1 09:%2:00")
                               .arg(5 + i / 300, 2, 10, QLatin1Char('0'))
                               .arg(i % 60, 2, 10, QLatin1Char('0'));
        order.deliveryDate = QStringLiteral("1月%1日").arg(8 + i / 300);
        for (int j = 1; j <= lines; ++j)
            order.items += QStringLiteral("商品%1-%2,%2,箱;").arg(i).arg(j);
        order.remark = QStringLiteral("上午送货，电话联系");
        orders.append(order);
    }
    return orders;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000;
    const int lines = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 5;
    QTemporaryDir home;
    if (!home.isValid() || !QDir(home.path()).mkpath(QStringLiteral("templatefile"))
        || !QDir(home.path()).mkpath(QStringLiteral("exportfile"))) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QString appDir = home.path() + QLatin1Char('/');
    const QList<TNoteOrder> orders = MakeOrders(count, lines);
    int failures = 0;
    for (NoteLayout layout : { NoteLayout::Plain, NoteLayout::Price }) {
        const QString name = LayoutInfo(layout).templateName;
        if (!QFile::copy(QStringLiteral(BENCH_TEMPLATE_DIR "/") + name,
                appDir + QStringLiteral("templatefile/") + name)) {
            std::fprintf(stderr, "template %s missing\n", qPrintable(name));
            return 1;
        }
        double best = 0;
        for (int run = 0; run < 3; ++run) {
            QElapsedTimer timer;
            timer.start();
            // A new name per run: the export refuses to overwrite a file.
            const TExportResult result = WriteDeliveryNotes(appDir, layout, orders,
                QDateTime(
                    QDate(2024, 1, 6), QTime(10, 0, run + (layout == NoteLayout::Price ? 10 : 0))));
            const double ms = double(timer.nsecsElapsed()) / 1e6;
            if (!result.ok) {
                std::fprintf(stderr, "export failed: %s\n", qPrintable(result.error));
                ++failures;
                break;
            }
            best = run == 0 ? ms : std::min(best, ms);
            std::printf("%s layout, %d orders of %d item lines: %.0f ms (%d ids, file %.1f MB)\n",
                layout == NoteLayout::Plain ? "plain" : "price", count, lines, ms,
                int(result.exportedIds.size()), QFileInfo(result.filePath).size() / 1e6);
        }
        std::printf("%s layout best of 3: %.0f ms (target: under 3000 ms)\n",
            layout == NoteLayout::Plain ? "plain" : "price", best);
    }
    return failures == 0 ? 0 : 1;
}
