#include "IncomingHandler.h"

#include "OutgoingQueue.h"
#include "RecipientList.h"
#include "SoundPlayer.h"
#include "StoreStatements.h"
#include "StoreText.h"
#include "TSMSPDUproc.h"
#include "untPublic.h"

#include <QFileInfo>

using untPublic::TrimText;

namespace Gateway {

TIncomingHandler::TIncomingHandler(TSMSPDUproc *modem, TMessageStore *store, TOutgoingQueue *queue,
    ISoundPlayer *sounds, const QString &appDir, QObject *parent)
    : QObject(parent)
    , m_modem(modem)
    , m_store(store)
    , m_queue(queue)
    , m_sounds(sounds)
    , m_appDir(appDir)
{
}

QString TIncomingHandler::StoredSender(const QString &mPhoneID)
{
    return mPhoneID.startsWith(QStringLiteral("86")) ? mPhoneID.mid(2) : mPhoneID;
}

void TIncomingHandler::RecSMS(QObject *, const QString &mSMSC, const QString &mPhoneID,
    const QString &mInfo, const QDateTime &mGTime)
{
    const QString time = StoreText::DateTimeText(mGTime);
    const QString sender = StoredSender(mPhoneID);
    Q_EMIT LogReceived(time + QStringLiteral("  接到") + u'\n' + sender + QStringLiteral("的短信：")
        + u'\n' + mInfo);
    if (!m_modem || m_modem->CmdState != TSMSPDUproc::csRead || sender.isEmpty())
        return;
    // Kept on the modem until it is stored: a failed insert (reported by the store) leaves it
    // there to be read again.
    if (!StoreSql::InsertReceived(*m_store, mSMSC, sender, mInfo, mGTime))
        m_modem->RejectReceivedSMS();
    Q_EMIT InboxChanged();
    if (m_autoPlay && m_sounds)
        m_sounds->Play(m_appDir + QStringLiteral("sms.wav"));
}

void TIncomingHandler::RingMonitor(QObject *, const QString &, TSpeechState mState)
{
    const bool ringing = mState == RING;
    if (ringing != m_answerEnabled) {
        m_answerEnabled = ringing;
        Q_EMIT AnswerEnabledChanged(ringing);
    }
    const QString ring = m_appDir + QStringLiteral("ring.wav");
    if (ringing && m_sounds && QFileInfo::exists(ring))
        m_sounds->Play(ring);
}

void TIncomingHandler::TransmitMonitor(
    QObject *, const QString &mSend, const QString &mPhone, const QString &mInfo)
{
    // The text is also a key into stored pieces ":key&piece", joined in time order.
    QString content = mInfo;
    bool armed = false;
    if (const auto pieces = StoreSql::ForwardPieces(*m_store, TrimText(mInfo))) {
        if (pieces->isEmpty()) {
            armed = true;
        } else {
            QString joined;
            for (const StoreSql::TStoredPiece &p : *pieces) {
                const qsizetype amp = p.text.indexOf(u'&');
                joined += TrimText(QStringView(p.text).mid(amp + 1));
            }
            if (!joined.isEmpty()) {
                content = joined;
                armed = true;
            }
        }
    } // a failed lookup is reported by the store; nothing is forwarded
    if (mPhone.isEmpty() || content.isEmpty())
        return;
    const QString outgoing = content + QStringLiteral(" 来自") + mSend;
    Q_EMIT LogTraffic(QStringLiteral("转发:") + mPhone + QStringLiteral("->") + outgoing);
    if (!armed || !m_queue)
        return;
    for (const QString &entry : SplitRecipients(mPhone)) {
        if (!TrimText(entry).isEmpty()) // two commas in a row name nobody
            m_queue->EnqueueMessage(entry, outgoing);
    }
}

} // namespace Gateway
