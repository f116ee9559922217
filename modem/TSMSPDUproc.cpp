#include "TSMSPDUproc.h"

#include "ReplyText.h"
#include "SerialTransport.h"
#include "SimulatedModem.h"
#include "untPublic.h"

#include <QSerialPortInfo>

using untPublic::TrimText;

namespace {

constexpr int WatchdogInterval = 100;
constexpr int WatchdogLimit = 60; // acts on the 61st tick after the last write
constexpr int ReadInterval = 2000;
constexpr int SwitchOnPause = 100;
constexpr int ListingWait = 5000;
constexpr int ReconnectInterval = 1000;
constexpr int CsqTimeout = 3000;
const QString Ready = QStringLiteral("系统开始正常运行！");
const char CtrlZ = 26;

bool allDigits(const QString &s)
{
    for (QChar c : s) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

QString upperAscii(QStringView s)
{
    QString out = s.toString();
    for (QChar &c : out) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    }
    return out;
}

} // namespace

EModemError::EModemError(const QString &message)
    : std::runtime_error(message.toStdString()), m_message(message)
{
}

TSMSPDUproc::TSMSPDUproc(QObject *owner, TTimerFactory timers, TCommFactory comms)
    : QObject(owner),
      m_timers(timers ? std::move(timers) : QtTimerFactory()),
      m_comms(comms ? std::move(comms) : DefaultCommFactory())
{
    auto make = [this](int interval, bool singleShot, void (TSMSPDUproc::*handler)()) {
        ITimer *t = m_timers(this);
        t->setInterval(interval);
        t->setSingleShot(singleShot);
        connect(t, &ITimer::timeout, this, handler);
        return t;
    };
    m_watchdogTimer = make(WatchdogInterval, false, &TSMSPDUproc::WatchdogTimerTimer);
    m_readTimer = make(ReadInterval, false, &TSMSPDUproc::ReadTimerTimer);
    m_switchOnTimer = make(SwitchOnPause, true, &TSMSPDUproc::switchOnStep);
    m_listingTimer = make(ListingWait, true, &TSMSPDUproc::switchOnStep);
    m_reconnectTimer = make(ReconnectInterval, false, &TSMSPDUproc::reconnectTick);
    m_csqTimer = make(CsqTimeout, true, &TSMSPDUproc::onCsqTimeout);
}

TSMSPDUproc::~TSMSPDUproc()
{
    // The owner switches off first; the port object goes with its QObject parent.
    m_watchdogTimer->stop();
    m_readTimer->stop();
}

QString TSMSPDUproc::SimulatorPortName() { return TSimulatedModem::PortName(); }

TCommFactory TSMSPDUproc::DefaultCommFactory()
{
    return [](const QString &portName, QObject *parent) -> TCommTransport * {
        if (portName == TSimulatedModem::PortName())
            return new TSimulatedModem(parent);
        return new TSerialTransport(parent);
    };
}

// ---- Properties ---------------------------------------------------------------------------------

void TSMSPDUproc::setSMSC(const QString &value)
{
    if (value.isEmpty())
        throw EModemError(QStringLiteral("短消息中心号码无效"));
    if (!allDigits(value))
        throw EModemError(QStringLiteral("短消息中心号码不正确，必须为数字！"));
    m_smsc = value.startsWith(QLatin1String("86")) ? value : QStringLiteral("86") + value;
}

void TSMSPDUproc::setTP_DA(const QString &value)
{
    if (value.isEmpty())
        throw EModemError(QStringLiteral("目标号码无效"));
    if (!allDigits(value))
        throw EModemError(QStringLiteral("目标号码不正确，必须为数字！"));
    m_tpDa = value;
}

QString TSMSPDUproc::PUDStr()
{
    const Pdu::TSubmitPdu built = Pdu::BuildSubmit(m_smsc, m_tpDa, m_tpDcs, m_tpUd);
    m_tpUd = built.text;
    m_cmgsLen = built.cmgsLen;
    m_lastPdu = built.pdu;
    return built.pdu;
}

QStringList TSMSPDUproc::CommList()
{
    m_commList.clear();
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        m_commList.append(info.portName());
    m_commList.append(SimulatorPortName());
    return m_commList;
}

TCommSettings TSMSPDUproc::commSettings() const
{
    TCommSettings s;
    s.baudRate = qint32(m_baudRate);
    s.dataBits = m_dataBits;
    s.parity = m_parity;
    return s;
}

void TSMSPDUproc::reopenIfActive()
{
    if (!m_active) {
        if (m_comm)
            m_comm->applySettings(commSettings());
        return;
    }
    closePort();
    if (!openPort())
        throw ECommsError(QStringLiteral("串口：") + m_commName + QStringLiteral(" 无法打开!"));
}

void TSMSPDUproc::setCommName(const QString &value)
{
    m_commName = value;
    reopenIfActive();
}

void TSMSPDUproc::setBaudRate(quint32 value)
{
    m_baudRate = value;
    reopenIfActive();
}

void TSMSPDUproc::setByteSize(TByteSize value)
{
    m_byteSize = value;
    m_dataBits = 5 + int(value);
    reopenIfActive();
}

void TSMSPDUproc::setParity(TParity value)
{
    m_parity = value;
    reopenIfActive();
}

void TSMSPDUproc::setRingOK(bool value)
{
    m_ringOK = value;
    if (value) {
        Q_EMIT OnRingMonitor(this, QString(), HANDUP);
    } else {
        SendCommand(QByteArrayLiteral("ATH\r"));
        Q_EMIT OnRingMonitor(this, QString(), HANDDOWN);
    }
}

int TSMSPDUproc::SMCSQ()
{
    if (!m_active)
        return 0;
    if (!m_csqPending && CmdState == csIdle && LinkReady()) {
        m_csqPending = true;
        m_wasBusyForOwner = true;
        m_csqTimer->start();
        SendCommand(QByteArrayLiteral("AT+CSQ\r"));
    }
    return m_lastCsq;
}

void TSMSPDUproc::onCsqTimeout()
{
    if (!m_csqPending)
        return;
    m_csqPending = false;
    m_lastCsq = 0;
    Q_EMIT SignalQuality(0);
    finishStep(csIdle);
}

bool TSMSPDUproc::LinkReady() const
{
    return m_active && m_comm && m_comm->isOpen() && m_switchOnStage == 0 && !m_csqPending;
}

// ---- Port and switching on ----------------------------------------------------------------------

bool TSMSPDUproc::openPort()
{
    if (m_comm && m_commPortName != m_commName) {
        m_comm->close();
        m_comm->deleteLater();
        m_comm = nullptr;
    }
    if (!m_comm) {
        m_comm = m_comms(m_commName, this);
        m_commPortName = m_commName;
        connect(m_comm, &TCommTransport::receiveData, this, &TSMSPDUproc::CommReceiveData);
        connect(m_comm, &TCommTransport::portLost, this, &TSMSPDUproc::onPortLost);
    }
    return m_comm->open(m_commName, commSettings());
}

void TSMSPDUproc::closePort()
{
    if (m_comm)
        m_comm->close();
}

void TSMSPDUproc::setActive(bool value)
{
    m_active = value;
    m_switchOnStage = 0;
    m_switchOnTimer->stop();
    m_listingTimer->stop();
    m_reconnectTimer->stop();
    m_partialReply.clear();
    closePort();
    if (!value)
        return;
    m_portLostReported = false;
    if (!openPort()) {
        Q_EMIT OnError(this, QStringLiteral("串口：") + m_commName + QStringLiteral(" 无法打开!"));
        return;
    }
    startSwitchOn();
}

void TSMSPDUproc::startSwitchOn()
{
    // A short pause, the listing of stored messages, then the initialisation. The listing's
    // final reply ends the wait early; a silent modem gets the full wait.
    m_switchOnStage = 1;
    m_wasBusyForOwner = true;
    m_switchOnTimer->start();
}

void TSMSPDUproc::switchOnStep()
{
    if (!m_active || m_switchOnStage == 0)
        return;
    if (m_switchOnStage == 1) {
        m_switchOnStage = 2;
        ListMessages();
        m_listingTimer->start();
        return;
    }
    m_listingTimer->stop();
    m_switchOnStage = 0;
    InitModem();
    Q_EMIT OnRevMonitor(this, Ready);
    Q_EMIT LinkStateChanged(true);
}

void TSMSPDUproc::onPortLost()
{
    if (!m_active)
        return;
    closePort();
    m_switchOnStage = 0;
    m_switchOnTimer->stop();
    m_listingTimer->stop();
    m_watchdogTimer->stop();
    m_csqPending = false;
    m_partialReply.clear();
    m_reading = false;
    m_readIndex = NoIndex;
    m_tryCount = 0;
    m_reconnectTimer->start();
    Q_EMIT LinkStateChanged(false);
    if (!m_portLostReported) {
        m_portLostReported = true;
        // Whatever was in flight is lost with the port; the owner hears of it once.
        Q_EMIT OnError(this, QStringLiteral("串口：") + m_commName + QStringLiteral(" 连接已断开"));
    }
    CmdState = csIdle;
}

void TSMSPDUproc::reconnectTick()
{
    if (!m_active) {
        m_reconnectTimer->stop();
        return;
    }
    if (!openPort())
        return;
    m_reconnectTimer->stop();
    m_portLostReported = false;
    Q_EMIT OnRevMonitor(this, QStringLiteral("串口：") + m_commName + QStringLiteral(" 已重新连接"));
    CmdState = csIdle;
    startSwitchOn();
}

// ---- Commands ------------------------------------------------------------------------------------

void TSMSPDUproc::SendCommand(const QByteArray &cmd)
{
    ++m_tryCount;
    m_watchdogTicks = 0;
    m_partialReply.clear(); // every write starts a fresh reply
    if (m_comm)
        m_comm->write(cmd);
    m_watchdogTimer->setEnabled(true);
}

void TSMSPDUproc::SendSMS(const QString &Phone, const QString &Text)
{
    setTP_DA(Phone);
    m_tpUd = Text;
    m_tryCount = 0;
    PUDStr();
    CmdState = csSendHead;
    SendCommand(QStringLiteral("at+cmgs=") + m_cmgsLen + QLatin1Char('\r'));
}

void TSMSPDUproc::InitModem()
{
    CmdState = csEcho;
    m_tryCount = 0;
    SendCommand(QByteArrayLiteral("ate\r"));
}

void TSMSPDUproc::ListMessages()
{
    CmdState = csList;
    SendCommand(QByteArrayLiteral("AT+CMGL=4\r"));
}

int TSMSPDUproc::TextLength(QStringView Text) { return untPublic::TextLength(Text); }

QByteArray TSMSPDUproc::currentCommand() const
{
    const QString index = QString::number(m_readIndex);
    switch (CmdState) {
    case csEcho: return QByteArrayLiteral("ate\r");
    case csPduMode: return QByteArrayLiteral("at+cmgf=0\r");
    case csNotify: return (QStringLiteral("at+cnmi=") + m_cnmi + QLatin1Char('\r')).toLatin1();
    case csSendHead: return (QStringLiteral("at+cmgs=") + m_cmgsLen + QLatin1Char('\r')).toLatin1();
    case csSendBody: return m_lastPdu.toLatin1() + CtrlZ;
    case csRead: return (QStringLiteral("at+cmgr=") + index + QLatin1Char('\r')).toLatin1();
    case csDelete: return (QStringLiteral("at+cmgd=") + index + QLatin1Char('\r')).toLatin1();
    case csList: return QByteArrayLiteral("AT+CMGL=4\r");
    default: return {};
    }
}

// ---- Decoding -----------------------------------------------------------------------------------

TSMSPDUproc::TDelivery TSMSPDUproc::deliver(const QString &PDU)
{
    const Pdu::TDecodeResult r = Pdu::Decode(TrimText(PDU));
    if (!r.ok())
        return Undecodable;
    if (r.pdu->type != Pdu::TPduType::Deliver)
        return NotReceived;
    const Pdu::TDecodedPdu &m = *r.pdu;
    m_receiveRejected = false;
    Q_EMIT OnReceiveSMS(this, m.smsc, m.number, m.text, m.timestamp);
    if (m_receiveRejected || !m_useTransmit)
        return Delivered;

    // A forward request: the code, a colon, the numbers, "#", the text. The numbers start right
    // after the colon whatever the letter case of the code.
    const QString &text = m.text;
    const qsizetype n = m_transmitSign.size();
    const qsizetype hash = text.indexOf(u'#');
    if (hash < 0 || upperAscii(QStringView(text).left(n + 1)) != upperAscii(m_transmitSign + u':'))
        return Delivered;
    const QString numbers = TrimText(QStringView(text).mid(n + 1, hash - n - 1));
    const QString info = TrimText(QStringView(text).mid(hash + 1));
    if (!numbers.isEmpty())
        Q_EMIT OnTransmitMonitor(this, m.number, numbers, info);
    return Delivered;
}

void TSMSPDUproc::DecodeDeliver(const QString &PDU)
{
    if (deliver(PDU) == Undecodable)
        throw EModemError(QStringLiteral("PDU无法解码"));
}

void TSMSPDUproc::DecodeSubmit(const QString &Reference, const QString &PDU)
{
    const Pdu::TDecodeResult r = Pdu::Decode(PDU);
    const QDateTime now = QDateTime::currentDateTime();
    if (r.ok())
        Q_EMIT OnSendOKSMS(this, Reference, r.pdu->smsc, r.pdu->number, r.pdu->text, now);
    else // our own PDU: the fields it was built from say the same
        Q_EMIT OnSendOKSMS(this, Reference, m_smsc, m_tpDa, m_tpUd, now);
}

// ---- Received blocks ----------------------------------------------------------------------------

void TSMSPDUproc::CommReceiveData(const QByteArray &Buffer)
{
    const quint8 before = CmdState;
    ++m_processing;
    try {
        handleBlock(QString::fromLatin1(Buffer));
    } catch (...) {
        // A failing handler or decode drops the rest of the block; nothing stays half-done.
        resetAfterFailure();
    }
    --m_processing;
    finishStep(before);
}

void TSMSPDUproc::resetAfterFailure()
{
    if (CmdState == csRead)
        noteReadFailure();
    CmdState = csIdle;
    m_tryCount = 0;
    m_readIndex = NoIndex;
    m_reading = false;
    m_partialReply.clear();
}

void TSMSPDUproc::handleBlock(const QString &block)
{
    // 1. Error codes, whatever command was running.
    if (block.contains(QLatin1String("ERROR"))) {
        const qsizetype colon = block.indexOf(u':');
        const QString code = TrimText(colon < 0 ? QStringView(block) : QStringView(block).mid(colon + 1));
        if (code == QLatin1String("21"))
            Q_EMIT OnError(this, QStringLiteral("欠费停机"));
        if (code == QLatin1String("38"))
            Q_EMIT OnError(this, QStringLiteral("AT+CMGS_2发送错误"));
        if (block.contains(QLatin1String("+CMS"))) {
            if (CmdState == csRead)
                noteReadFailure();
            CmdState = csIdle;
            m_partialReply.clear();
            Q_EMIT OnError(this, QStringLiteral("第") + QString::number(QueueMsgID)
                                     + QStringLiteral("号短信发送失败！"));
        }
    }

    // 2. Incoming call.
    if ((block.contains(QLatin1String("+CLIP")) || block.contains(QLatin1String("RING")))
        && CmdState == csIdle && !m_reading) {
        if (m_useATA) {
            if (m_ringOK)
                SendCommand(QByteArrayLiteral("ATA\r"));
            Q_EMIT OnRingMonitor(this, block, RING);
        } else {
            SendCommand(QByteArrayLiteral("ATH\r"));
        }
    }

    // 3. Call ended.
    if (m_ringOK && block.contains(QLatin1String("NO CARRIER")) && CmdState == csIdle && !m_reading)
        Q_EMIT OnRingMonitor(this, block, HANDDOWN);

    // 4. New-message indications, and messages routed straight to us.
    if (m_autoReceive && block.contains(QLatin1String("+CMTI")))
        collectIndication(block);
    if (block.contains(QLatin1String("+CMT:")))
        deliverRouted(block);

    // 5. Listing.
    if (block.contains(QLatin1String("+CMGL")))
        ParseMessageList(block);

    // 6. Signal.
    m_csqValue = 0;
    if (block.contains(QLatin1String("+CSQ"))) {
        const qsizetype colon = block.indexOf(u':');
        const qsizetype comma = block.indexOf(u',');
        if (colon >= 0 && comma > colon)
            m_csqValue = ReplyText::Number(TrimText(QStringView(block).mid(colon + 1, comma - colon - 1))).value_or(0);
        if (m_csqPending) {
            m_csqPending = false;
            m_csqTimer->stop();
            m_lastCsq = m_csqValue;
            Q_EMIT SignalQuality(m_csqValue);
        }
    }

    // 7. State step.
    stateStep(block);
}

void TSMSPDUproc::collectIndication(const QString &block)
{
    // Every "+CMTI: <storage>,<index>" line counts, so a burst in one block loses nothing.
    for (const QString &line : ReplyText::Lines(QString(block).remove(u'>'))) {
        const qsizetype at = line.indexOf(QLatin1String("+CMTI"));
        if (at < 0)
            continue;
        const auto fields = ReplyText::Fields(line.mid(at), u"+CMTI");
        if (!fields || fields->size() < 2)
            continue;
        const auto index = ReplyText::Number(fields->last());
        if (!index)
            continue;
        const QString entry = QString::number(*index);
        if (!m_pendingList.contains(entry))
            m_pendingList.append(entry);
    }
    if (!m_pendingList.isEmpty())
        m_readTimer->setEnabled(true);
}

void TSMSPDUproc::deliverRouted(const QString &block)
{
    // Some modems route a message to us directly ("+CMT:" with the PDU on the next line) although
    // storage was asked for. It is not on the SIM, so it is reported and never deleted.
    // Owners take a message while the state says "reading", as for a stored one.
    const QStringList lines = ReplyText::Lines(block);
    for (int i = 0; i + 1 < lines.size(); ++i) {
        if (!lines[i].startsWith(QLatin1String("+CMT:")))
            continue;
        const quint8 state = CmdState;
        CmdState = csRead;
        deliver(lines[i + 1]);
        CmdState = state;
    }
}

void TSMSPDUproc::ParseMessageList(const QString &text)
{
    // "+CMGL: <index>,<stat>,[<alpha>],<length>" read field by field; only received messages
    // (stat 0 unread, 1 read) are collected.
    for (const QString &line : ReplyText::Lines(text)) {
        const qsizetype at = line.indexOf(QLatin1String("+CMGL"));
        if (at < 0)
            continue;
        const auto fields = ReplyText::Fields(line.mid(at), u"+CMGL");
        if (!fields || fields->size() < 2)
            continue;
        const auto index = ReplyText::Number(fields->at(0));
        const auto stat = ReplyText::Number(fields->at(1));
        if (!index || !stat || *stat > 1)
            continue;
        const QString entry = QString::number(*index);
        if (!m_pendingList.contains(entry))
            m_pendingList.append(entry);
    }
}

QString TSMSPDUproc::sendReference(const QString &block) const
{
    // The reference as the modem wrote it after "+CMGS:", up to the line end; a blank after the
    // colon is kept (" 12"), as the event has always carried it.
    const qsizetype at = block.lastIndexOf(QLatin1String("+CMGS"));
    qsizetype p = block.indexOf(u':', at);
    if (p < 0)
        return QString();
    ++p;
    qsizetype end = p;
    while (end < block.size() && block[end] != u'\r' && block[end] != u'\n')
        ++end;
    QString ref = block.mid(p, end - p);
    if (block.contains(QLatin1String("+CMTI")))
        ref = TrimText(ref);
    return ref;
}

void TSMSPDUproc::retry(const QString &giveUpText)
{
    if (m_tryCount < m_reSend) {
        SendCommand(currentCommand());
        return;
    }
    m_tryCount = 0;
    CmdState = csIdle;
    Q_EMIT OnError(this, giveUpText);
}

void TSMSPDUproc::stateStep(const QString &block)
{
    const bool ok = block.contains(QLatin1String("OK"));
    const bool error = ReplyText::HasError(block);
    switch (CmdState) {
    case csIdle:
        m_watchdogTicks = 0;
        m_watchdogTimer->stop();
        break;
    case csEcho:
        if (ok) {
            CmdState = csPduMode;
            m_tryCount = 0;
            SendCommand(currentCommand());
        } else if (error) {
            retry(QStringLiteral("ATE发送错误"));
        }
        break;
    case csPduMode:
        if (ok) {
            CmdState = csNotify;
            m_tryCount = 0;
            SendCommand(currentCommand());
        } else if (error) {
            retry(QStringLiteral("AT+CMGF发送错误"));
        }
        break;
    case csNotify:
        if (ok) {
            CmdState = csIdle;
            if (!m_pendingList.isEmpty())
                m_readTimer->setEnabled(true);
            m_tryCount = 0;
        } else if (error) {
            retry(QStringLiteral("AT+CNMI发送错误"));
        }
        break;
    case csSendHead:
        if (block.contains(u'>')) {
            CmdState = csSendBody;
            m_tryCount = 0;
            SendCommand(currentCommand());
        } else if (error) {
            retry(QStringLiteral("AT+CMGS_1发送错误"));
        }
        break;
    case csSendBody:
        if (ok && block.contains(QLatin1String("+CMGS"))) {
            ++PartsSent;
            const QString ref = sendReference(block);
            if (!TrimText(ref).isEmpty())
                DecodeSubmit(ref, m_lastPdu);
            CmdState = csIdle;
            m_tryCount = 0;
        } else if (error) {
            retry(QStringLiteral("AT+CMGS_2发送错误"));
        }
        break;
    case csRead:
        readStep(block, ok, error);
        break;
    case csDelete:
        if (m_readIndex < 0) {
            CmdState = csIdle;
        } else if (ok) {
            m_reading = false;
            CmdState = csIdle;
            m_tryCount = 0;
            m_readIndex = NoIndex;
        } else if (error) {
            retry(QStringLiteral("AT+CMGD发送错误"));
            if (CmdState == csIdle) { // given up: the message stays on the SIM
                m_readIndex = NoIndex;
                m_reading = false;
            }
        }
        break;
    case csList:
        // The listing itself was collected above; its final reply ends the switch-on wait.
        if ((ok || error) && m_switchOnStage == 2)
            switchOnStep();
        break;
    default:
        break;
    }
}

void TSMSPDUproc::readStep(const QString &block, bool ok, bool error)
{
    if (m_readIndex < 0)
        return;
    // A reply whose final result has not come yet waits for the rest.
    QString reply = m_partialReply + block;
    const QStringList lines = ReplyText::Lines(reply);
    qsizetype header = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith(QLatin1String("+CMGR"))) {
            header = i;
            break;
        }
    }
    if (!ok && !error) {
        if (header >= 0)
            m_partialReply = reply;
        return;
    }
    m_partialReply.clear();
    if (error && header < 0) {
        if (m_tryCount < m_reSend) {
            SendCommand(currentCommand());
            return;
        }
        m_tryCount = 0;
        CmdState = csIdle;
        m_readIndex = NoIndex;
        m_readFailures = 0;
        removeHead();
        Q_EMIT OnError(this, QStringLiteral("AT+CMGR发送错误（在侦测时）"));
        return;
    }
    if (header < 0 || header + 1 >= lines.size() || lines[header + 1] == QLatin1String("OK")) {
        // An empty slot: nothing to report, nothing to delete.
        removeHead();
        m_readFailures = 0;
        CmdState = csIdle;
        m_tryCount = 0;
        m_readIndex = NoIndex;
        return;
    }
    m_reading = true;
    const TDelivery delivery = deliver(lines[header + 1]);
    if (delivery == Undecodable) {
        resetAfterFailure();
        return;
    }
    if (delivery == NotReceived) {
        // A stored status report or sent message: not for the inbox, and not ours to delete.
        Q_EMIT OnRevMonitor(this, QStringLiteral("第") + QString::number(m_readIndex)
                                      + QStringLiteral("号位置不是收到的短信，已跳过"));
        removeHead();
        m_readFailures = 0;
        CmdState = csIdle;
        m_tryCount = 0;
        m_readIndex = NoIndex;
        m_reading = false;
        return;
    }
    if (m_receiveRejected) {
        // Not stored by the owner: it stays on the SIM and is read again later.
        Q_EMIT OnRevMonitor(this, QStringLiteral("第") + QString::number(m_readIndex)
                                      + QStringLiteral("号位置的短信未能保存，已保留在SIM卡中"));
        noteReadFailure();
        CmdState = csIdle;
        m_tryCount = 0;
        m_readIndex = NoIndex;
        m_reading = false;
        return;
    }
    m_readFailures = 0;
    removeHead();
    if (m_delAfterRev) {
        m_tryCount = 0;
        CmdState = csDelete;
        SendCommand(currentCommand());
    } else {
        CmdState = csIdle;
        m_tryCount = 0;
        m_readIndex = NoIndex;
        m_reading = false;
    }
}

void TSMSPDUproc::removeHead()
{
    if (!m_pendingList.isEmpty())
        m_pendingList.removeFirst();
}

void TSMSPDUproc::noteReadFailure()
{
    // A message that keeps failing is skipped so that the ones behind it are read; it stays on
    // the SIM and is found again by the next listing.
    if (++m_readFailures < MaxReadFailures || m_pendingList.isEmpty())
        return;
    const QString index = m_pendingList.first();
    m_readFailures = 0;
    removeHead();
    Q_EMIT OnError(this, QStringLiteral("第") + index
                             + QStringLiteral("号位置的短信多次读取失败，已跳过（保留在SIM卡中）"));
}

// ---- Timers -------------------------------------------------------------------------------------

void TSMSPDUproc::WatchdogTimerTimer()
{
    if (++m_watchdogTicks <= WatchdogLimit)
        return;
    m_watchdogTicks = 0;
    const quint8 before = CmdState;
    static const char *const giveUp[] = {nullptr,          "ATE发送错误",       "AT+CMGF发送错误",
                                         "AT+CNMI发送错误", "AT+CMGS_1发送错误", "AT+CMGS_2发送错误",
                                         "AT+CMGR发送错误", "AT+CMGD发送错误",   "AT+CMGL发送错误"};
    ++m_processing;
    try {
        if (CmdState != csIdle && CmdState <= csList) {
            if (m_tryCount < m_reSend) {
                SendCommand(currentCommand());
            } else {
                m_tryCount = 0;
                if (CmdState == csRead)
                    noteReadFailure();
                if (CmdState == csDelete)
                    m_reading = false;
                Q_EMIT OnError(this, QString::fromUtf8(giveUp[CmdState]));
            }
        }
        // An unanswered "ate" is written once more, then the initialisation is dropped.
        if (CmdState == csEcho) {
            CmdState = csIdle;
            m_tryCount = 0;
        }
    } catch (...) {
        resetAfterFailure();
    }
    --m_processing;
    m_watchdogTicks = 0;
    finishStep(before);
}

void TSMSPDUproc::ReadTimerTimer()
{
    if (m_pendingList.isEmpty() || CmdState != csIdle) {
        m_readTimer->stop();
        return;
    }
    startNextRead();
}

bool TSMSPDUproc::startNextRead()
{
    while (!m_pendingList.isEmpty()) {
        const QString head = TrimText(m_pendingList.first());
        if (head.isEmpty()) { // a blank entry would stop the reading behind it
            removeHead();
            continue;
        }
        const auto index = ReplyText::Number(head);
        if (!index) {
            removeHead();
            return false;
        }
        m_readIndex = *index;
        m_tryCount = 0;
        CmdState = csRead;
        SendCommand(currentCommand());
        return true;
    }
    return false;
}

void TSMSPDUproc::finishStep(quint8 stateBefore)
{
    if (m_processing > 0)
        return;
    if (CmdState != csIdle || !LinkReady())
        return;
    // Stored messages are read whenever the modem is free, not only on the read timer's tick.
    if (!m_reading && !m_pendingList.isEmpty() && startNextRead())
        return;
    if (stateBefore != csIdle || m_wasBusyForOwner) {
        m_wasBusyForOwner = false;
        Q_EMIT ModemFree();
    }
}
