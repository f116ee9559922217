#pragma once
// What arrives from the modem: a received message is logged, stored in SP_TO_SM and
// announced; an incoming call enables the answer button and rings; a forward request becomes
// queue rows for the numbers it names. The handlers only react: they never send AT commands.

#include "SmsTypes.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>

class TMessageStore;
class TSMSPDUproc;

namespace Gateway {

class ISoundPlayer;
class TOutgoingQueue;

class TIncomingHandler final : public QObject {
    Q_OBJECT
public:
    // `appDir` with a trailing separator: where sms.wav and ring.wav are looked up.
    TIncomingHandler(TSMSPDUproc *modem, TMessageStore *store, TOutgoingQueue *queue,
        ISoundPlayer *sounds, const QString &appDir, QObject *parent = nullptr);

    // cbAutoPlay: play sms.wav after each stored message.
    void SetAutoPlay(bool on) { m_autoPlay = on; }
    bool AutoPlay() const { return m_autoPlay; }
    bool AnswerEnabled() const { return m_answerEnabled; }

    // The sender as stored: a leading "86" removed once.
    static QString StoredSender(const QString &mPhoneID);

    void RecSMS(QObject *Sender, const QString &mSMSC, const QString &mPhoneID,
        const QString &mInfo, const QDateTime &mGTime);
    void RingMonitor(QObject *Sender, const QString &mInfo, TSpeechState mState);
    void TransmitMonitor(
        QObject *Sender, const QString &mSend, const QString &mPhone, const QString &mInfo);

Q_SIGNALS:
    void LogReceived(const QString &text); // memRecSMS
    void LogTraffic(const QString &text); // memRevMonitor
    void InboxChanged(); // the inbox list is to be read again
    void AnswerEnabledChanged(bool enabled); // btnATA

private:
    QPointer<TSMSPDUproc> m_modem;
    TMessageStore *m_store;
    TOutgoingQueue *m_queue;
    ISoundPlayer *m_sounds;
    QString m_appDir;
    bool m_autoPlay = true;
    bool m_answerEnabled = false;
};

} // namespace Gateway
