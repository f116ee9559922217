#pragma once
// The one road of outgoing parts to the modem. Messages (a typed text, later queue rows) wait
// in order; each is cut into parts when its turn comes, and the parts are handed over one at a
// time, recipient by recipient, only while the modem is free, the next one as soon as the
// modem says so (ModemFree). Nothing here waits or pumps events.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include "TSMSPDUproc.h"

namespace Gateway {

class TOutgoingScheduler final : public QObject {
    Q_OBJECT
public:
    struct TJob {
        QString numbers; // the recipient field: entries split by SplitRecipients
        QString text; // the whole text, signature included
        int queueMsgId = 0; // a queue row's MS_ID; 0 for a typed send
        int queueParts = 0; // a queue row's part count (PartsTotal before the multiplying)
    };

    explicit TOutgoingScheduler(TSMSPDUproc *modem, QObject *parent = nullptr);

    // Appends a message; returns its number (counting from 1). Hands over a part at once when
    // the modem is free.
    int Submit(const TJob &job);
    // Drops everything not yet handed over (shutdown); the part in flight is left to the modem.
    void Cancel();
    // Hands over the next part if the modem is free; called on ModemFree.
    void Pump();

    // The number the next Submit returns.
    int NextJobNumber() const { return m_nextJob; }
    bool Idle() const { return m_jobs.isEmpty() && m_parts.isEmpty() && !m_inFlight; }
    bool InFlight() const { return m_inFlight; }
    int Confirmed() const { return m_confirmed; }
    int Failed() const { return m_failed; }
    int Total() const { return m_total; }

Q_SIGNALS:
    // Parts confirmed and failed of all parts of the messages started since the scheduler was
    // last idle.
    void Progress(int confirmed, int failed, int total);
    // The last part of a message has been handed over (or it had nothing to send).
    void JobHandedOver(int job);
    // Every handed-over part has been answered and nothing waits: the send is over.
    void Finished(int confirmed, int failed, int total);
    // Every part of one message has been answered, or it had nothing to send: confirmed and
    // failed parts, and parts never handed over (a number the modem refused, an inactive
    // modem). Raised once the modem's handlers for the last answer have run.
    void JobAnswered(int job, int confirmed, int failed, int dropped);

private:
    struct TPart {
        int job;
        int entry; // position among the job's recipient entries
        QString number;
        QString text;
    };

    bool startNextJob();
    void partAnswered(bool confirmed);
    void onModemFree();
    void checkFinished();
    void jobAnswered(int job);
    void reportAnsweredJob();

    QPointer<TSMSPDUproc> m_modem;
    QList<QPair<int, TJob>> m_jobs;
    QList<TPart> m_parts;
    int m_nextJob = 1;
    int m_currentJob = 0;
    int m_inFlightJob = 0;
    int m_answeredJob = 0; // answered, reported on the next pump
    int m_jobConfirmed = 0;
    int m_jobFailed = 0;
    int m_jobDropped = 0;
    bool m_inFlight = false;
    bool m_pumping = false;
    int m_confirmed = 0;
    int m_failed = 0;
    int m_total = 0;
};

} // namespace Gateway
