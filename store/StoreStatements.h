#pragma once
// The statements the gateway, the lists, the phone book and the orders run on the store, one
// function each. Values are bound, never spliced into the statement; a failure is reported by
// the store as "数据库操作出错！" and the statement with its values.

#include "TMessageStore.h"

#include <QDateTime>
#include <QList>
#include <optional>

namespace StoreSql {

// Where the -1 that matches no record goes in a list of record numbers.
enum class TMinusOne { Last, First };

// Runs `prefix` + a list of the keys + ")" (the -1 at the end or the start of the list) on a
// connection, bound as numbers. Long lists are cut into several statements, which the engine
// limits in their number of values.
bool RunForKeys(TMessageStore &store, TMessageStore::TConnection connection, const QString &prefix,
    const QList<qint64> &keys, TMinusOne minusOne = TMinusOne::Last);

// A received message, through ExecViewSQL (the caller refreshes the inbox).
bool InsertReceived(TMessageStore &store, const QString &centre, const QString &sender,
    const QString &text, const QDateTime &time);

// A sent part the modem confirmed with `reference`, through ExecCmdSQL.
bool InsertSentPart(TMessageStore &store, qint64 reference, const QString &centre,
    const QString &destination, const QString &text, const QDateTime &time);

// A stored received message as the forwarding lookup reads it (both fields trimmed).
struct TStoredPiece {
    QString number;
    QString text;
};

// Every received message whose text begins with ":" + key + "&" (a like pattern, so % and _ in
// the key match as wildcards), oldest time stamp first, on the command connection. Empty
// optional if the query fails.
// The statement of ForwardPieces, its one value the key.
QString ForwardLookupStatement();

std::optional<QList<TStoredPiece>> ForwardPieces(
    TMessageStore &store, const QString &key, TReport report = TReport::Report);

// The inbox and outbox deletions, through ExecViewSQL.
bool DeleteReceived(TMessageStore &store, const QList<qint64> &ids);
bool DeleteSentRecords(TMessageStore &store, const QList<qint64> &ids);

// The ID of the first group row named exactly `name`, 0 if there is none.
std::optional<qint64> GroupId(
    TMessageStore &store, const QString &name, TReport report = TReport::Report);
// A group row holding only its name, through ExecCmdSQL.
bool AddGroup(TMessageStore &store, const QString &name);

struct TContact {
    QString name;
    QString mobile;
    QString phone;
    QString unit;
    QString title;
    QString remark;
    QString group;
};

// A phone-book row from the import, through ExecCmdSQL.
bool ImportContact(TMessageStore &store, const TContact &contact);

// Whether a phone-book row other than `excludeId` (0: none excluded) has exactly this mobile.
std::optional<bool> MobileTaken(TMessageStore &store, const QString &mobile, qint64 excludeId,
    TReport report = TReport::Report);

// Order statements, through ExecViewSQL.
bool MarkOrdersHandled(TMessageStore &store, const QList<qint64> &fids);
bool DeleteOrders(TMessageStore &store, const QList<qint64> &fids);

} // namespace StoreSql
