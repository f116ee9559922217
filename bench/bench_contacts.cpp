// Prints the contacts figures: the time to import 10,000 contacts from an .xlsx workbook into
// an empty phone book (target: under 3 s), split into reading the workbook and writing the
// rows; the same import with every row on its own (no transaction) over fewer rows, for
// comparison; a second import of the same file (every row a duplicate); and the export.
// Usage: bench_contacts [CONTACTS]   (CONTACTS defaults to 10000)
//        bench_contacts --file WORKBOOK   times the import of that .xls or .xlsx file

#include "PhoneBookExport.h"
#include "PhoneBookImport.h"
#include "PhoneBookLayout.h"
#include "SpreadsheetReader.h"
#include "XlsxWriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

namespace {

int g_failures = 0;

double Ms(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

std::unique_ptr<TMessageStore> OpenStore(const QString &path)
{
    auto store = std::make_unique<TMessageStore>(path);
    QObject::connect(
        store.get(), &TMessageStore::dbError, [](const QString &report, const QString &reason) {
            ++g_failures;
            std::fprintf(stderr, "%s\n%s\n", qPrintable(report), qPrintable(reason));
        });
    store->open();
    return store;
}

// A workbook of `count` contacts in 50 groups, numbers unique, every field filled.
bool MakeWorkbook(const QString &path, int count)
{
    QList<QStringList> rows { Contacts::ImportHeader() };
    rows.reserve(count + 1);
    for (int i = 0; i < count; ++i)
        rows << QStringList { QStringLiteral("联系人%1").arg(i),
            QStringLiteral("139%1").arg(i, 8, 10, QLatin1Char('0')),
            QStringLiteral("010-%1").arg(60000000 + i),
            QStringLiteral("某某有限公司第%1分部").arg(i % 300), QStringLiteral("经理"),
            QStringLiteral("备注 %1").arg(i), QStringLiteral("客户组%1").arg(i % 50) };
    QString error;
    if (!XlsxWriter::WriteWorkbook(path, QStringLiteral("通讯录"), rows, {}, &error)) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(error));
        return false;
    }
    return true;
}

void Print(const char *what, const Contacts::TImportResult &result, double ms)
{
    std::printf("%s: %lld rows, %lld imported, %lld duplicates, %lld groups created in %.0f ms\n",
        what, qlonglong(result.dataRows), qlonglong(result.imported),
        qlonglong(result.skippedDuplicate), qlonglong(result.groupsCreated), ms);
}

int ImportFile(const QString &path)
{
    QTemporaryDir dir;
    auto store = OpenStore(dir.filePath(QStringLiteral("SMS.db")));
    QElapsedTimer timer;
    timer.start();
    const Contacts::TImportResult result = Contacts::ImportPhoneBook(*store, path);
    const double ms = Ms(timer);
    if (result.outcome != Contacts::TImportOutcome::Imported) {
        std::fprintf(stderr, "%s %s\n", qPrintable(result.message), qPrintable(result.reason));
        return 1;
    }
    Print(qPrintable(QStringLiteral("import of %1").arg(path)), result, ms);
    return g_failures > 0 ? 1 : 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--file")
        return ImportFile(QString::fromLocal8Bit(argv[2]));
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    QTemporaryDir dir;
    const QString workbook = dir.filePath(QStringLiteral("contacts.xlsx"));
    if (!dir.isValid() || count <= 0 || !MakeWorkbook(workbook, count))
        return 1;

    QElapsedTimer timer;
    timer.start();
    const std::optional<TSheet> sheet = SpreadsheetReader::ReadFirstWorksheet(workbook);
    const double readMs = Ms(timer);
    if (!sheet)
        return 1;
    std::printf("reading the .xlsx of %d contacts: %.0f ms\n", count, readMs);

    {
        auto store = OpenStore(dir.filePath(QStringLiteral("rows.db")));
        timer.restart();
        const Contacts::TImportResult result = Contacts::ImportRows(*store, *sheet);
        Print("writing the rows (transactions of 500 rows)", result, Ms(timer));
    }

    auto store = OpenStore(dir.filePath(QStringLiteral("SMS.db")));
    timer.restart();
    Contacts::TImportResult result = Contacts::ImportPhoneBook(*store, workbook);
    const double importMs = Ms(timer);
    Print("import of the .xlsx, file to store", result, importMs);
    std::printf("  target under 3000 ms: %s\n", importMs < 3000 ? "met" : "MISSED");

    timer.restart();
    result = Contacts::ImportPhoneBook(*store, workbook);
    Print("the same file again (all duplicates)", result, Ms(timer));

    timer.restart();
    const QString exported = dir.filePath(QStringLiteral("exported.xlsx"));
    const Contacts::TExportResult exportResult = Contacts::ExportPhoneBook(*store, exported);
    std::printf("export of %lld contacts to .xlsx: %.0f ms (%s)\n",
        qlonglong(exportResult.contacts), Ms(timer),
        exportResult.ok ? "written" : qPrintable(exportResult.reason));

    {
        const int few = std::min(count, 1000);
        TSheet part;
        part.rows = sheet->rows.mid(0, few + 1);
        auto plain = OpenStore(dir.filePath(QStringLiteral("plain.db")));
        timer.restart();
        const Contacts::TImportResult plainResult =
            Contacts::ImportRows(*plain, part, Contacts::TImportOptions { 0 });
        const double ms = Ms(timer);
        Print("for comparison, every row on its own (no transaction)", plainResult, ms);
        std::printf(
            "  that is %.2f ms a row, %.0f ms for %d rows\n", ms / few, ms / few * count, count);
    }

    if (g_failures > 0) {
        std::fprintf(stderr, "%d store failures\n", g_failures);
        return 1;
    }
    return 0;
}
