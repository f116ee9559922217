#include "OutgoingScheduler.h"

#include "MessageParts.h"
#include "RecipientList.h"
#include "TSMSPDUproc.h"
#include "untPublic.h"

#include <utility>

namespace Gateway {

TOutgoingScheduler::TOutgoingScheduler(TSMSPDUproc *modem, QObject *parent)
    : QObject(parent)
    , m_modem(modem)
{
    connect(modem, &TSMSPDUproc::ModemFree, this, &TOutgoingScheduler::onModemFree);
    connect(modem, &TSMSPDUproc::OnSendOKSMS, this, [this] { partAnswered(true); });
    connect(modem, &TSMSPDUproc::OnError, this, [this] { partAnswered(false); });
}

int TOutgoingScheduler::Submit(const TJob &job)
{
    const int id = m_nextJob++;
    m_jobs.append({ id, job });
    Pump();
    return id;
}

void TOutgoingScheduler::Cancel()
{
    m_jobs.clear();
    m_parts.clear();
    m_answeredJob = 0;
    checkFinished();
}

bool TOutgoingScheduler::startNextJob()
{
    while (!m_jobs.isEmpty() && m_parts.isEmpty()) {
        const auto [id, job] = m_jobs.takeFirst();
        m_currentJob = id;
        m_jobConfirmed = m_jobFailed = m_jobDropped = 0;
        if (!m_modem || !m_modem->Active()) { // nothing goes out through an inactive modem
            m_jobDropped = 1;
            Q_EMIT JobHandedOver(id);
            jobAnswered(id);
            reportAnsweredJob();
            continue;
        }
        if (job.queueMsgId > 0) {
            m_modem->QueueMsgID = job.queueMsgId;
            m_modem->PartsTotal = job.queueParts;
            m_modem->PartsSent = 0;
        }
        const QString text = QString(job.text).remove(QStringLiteral("\r\n"));
        const QStringList entries = SplitRecipients(job.numbers);
        if (!entries.isEmpty())
            m_modem->PartsTotal *= int(entries.size());
        const QStringList pieces = CutParts(text, m_modem->TextSize());
        for (int e = 0; e < entries.size(); ++e) {
            const QString number = untPublic::TrimText(entries[e]);
            if (number.isEmpty())
                continue;
            for (const QString &piece : pieces)
                m_parts.append({ id, e, number, piece });
        }
        m_total += int(m_parts.size());
        if (m_parts.isEmpty()) {
            Q_EMIT JobHandedOver(id);
            jobAnswered(id);
            reportAnsweredJob();
        } else
            Q_EMIT Progress(m_confirmed, m_failed, m_total);
    }
    return !m_parts.isEmpty();
}

void TOutgoingScheduler::Pump()
{
    if (m_pumping)
        return;
    m_pumping = true;
    reportAnsweredJob();
    // Through an inactive modem nothing goes out: messages whose turn it is are dropped. One
    // that waits for a lost port to come back keeps waiting (the modem stays active).
    if (m_modem && !m_modem->Active() && m_parts.isEmpty() && !m_inFlight)
        startNextJob();
    while (m_modem && !m_inFlight && m_modem->CmdState == TSMSPDUproc::csIdle
        && m_modem->LinkReady()) {
        if (m_parts.isEmpty() && !startNextJob())
            break;
        const TPart part = m_parts.takeFirst();
        try {
            m_modem->SendSMS(part.number, part.text);
            m_inFlight = true;
            m_inFlightJob = part.job;
        } catch (const EModemError &) {
            // A number the modem refuses: the rest of its text is dropped, the others go on.
            const qsizetype before = m_parts.size();
            m_parts.removeIf(
                [&](const TPart &p) { return p.job == part.job && p.entry == part.entry; });
            const int dropped = int(before - m_parts.size()) + 1;
            m_total -= dropped;
            m_jobDropped += dropped;
            Q_EMIT Progress(m_confirmed, m_failed, m_total);
            if (m_parts.isEmpty() || m_parts.first().job != part.job)
                jobAnswered(part.job);
            reportAnsweredJob();
        }
        if (m_parts.isEmpty() || m_parts.first().job != part.job)
            Q_EMIT JobHandedOver(part.job);
    }
    m_pumping = false;
    checkFinished();
}

void TOutgoingScheduler::partAnswered(bool confirmed)
{
    if (!m_inFlight)
        return;
    m_inFlight = false;
    ++(confirmed ? m_confirmed : m_failed);
    ++(confirmed ? m_jobConfirmed : m_jobFailed);
    Q_EMIT Progress(m_confirmed, m_failed, m_total);
    if (m_parts.isEmpty() || m_parts.first().job != m_inFlightJob)
        jobAnswered(m_inFlightJob);
}

void TOutgoingScheduler::jobAnswered(int job)
{
    // The answer's own handlers (the part record, the failure report) run after this one;
    // the job is reported when the modem is next pumped, which is after all of them.
    m_answeredJob = job;
}

void TOutgoingScheduler::reportAnsweredJob()
{
    if (m_answeredJob == 0)
        return;
    const int job = std::exchange(m_answeredJob, 0);
    Q_EMIT JobAnswered(job, m_jobConfirmed, m_jobFailed, m_jobDropped);
}

void TOutgoingScheduler::onModemFree()
{
    // A step that ended without a confirmation or an error report (a reply without a
    // reference) still ends the part: the modem is free again.
    if (m_inFlight)
        partAnswered(false);
    Pump();
}

void TOutgoingScheduler::checkFinished()
{
    if (!Idle() || m_total == 0)
        return;
    const int confirmed = m_confirmed, failed = m_failed, total = m_total;
    m_confirmed = m_failed = m_total = 0;
    Q_EMIT Finished(confirmed, failed, total);
}

} // namespace Gateway
