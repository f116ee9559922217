#include "OutgoingQueue.h"

#include "OutgoingScheduler.h"
#include "StoreQueue.h"
#include "TMessageStore.h"
#include "TSMSPDUproc.h"
#include "TStoreQuery.h"

#include <QDateTime>

namespace Gateway {

namespace {

    using C = TMessageStore::TConnection;

    // Runs `body` in one write transaction on the command connection: a move between two
    // tables either happens whole or not at all.
    template <typename F> bool inTransaction(TMessageStore &store, F body)
    {
        if (!store.Run(C::Cmd, QStringLiteral("BEGIN IMMEDIATE")))
            return false;
        if (body() && store.Run(C::Cmd, QStringLiteral("COMMIT")))
            return true;
        store.Run(C::Cmd, QStringLiteral("ROLLBACK"), {}, TReport::Silent);
        return false;
    }

    void resetCounters(TSMSPDUproc *modem)
    {
        modem->QueueMsgID = 0;
        modem->PartsSent = 0;
        modem->PartsTotal = 0;
    }

} // namespace

TOutgoingQueue::TOutgoingQueue(TSMSPDUproc *modem, TMessageStore *store,
    TOutgoingScheduler *scheduler, ITimer *sendTimer, QObject *parent)
    : QObject(parent)
    , m_modem(modem)
    , m_store(store)
    , m_scheduler(scheduler)
    , m_sendTimer(sendTimer)
{
    connect(m_sendTimer, &ITimer::timeout, this, &TOutgoingQueue::SendTimerTimer);
    connect(m_scheduler, &TOutgoingScheduler::JobAnswered, this, &TOutgoingQueue::jobAnswered);
    // A port that comes back (or the switch-on that ends) is looked at without waiting a tick.
    connect(modem, &TSMSPDUproc::LinkStateChanged, this, [this](bool ready) {
        if (ready)
            SendTimerTimer();
    });
}

std::optional<qint64> TOutgoingQueue::EnqueueMessage(const QString &number, const QString &text)
{
    const std::optional<qint64> id = StoreSql::EnqueueMessage(*m_store, number, text);
    if (id)
        SendTimerTimer();
    return id;
}

void TOutgoingQueue::Start()
{
    if (m_running)
        return;
    m_running = true;
    m_sendTimer->start();
    SendTimerTimer();
}

void TOutgoingQueue::Stop()
{
    m_running = false;
    m_sendTimer->stop();
    m_job = 0;
    m_msId = 0;
}

void TOutgoingQueue::SendTimerTimer()
{
    if (m_dispatching) { // asked again from inside the step: one more round when it ends
        m_again = true;
        return;
    }
    m_dispatching = true;
    do {
        m_again = false;
        dispatchOne();
    } while (m_again);
    m_dispatching = false;
}

void TOutgoingQueue::dispatchOne()
{
    // The row in progress is the scheduler's job until all its parts are answered, whatever
    // the counters say. A modem that is not ready takes nothing (the row would only fail).
    if (!m_running || m_job != 0 || !m_modem || !m_modem->Active() || !m_modem->LinkReady())
        return;
    const std::optional<StoreSql::TQueueRow> row = StoreSql::PickNextQueueRow(*m_store, 0);
    if (!row) { // reported by the store with the query
        m_modem->PartsTotal = 0;
        m_modem->QueueMsgID = 0;
        return;
    }
    QString reason;
    if (row->msId <= 0)
        reason = QStringLiteral("编号无效");
    else if (row->number.isEmpty())
        reason = QStringLiteral("没有接收号码");
    else if (row->text.isEmpty())
        reason = QStringLiteral("没有短信内容");
    if (!reason.isEmpty()) {
        // An empty queue reads like a row with nothing in it.
        TStoreQuery head(*m_store);
        if (!head.open(QStringLiteral("SELECT ID FROM SM_TO_SP ORDER BY ID LIMIT 1"))
            || head.atEnd())
            return;
        if (moveHeadToFailed(head.intField(QStringLiteral("ID")), row->msId, reason))
            m_again = true; // the rows behind it go on at once
        return;
    }
    const int size = m_modem->TextSize();
    const int length = TSMSPDUproc::TextLength(row->text);
    const int parts = length / size + (length % size ? 1 : 0);
    m_msId = row->msId;
    m_settled = false;
    // The job is known by its number before it is submitted: a message with nothing to send
    // is answered inside Submit.
    m_job = m_scheduler->NextJobNumber();
    m_scheduler->Submit({ row->number, row->text, int(row->msId), parts });
}

void TOutgoingQueue::PartConfirmed()
{
    if (!m_modem || m_job == 0 || m_settled)
        return;
    const TSMSPDUproc *m = m_modem;
    if (m->PartsTotal > 0 && m->PartsTotal == m->PartsSent && m->QueueMsgID == m_msId)
        complete(m->PartsTotal);
}

void TOutgoingQueue::SendFailure(const QString &text)
{
    if (!m_modem || m_job == 0 || m_settled)
        return;
    const TSMSPDUproc *m = m_modem;
    if (!text.contains(QStringLiteral("AT+CMGS_1发送错误"))
        && !text.contains(QStringLiteral("CMGS_2发送错误")))
        return; // any other failure: the row is sent again once its parts are answered
    if (m->QueueMsgID <= 0 || m->PartsTotal <= 0 || m->QueueMsgID != m_msId)
        return;
    const std::optional<StoreSql::TQueueRow> row = StoreSql::ReadQueueRow(*m_store, m_msId);
    if (!row)
        return; // reported; the row is tried again
    const qint64 msId = m_msId;
    if (row->msId != 0 && !inTransaction(*m_store, [&] {
            return StoreSql::MoveQueueRowToFailed(*m_store, msId, row->number, row->text);
        }))
        return;
    // The rest of its parts may still be going out; the next row waits for them.
    m_settled = true;
    m_attempts.remove(msId);
    Q_EMIT RowSettled(msId, false);
}

bool TOutgoingQueue::complete(int parts)
{
    const qint64 msId = m_msId;
    resetCounters(m_modem);
    const std::optional<StoreSql::TQueueRow> row = StoreSql::ReadQueueRow(*m_store, msId);
    if (!row)
        return false; // reported; the row stays at the head and is sent again
    if (row->msId != 0 // a row deleted meanwhile has nothing to move
        && !inTransaction(*m_store, [&] {
               return StoreSql::MoveQueueRowToDone(
                   *m_store, msId, row->number, row->text, QDateTime::currentDateTime(), parts);
           }))
        return false;
    m_settled = true;
    m_attempts.remove(msId);
    Q_EMIT RowSettled(msId, true);
    return true;
}

void TOutgoingQueue::jobAnswered(int job, int confirmed, int failed, int dropped)
{
    if (job != m_job || m_job == 0)
        return;
    const qint64 msId = m_msId;
    if (!m_settled) {
        if (confirmed > 0 && failed == 0 && dropped == 0) {
            // Every part confirmed, but the counters did not meet (a text of counted length 0,
            // counters reset by a report that was not about this row): it is sent all the same.
            complete(confirmed);
        }
        if (!m_settled) {
            if (dropped > 0 && failed == 0)
                giveUp(msId, QStringLiteral("号码无法发送"));
            else if (confirmed == 0 && failed == 0)
                giveUp(msId, QStringLiteral("没有可发送的号码"));
            else if (++m_attempts[msId] >= MaxAttempts)
                giveUp(msId, QStringLiteral("发送%1次未成功").arg(MaxAttempts));
            // otherwise it stays at the head and goes again from its first part
        }
    }
    m_job = 0;
    m_msId = 0;
    m_settled = false;
    SendTimerTimer();
}

bool TOutgoingQueue::giveUp(qint64 msId, const QString &reason)
{
    const std::optional<StoreSql::TQueueRow> row = StoreSql::ReadQueueRow(*m_store, msId);
    if (!row)
        return false;
    m_attempts.remove(msId);
    if (row->msId == 0)
        return true; // gone meanwhile
    const bool moved = inTransaction(*m_store,
        [&] { return StoreSql::MoveQueueRowToFailed(*m_store, msId, row->number, row->text); });
    if (moved) {
        Q_EMIT LogError(failedLine(msId, reason));
        Q_EMIT RowSettled(msId, false);
    }
    return moved;
}

bool TOutgoingQueue::moveHeadToFailed(qint64 id, qint64 msId, const QString &reason)
{
    // By its key: rows without a valid MS_ID may share one.
    const bool moved = inTransaction(*m_store, [&] {
        return m_store->ExecCmdSQL(
                   QStringLiteral("INSERT INTO SM_TO_SP_FR (MS_ID,TP_DA,TP_UD) "
                                  "SELECT MS_ID,TP_DA,TP_UD FROM SM_TO_SP WHERE ID=?"),
                   { id })
            && m_store->ExecCmdSQL(QStringLiteral("DELETE FROM SM_TO_SP WHERE ID=?"), { id });
    });
    if (moved) {
        Q_EMIT LogError(failedLine(msId, reason));
        Q_EMIT RowSettled(msId, false);
    }
    return moved;
}

QString TOutgoingQueue::failedLine(qint64 msId, const QString &reason)
{
    return QStringLiteral("队列短信") + QString::number(msId) + QStringLiteral("无法发送（")
        + reason + QStringLiteral("），已移入发送失败的短信");
}

} // namespace Gateway
