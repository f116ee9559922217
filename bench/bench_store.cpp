// Prints the store's figures: inserts per second of received messages through ExecViewSQL (each
// in its own transaction, as the gateway stores them, and batched), and the time to open the
// inbox over 1,000,000 rows and show its first screen (target: under 200 ms).
// Usage: bench_store [ROWS]   (ROWS defaults to 1000000)

#include "StoreQueue.h"
#include "StoreStatements.h"
#include "StoreViews.h"
#include "TMessageStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

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

void Inserts(TMessageStore &store, int count, bool batched)
{
    using C = TMessageStore::TConnection;
    const QDateTime now = QDateTime::currentDateTime();
    QElapsedTimer timer;
    timer.start();
    if (batched)
        store.Run(C::View, QStringLiteral("BEGIN"));
    for (int i = 0; i < count; ++i)
        StoreSql::InsertReceived(store, QStringLiteral("+8613800100500"),
            QStringLiteral("139%1").arg(i % 100000, 8, 10, QLatin1Char('0')),
            QStringLiteral("收到的短信 \"%1\" it's fine").arg(i), now);
    if (batched)
        store.Run(C::View, QStringLiteral("COMMIT"));
    const double ms = Ms(timer);
    std::printf(
        "received-message inserts through ExecViewSQL, %s: %d rows in %.0f ms = %.0f rows/s\n",
        batched ? "batched in one transaction" : "autocommit (as the gateway stores them)", count,
        ms, count / (ms / 1000.0));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000000;
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fputs("no temporary folder\n", stderr);
        return 1;
    }
    const QString path = dir.filePath(QStringLiteral("SMS.db"));
    std::printf(
        "SQLite file in a temporary folder, WAL, synchronous=FULL (the engine's default)\n");

    {
        auto store = OpenStore(path);
        Inserts(*store, 2000, false);
        Inserts(*store, 20000, true);
        store->ExecViewSQL(QStringLiteral("DELETE FROM SP_TO_SM"));

        // The big inbox: built in one statement, with a phone book of 5,000 contacts.
        QElapsedTimer build;
        build.start();
        using C = TMessageStore::TConnection;
        store->Run(C::Cmd,
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                           "WHERE i < 5000) INSERT INTO PHONE_BOOK (FNAME, FMOBILE) "
                           "SELECT 'contact ' || i, '139' || printf('%08d', i) FROM n"));
        store->Run(C::Cmd,
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                           "WHERE i < ?) INSERT INTO SP_TO_SM (TP_CS, TP_DA, TP_UD, TP_DT) "
                           "SELECT '+8613800100500', '139' || printf('%08d', i % 20000), "
                           "'message number ' || i || ' with some text to make it a row "
                           "of a usual size', datetime(1700000000 + i, 'unixepoch') FROM n"),
            { rows });
        for (int i = 0; i < 10; ++i)
            StoreSql::InsertReceived(*store, QStringLiteral("+8613800100500"),
                QStringLiteral("13900000001"), QStringLiteral(":K1&piece %1").arg(i),
                QDateTime::currentDateTime());
        std::printf("built %d inbox rows in %.0f ms\n", rows, Ms(build));
    }

    // A fresh program run: open the store and the inbox, and read the first screen.
    QElapsedTimer timer;
    timer.start();
    auto store = OpenStore(path);
    const double storeMs = Ms(timer);
    TStoreView *inbox = StoreViews::NewInboxView(*store, store.get());
    QElapsedTimer viewTimer;
    viewTimer.start();
    inbox->open();
    QString screen;
    for (int row = 0; row < 40 && row < inbox->rowCount(); ++row) {
        for (int column = 0; column < inbox->columnCount(); ++column)
            screen += inbox->index(row, column).data().toString();
    }
    const double firstScreenMs = Ms(viewTimer);
    std::printf("open the store: %.1f ms\n", storeMs);
    std::printf("open the inbox over %d rows and show the first screen (40 rows): %.1f ms "
                "(target < 200 ms; %d rows read so far)\n",
        rows, firstScreenMs, inbox->rowCount());

    QElapsedTimer countTimer;
    countTimer.start();
    const auto count = inbox->footerCount();
    std::printf("footer count of the inbox: %lld rows in %.0f ms\n",
        static_cast<long long>(count.value_or(-1)), Ms(countTimer));

    QElapsedTimer refreshTimer;
    refreshTimer.start();
    store->RefreshDataSet(*inbox);
    std::printf("refresh the open inbox: %.1f ms\n", Ms(refreshTimer));

    QElapsedTimer lookupTimer;
    lookupTimer.start();
    const auto pieces = StoreSql::ForwardPieces(*store, QStringLiteral("K1"));
    std::printf("forwarding lookup over %d rows: %.0f ms (%lld pieces)\n", rows, Ms(lookupTimer),
        static_cast<long long>(pieces ? pieces->size() : -1));

    QElapsedTimer enqueueTimer;
    enqueueTimer.start();
    for (int i = 0; i < 100; ++i)
        StoreSql::EnqueueMessage(*store, QStringLiteral("13900000001"), QStringLiteral("queued"));
    std::printf("EnqueueMessage: %.2f ms each\n", Ms(enqueueTimer) / 100);

    if (g_failures > 0) {
        std::fprintf(stderr, "%d statements failed\n", g_failures);
        return 1;
    }
    return 0;
}
