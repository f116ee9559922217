// A second program on the same store: `store_writer_helper FILE COUNT` opens FILE, prints
// "ready", then adds COUNT queue rows one by one. Prints every failure report to stderr and
// exits with 1 if there was any.

#include "StoreQueue.h"
#include "TMessageStore.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fputs("usage: store_writer_helper FILE COUNT\n", stderr);
        return 2;
    }
    int failures = 0;
    TMessageStore store(args.at(1));
    QObject::connect(
        &store, &TMessageStore::dbError, [&failures](const QString &report, const QString &reason) {
            ++failures;
            std::fprintf(stderr, "%s\n%s\n", qPrintable(report), qPrintable(reason));
        });
    if (!store.open())
        return 1;
    std::puts("ready");
    std::fflush(stdout);
    const int count = args.at(2).toInt();
    for (int i = 0; i < count; ++i)
        StoreSql::EnqueueMessage(store, QStringLiteral("1380000%1").arg(i, 4, 10, QLatin1Char('0')),
            QStringLiteral("helper %1").arg(i));
    return failures == 0 ? 0 : 1;
}
