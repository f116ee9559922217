#pragma once
// The outgoing queue SM_TO_SP: numbering and adding rows, picking the next one, and moving a
// row to SM_TO_SP_OK (all parts sent) or SM_TO_SP_FR (failed).

#include "TMessageStore.h"

#include <QDateTime>
#include <optional>

namespace StoreSql {

// One queue row as the dispatch reads it (number and text trimmed). An empty queue reads as
// a row with MS_ID 0 and empty texts.
struct TQueueRow {
    qint64 msId = 0;
    QString number;
    QString text;
};

// The number for a new queue row: the rows of SM_TO_SP, SM_TO_SP_OK and SM_TO_SP_FR counted,
// plus 1; if a row of those tables already holds that number (a group row was deleted, or
// another program chose it), the largest number in use plus 1. Run it inside the transaction
// that inserts the row. A failure is reported with the statement that failed.
std::optional<qint64> NextQueueNumber(TMessageStore &store);

// Adds one row (number and text trimmed) to SM_TO_SP with a new number, on the command
// connection, in a write transaction so that two programs adding rows at once never take the
// same number. Returns the row's MS_ID, or nothing after a reported failure.
std::optional<qint64> EnqueueMessage(
    TMessageStore &store, const QString &number, const QString &text);

// The queue row with the lowest ID, passing over `msIdInProgress` when it is greater than 0.
std::optional<TQueueRow> PickNextQueueRow(
    TMessageStore &store, qint64 msIdInProgress, TReport report = TReport::Report);

// The first queue row holding `msId`.
std::optional<TQueueRow> ReadQueueRow(
    TMessageStore &store, qint64 msId, TReport report = TReport::Report);

// All parts sent: the row leaves SM_TO_SP and is recorded in SM_TO_SP_OK with the time and
// the number of parts (two statements through ExecCmdSQL, delete first).
bool MoveQueueRowToDone(TMessageStore &store, qint64 msId, const QString &number,
    const QString &text, const QDateTime &time, int parts);

// Sending failed: the row is recorded in SM_TO_SP_FR and leaves SM_TO_SP (two statements
// through ExecCmdSQL, insert first).
bool MoveQueueRowToFailed(
    TMessageStore &store, qint64 msId, const QString &number, const QString &text);

} // namespace StoreSql
