#pragma once
// TSMSPDUproc: drives one GSM modem with AT commands in PDU mode. Sends one message at a
// time, collects and reads the messages the modem stores, reports calls, and tells its owner
// everything through its On... signals. A thin layer over the Pdu:: functions and a
// TCommTransport; its timers come from an injectable factory so tests never sleep.

#include "CommTransport.h"
#include "PduCodec.h"
#include "SmsTypes.h"
#include "Timer.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <stdexcept>

// Refusal of a property value; Message() is the fixed text shown to the user.
class EModemError : public std::runtime_error
{
public:
    explicit EModemError(const QString &message);
    QString Message() const { return m_message; }

private:
    QString m_message;
};

// A port that cannot be (re)opened after a line-setting write while active.
class ECommsError : public EModemError
{
public:
    using EModemError::EModemError;
};

class TSMSPDUproc : public QObject
{
    Q_OBJECT
public:
    // Command states; the numbers are part of the interface (the owner tests 0 and 6).
    enum : quint8 {
        csIdle = 0,
        csEcho = 1,
        csPduMode = 2,
        csNotify = 3,
        csSendHead = 4,
        csSendBody = 5,
        csRead = 6,
        csDelete = 7,
        csList = 8
    };
    static constexpr int NoIndex = -1; // storage index 0 is valid: "none" is its own value

    explicit TSMSPDUproc(QObject *owner = nullptr, TTimerFactory timers = {},
                         TCommFactory comms = {});
    ~TSMSPDUproc() override;

    // ---- Published properties ---------------------------------------------------------------
    TTP_DCS TP_DCS() const { return m_tpDcs; }
    void setTP_DCS(TTP_DCS value) { m_tpDcs = value; }
    QString SMSC() const { return m_smsc; }
    void setSMSC(const QString &value); // throws EModemError
    QString TP_DA() const { return m_tpDa; }
    void setTP_DA(const QString &value); // throws EModemError
    QString PUDStr();                    // builds the PDU, refreshes CMGSLen and LastPDU
    QString CMGSLen() const { return m_cmgsLen; }
    QString CommName() const { return m_commName; }
    void setCommName(const QString &value);
    QStringList CommList(); // refills: serial ports present, then the built-in simulator
    void setCommList(const QStringList &value) { m_commList = value; }
    quint32 BaudRate() const { return m_baudRate; }
    void setBaudRate(quint32 value);
    TByteSize ByteSize() const { return m_byteSize; }
    void setByteSize(TByteSize value);
    TParity Parity() const { return m_parity; }
    void setParity(TParity value);
    TStopBits StopBits() const { return m_stopBits; }
    void setStopBits(TStopBits value) { m_stopBits = value; } // stored only: the port keeps 1
    QString CNMI() const { return m_cnmi; }
    void setCNMI(const QString &value) { m_cnmi = value; }
    int ReSend() const { return m_reSend; }
    void setReSend(int value) { m_reSend = value; }
    int TextSize() const { return m_tpDcs == td7_Bit ? 158 : 68; }
    // Latest signal quality. Reading it while active asks the modem again ("AT+CSQ") when it is
    // free; the answer arrives as SignalQuality(), or 0 after a time-out. Never blocks.
    int SMCSQ();
    bool Active() const { return m_active; }
    void setActive(bool value);
    bool UseTransmit() const { return m_useTransmit; }
    void setUseTransmit(bool value) { m_useTransmit = value; }
    QString TransmitSign() const { return m_transmitSign; }
    void setTransmitSign(const QString &value) { m_transmitSign = value; }
    bool UseATA() const { return m_useATA; }
    void setUseATA(bool value) { m_useATA = value; }
    bool RingOK() const { return m_ringOK; }
    void setRingOK(bool value);
    bool AutoReceive() const { return m_autoReceive; }
    void setAutoReceive(bool value) { m_autoReceive = value; }
    bool DelAfterRev() const { return m_delAfterRev; }
    void setDelAfterRev(bool value) { m_delAfterRev = value; }

    // ---- Public fields (read and written by the owner) --------------------------------------
    quint8 CmdState = csIdle;
    int QueueMsgID = 0;
    int PartsTotal = 0;
    int PartsSent = 0;

    // ---- Operations -------------------------------------------------------------------------
    void SendSMS(const QString &Phone, const QString &Text); // throws EModemError on a bad number
    void InitModem();
    void ListMessages();
    static int TextLength(QStringView Text);
    void DecodeDeliver(const QString &PDU);
    void DecodeSubmit(const QString &Reference, const QString &PDU);
    // Handles one received block (the transport's receiveData).
    void CommReceiveData(const QByteArray &Buffer);

    // Called by an OnReceiveSMS handler that could not store the message: it is then neither
    // deleted from the modem nor forwarded, and is read again later.
    void RejectReceivedSMS() { m_receiveRejected = true; }

    // True while the port is open and the switch-on sequence is over: the owner may send.
    bool LinkReady() const;

    // Inspection (tests, status display).
    const QStringList &PendingList() const { return m_pendingList; }
    QString LastPDU() const { return m_lastPdu; }
    int ReadIndex() const { return m_readIndex; }
    bool Reading() const { return m_reading; }
    int TryCount() const { return m_tryCount; }
    int CSQValue() const { return m_csqValue; }
    QString TP_UD() const { return m_tpUd; }

    // Tries of one stored message whose PDU cannot be decoded or stored before it is skipped
    // (left on the SIM).
    static constexpr int MaxReadFailures = 3;
    static QString SimulatorPortName();
    static TCommFactory DefaultCommFactory();

Q_SIGNALS:
    void OnRevMonitor(QObject *Sender, const QString &RevString);
    void OnSndMonitor(QObject *Sender, const QString &RevString);
    void OnRingMonitor(QObject *Sender, const QString &mInfo, TSpeechState mState);
    void OnError(QObject *Sender, const QString &RevString);
    void OnReceiveSMS(QObject *Sender, const QString &mSMSC, const QString &mPhoneID,
                      const QString &mInfo, const QDateTime &mGTime);
    void OnSendOKSMS(QObject *Sender, const QString &mSendID, const QString &mSMSC,
                     const QString &mPhoneID, const QString &mInfo, const QDateTime &mGTime);
    void OnTransmitMonitor(QObject *Sender, const QString &mSend, const QString &mPhone,
                           const QString &mInfo);
    // The modem became free (CmdState 0) at the end of a step: the owner may send now.
    void ModemFree();
    // The port opened, was lost, or came back (for the status display).
    void LinkStateChanged(bool ready);
    void SignalQuality(int value);

private:
    void SendCommand(const QByteArray &cmd);
    void SendCommand(const QString &cmd) { SendCommand(cmd.toLatin1()); }
    QByteArray currentCommand() const;
    bool openPort();
    void closePort();
    void reopenIfActive();
    TCommSettings commSettings() const;
    void startSwitchOn();
    void switchOnStep();
    void onPortLost();
    void reconnectTick();
    void onCsqTimeout();
    void handleBlock(const QString &block);
    void collectIndication(const QString &block);
    void deliverRouted(const QString &block);
    void ParseMessageList(const QString &text);
    QString sendReference(const QString &block) const;
    void stateStep(const QString &block);
    void readStep(const QString &block, bool ok, bool error);
    void retry(const QString &giveUpText);
    enum TDelivery { Delivered, NotReceived, Undecodable };
    TDelivery deliver(const QString &pdu);
    void removeHead();
    void noteReadFailure();
    void resetAfterFailure();
    void WatchdogTimerTimer();
    void ReadTimerTimer();
    bool startNextRead();
    void finishStep(quint8 stateBefore);

    TTimerFactory m_timers;
    TCommFactory m_comms;
    TCommTransport *m_comm = nullptr;
    QString m_commPortName; // the name m_comm was made for
    ITimer *m_watchdogTimer;
    ITimer *m_readTimer;
    ITimer *m_switchOnTimer;  // the pause before the listing
    ITimer *m_listingTimer;   // the longest wait for the listing
    ITimer *m_reconnectTimer; // tries to reopen a vanished port
    ITimer *m_csqTimer;       // time-out of a signal-quality request
    QStringList m_commList;
    QStringList m_pendingList;

    TTP_DCS m_tpDcs = tdUCS2;
    QString m_smsc;
    QString m_tpDa;
    QString m_cmgsLen;
    QString m_commName;
    quint32 m_baudRate = 9600;
    TByteSize m_byteSize = _5;
    TParity m_parity = None;
    TStopBits m_stopBits = _1;
    int m_dataBits = 8; // what the port runs at until ByteSize is written
    QString m_cnmi;
    int m_reSend = 3;
    bool m_active = false;
    bool m_useTransmit = true;
    QString m_transmitSign;
    bool m_useATA = false;
    bool m_ringOK = false;
    bool m_autoReceive = true;
    bool m_delAfterRev = true;

    QString m_tpUd;
    QString m_lastPdu;
    int m_readIndex = NoIndex;
    int m_tryCount = 0;
    int m_watchdogTicks = 0;
    int m_csqValue = 0;
    int m_lastCsq = 0;
    bool m_reading = false;
    bool m_receiveRejected = false;
    bool m_csqPending = false;
    int m_switchOnStage = 0; // 0 off/done, 1 waiting to list, 2 listing
    bool m_portLostReported = false;
    int m_readFailures = 0; // consecutive failures of the head index
    int m_processing = 0;   // nesting depth of block and timer handlers
    QString m_partialReply; // a read reply still waiting for its final result
    bool m_wasBusyForOwner = false; // the owner could not send for a reason other than CmdState
};
