#include "StoreQueue.h"

#include "StoreText.h"
#include "TStoreQuery.h"
#include "untPublic.h"

namespace StoreSql {

namespace {

    std::optional<qint64> ReadNumber(
        TMessageStore &store, const QString &statement, const QVariantList &values = {})
    {
        TStoreQuery query(store);
        if (!query.open(statement, values))
            return std::nullopt;
        bool ok = false;
        const qint64 value = query.intField(QStringLiteral("n"), &ok);
        if (!ok) {
            store.reportFailure(query.shownStatement(), QStringLiteral("no number in the result"));
            return std::nullopt;
        }
        return value;
    }

    std::optional<TQueueRow> ReadRow(
        TMessageStore &store, const QString &statement, const QVariantList &values, TReport report)
    {
        TStoreQuery query(store);
        if (!query.open(statement, values, report))
            return std::nullopt;
        TQueueRow row;
        row.msId = query.intField(QStringLiteral("MS_ID"));
        row.number = query.textField(QStringLiteral("TP_DA"));
        row.text = query.textField(QStringLiteral("TP_UD"));
        return row;
    }

} // namespace

std::optional<qint64> NextQueueNumber(TMessageStore &store)
{
    qint64 sum = 1;
    for (const char *table : { "SM_TO_SP", "SM_TO_SP_OK", "SM_TO_SP_FR" }) {
        const auto count = ReadNumber(
            store, QStringLiteral("SELECT COUNT(*) AS n FROM %1").arg(QLatin1String(table)));
        if (!count)
            return std::nullopt;
        sum += *count;
    }
    const auto taken = ReadNumber(store,
        QStringLiteral("SELECT EXISTS (SELECT 1 FROM SM_TO_SP WHERE MS_ID=?)"
                       " OR EXISTS (SELECT 1 FROM SM_TO_SP_OK WHERE MS_ID=?)"
                       " OR EXISTS (SELECT 1 FROM SM_TO_SP_FR WHERE MS_ID=?) AS n"),
        { sum, sum, sum });
    if (!taken)
        return std::nullopt;
    if (*taken == 0)
        return sum;
    const auto largest = ReadNumber(store,
        QStringLiteral("SELECT MAX(COALESCE((SELECT MAX(MS_ID) FROM SM_TO_SP),0),"
                       "COALESCE((SELECT MAX(MS_ID) FROM SM_TO_SP_OK),0),"
                       "COALESCE((SELECT MAX(MS_ID) FROM SM_TO_SP_FR),0)) AS n"));
    if (!largest)
        return std::nullopt;
    return *largest + 1;
}

std::optional<qint64> EnqueueMessage(
    TMessageStore &store, const QString &number, const QString &text)
{
    using C = TMessageStore::TConnection;
    // The write lock is taken before counting, so a second program waits for this insert and
    // then counts it.
    if (!store.Run(C::Cmd, QStringLiteral("BEGIN IMMEDIATE")))
        return std::nullopt;
    const std::optional<qint64> id = NextQueueNumber(store);
    const bool ok = id
        && store.Run(C::Cmd,
            QStringLiteral("INSERT INTO SM_TO_SP (MS_ID, TP_DA, TP_UD)  VALUES (?,?,?)"),
            { *id, untPublic::TrimText(number), untPublic::TrimText(text) })
        && store.Run(C::Cmd, QStringLiteral("COMMIT"));
    if (!ok) {
        store.Run(C::Cmd, QStringLiteral("ROLLBACK"), {}, TReport::Silent);
        return std::nullopt;
    }
    return id;
}

std::optional<TQueueRow> PickNextQueueRow(
    TMessageStore &store, qint64 msIdInProgress, TReport report)
{
    if (msIdInProgress > 0)
        return ReadRow(store,
            QStringLiteral("SELECT * FROM SM_TO_SP WHERE MS_ID<>? ORDER BY ID LIMIT 1"),
            { msIdInProgress }, report);
    return ReadRow(store, QStringLiteral("SELECT * FROM SM_TO_SP ORDER BY ID LIMIT 1"), {}, report);
}

std::optional<TQueueRow> ReadQueueRow(TMessageStore &store, qint64 msId, TReport report)
{
    return ReadRow(store, QStringLiteral("SELECT * FROM SM_TO_SP WHERE MS_ID=?"), { msId }, report);
}

bool MoveQueueRowToDone(TMessageStore &store, qint64 msId, const QString &number,
    const QString &text, const QDateTime &time, int parts)
{
    const bool deleted =
        store.ExecCmdSQL(QStringLiteral("DELETE FROM SM_TO_SP WHERE MS_ID=?"), { msId });
    const bool recorded = store.ExecCmdSQL(
        QStringLiteral("INSERT INTO SM_TO_SP_OK (MS_ID,TP_DA,TP_UD,TP_DT,TP_SN) VALUES(?,?,?,?,?)"),
        { msId, number, text, StoreText::DateTimeText(time), parts });
    return deleted && recorded;
}

bool MoveQueueRowToFailed(
    TMessageStore &store, qint64 msId, const QString &number, const QString &text)
{
    const bool recorded = store.ExecCmdSQL(
        QStringLiteral("INSERT INTO SM_TO_SP_FR (MS_ID,TP_DA,TP_UD) VALUES(?,?,?)"),
        { msId, number, text });
    const bool deleted =
        store.ExecCmdSQL(QStringLiteral("DELETE FROM SM_TO_SP WHERE MS_ID=?"), { msId });
    return recorded && deleted;
}

} // namespace StoreSql
