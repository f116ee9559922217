#include "StoreStatements.h"

#include "StoreText.h"
#include "TStoreQuery.h"

namespace StoreSql {

namespace {
    // Well below the engine's limit on the values of one statement.
    constexpr qsizetype KeysPerStatement = 500;
} // namespace

bool RunForKeys(TMessageStore &store, TMessageStore::TConnection connection, const QString &prefix,
    const QList<qint64> &keys, TMinusOne minusOne)
{
    bool ok = true;
    qsizetype start = 0;
    do {
        const QList<qint64> chunk = keys.mid(start, KeysPerStatement);
        QString statement = prefix;
        QVariantList values;
        if (minusOne == TMinusOne::First)
            statement += QStringLiteral("-1");
        for (const qint64 key : chunk) {
            if (minusOne == TMinusOne::First)
                statement += QLatin1Char(',');
            statement += QLatin1Char('?');
            if (minusOne == TMinusOne::Last)
                statement += QLatin1Char(',');
            values << key;
        }
        if (minusOne == TMinusOne::Last)
            statement += QStringLiteral("-1");
        statement += QLatin1Char(')');
        ok = store.Run(connection, statement, values) && ok;
        start += KeysPerStatement;
    } while (start < keys.size());
    return ok;
}

bool InsertReceived(TMessageStore &store, const QString &centre, const QString &sender,
    const QString &text, const QDateTime &time)
{
    return store.ExecViewSQL(
        QStringLiteral("INSERT INTO SP_TO_SM (TP_CS,TP_DA,TP_UD,TP_DT) VALUES(?,?,?,?)"),
        { centre, sender, text, StoreText::DateTimeText(time) });
}

bool InsertSentPart(TMessageStore &store, qint64 reference, const QString &centre,
    const QString &destination, const QString &text, const QDateTime &time)
{
    return store.ExecCmdSQL(
        QStringLiteral("INSERT INTO SM_TO_SP_RC (MS_ID,TP_CS,TP_DA,TP_UD,TP_DT) VALUES(?,?,?,?,?)"),
        { reference, centre, destination, text, StoreText::DateTimeText(time) });
}

QString ForwardLookupStatement()
{
    // The first term selects no other rows than the pattern does; it lets the engine walk the
    // small index of stored pieces instead of every received message.
    return QStringLiteral("SELECT TP_DA,TP_UD FROM SP_TO_SM WHERE substr(TP_UD, 1, 1) = ':' AND "
                          "TP_UD like ':' || ? || '&%' ORDER BY TP_DT");
}

std::optional<QList<TStoredPiece>> ForwardPieces(
    TMessageStore &store, const QString &key, TReport report)
{
    TStoreQuery query(store);
    if (!query.open(ForwardLookupStatement(), { key }, report))
        return std::nullopt;
    QList<TStoredPiece> pieces;
    for (; !query.atEnd(); query.next())
        pieces.append(
            { query.textField(QStringLiteral("TP_DA")), query.textField(QStringLiteral("TP_UD")) });
    return pieces;
}

bool DeleteReceived(TMessageStore &store, const QList<qint64> &ids)
{
    return RunForKeys(store, TMessageStore::TConnection::View,
        QStringLiteral("delete from SP_TO_SM where id in ("), ids);
}

bool DeleteSentRecords(TMessageStore &store, const QList<qint64> &ids)
{
    return RunForKeys(store, TMessageStore::TConnection::View,
        QStringLiteral("delete from SM_TO_SP_RC where id in ("), ids);
}

std::optional<qint64> GroupId(TMessageStore &store, const QString &name, TReport report)
{
    TStoreQuery query(store);
    if (!query.open(
            QStringLiteral("SELECT ID FROM SM_TO_SP_FR WHERE TP_DA=? LIMIT 1"), { name }, report))
        return std::nullopt;
    return query.intField(QStringLiteral("ID"));
}

bool AddGroup(TMessageStore &store, const QString &name)
{
    return store.ExecCmdSQL(QStringLiteral("insert into SM_TO_SP_FR(TP_DA) values(?)"), { name });
}

bool ImportContact(TMessageStore &store, const TContact &contact)
{
    return store.ExecCmdSQL(
        QStringLiteral("insert into phone_book (fname,fmobile,fphone,funit,ftitle,fdemo,fgroup) "
                       "values(?,?,?,?,?,?,?)"),
        { contact.name, contact.mobile, contact.phone, contact.unit, contact.title, contact.remark,
            contact.group });
}

std::optional<bool> MobileTaken(
    TMessageStore &store, const QString &mobile, qint64 excludeId, TReport report)
{
    QString statement = QStringLiteral("select id from PHONE_BOOK where fmobile=?");
    QVariantList values { mobile };
    if (excludeId > 0) {
        statement += QStringLiteral("\n and id<>?");
        values << excludeId;
    }
    statement += QStringLiteral(" LIMIT 1");
    TStoreQuery query(store);
    if (!query.open(statement, values, report))
        return std::nullopt;
    return query.intField(QStringLiteral("id")) > 0;
}

bool MarkOrdersHandled(TMessageStore &store, const QList<qint64> &fids)
{
    return RunForKeys(store, TMessageStore::TConnection::View,
        QStringLiteral("UPDATE SALE_ORDER SET fstatus=1 WHERE FID IN ("), fids, TMinusOne::First);
}

bool DeleteOrders(TMessageStore &store, const QList<qint64> &fids)
{
    return RunForKeys(store, TMessageStore::TConnection::View,
        QStringLiteral("delete from sale_order where fid in ("), fids);
}

} // namespace StoreSql
