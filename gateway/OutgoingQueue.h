#pragma once
// The outgoing queue SM_TO_SP: adding rows, the dispatch of the oldest row through the one
// outgoing scheduler, and the bookkeeping when a row's parts have been answered: all confirmed
// moves it to SM_TO_SP_OK, a refused part body or prompt moves it to SM_TO_SP_FR, any other
// failure leaves it at the head to be sent again from its first part.
//
// Progress is decided by the scheduler's own job state, not by the modem's counters alone:
// those are reset by every failure report and raised by every confirmation, typed or queued,
// so they can be left over. A row that cannot be sent at all (no number, no text, no valid
// MS_ID, a number the modem refuses) or that keeps failing is moved to SM_TO_SP_FR with the
// reason in the error log, so it never holds up the rows behind it.

#include "Timer.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <optional>

class TMessageStore;
class TSMSPDUproc;

namespace Gateway {

class TOutgoingScheduler;

class TOutgoingQueue final : public QObject {
    Q_OBJECT
public:
    // Sends of one row that end without success before it is given up.
    static constexpr int MaxAttempts = 3;

    TOutgoingQueue(TSMSPDUproc *modem, TMessageStore *store, TOutgoingScheduler *scheduler,
        ITimer *sendTimer, QObject *parent = nullptr);

    // Appends one row (number and text trimmed); its MS_ID, or nothing after a reported
    // failure. A running queue takes it at once when it is idle.
    std::optional<qint64> EnqueueMessage(const QString &number, const QString &text);

    // After the first completed set-up: the timer polls, and the first look is made now.
    void Start();
    // Shutdown: nothing more is dispatched.
    void Stop();
    bool Running() const { return m_running; }

    // The dispatch step (each tick of SendTimer, and whenever the previous row is over).
    void SendTimerTimer();
    // From SendOKSMS after the part record: the completion check.
    void PartConfirmed();
    // From ErrMonitor before the counters are reset: the failure move.
    void SendFailure(const QString &text);

    // The MS_ID of the row being sent; 0 when none.
    qint64 Current() const { return m_msId; }

Q_SIGNALS:
    void LogError(const QString &text);
    // A row left SM_TO_SP (to SM_TO_SP_OK or SM_TO_SP_FR).
    void RowSettled(qint64 msId, bool sent);

private:
    void dispatchOne();
    void jobAnswered(int job, int confirmed, int failed, int dropped);
    bool complete(int parts);
    bool giveUp(qint64 msId, const QString &reason);
    bool moveHeadToFailed(qint64 id, qint64 msId, const QString &reason);
    static QString failedLine(qint64 msId, const QString &reason);

    QPointer<TSMSPDUproc> m_modem;
    TMessageStore *m_store;
    TOutgoingScheduler *m_scheduler;
    ITimer *m_sendTimer;
    bool m_running = false;
    bool m_dispatching = false;
    bool m_again = false;
    int m_job = 0; // the scheduler's number for the row being sent
    qint64 m_msId = 0;
    bool m_settled = false; // moved already; its remaining parts may still be going out
    QHash<qint64, int> m_attempts;
};

} // namespace Gateway
