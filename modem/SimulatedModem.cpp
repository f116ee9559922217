#include "SimulatedModem.h"

#include "PduCodec.h"

#include <QDateTime>
#include <QTimer>

namespace {

const char CtrlZ = 26;
const char *const ServiceCentre = "8613800100500";

QString hexByte(int v) { return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper(); }

QString address(const QString &digits)
{
    return hexByte(int(digits.size())) + QStringLiteral("91") + Pdu::EncodeSemiOctets(digits);
}

QString timestampNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    return Pdu::EncodeSemiOctets(now.toString(QStringLiteral("yyMMddHHmmss")) + QStringLiteral("00"));
}

} // namespace

TSimulatedModem::TSimulatedModem(QObject *parent) : TCommTransport(parent) {}

QString TSimulatedModem::PortName() { return QStringLiteral("模拟短信猫"); }
QString TSimulatedModem::OwnNumber() { return QStringLiteral("13800138000"); }

bool TSimulatedModem::open(const QString &, const TCommSettings &)
{
    m_open = true;
    m_input.clear();
    m_expectedLength = -1;
    return true;
}

void TSimulatedModem::close() { m_open = false; }

bool TSimulatedModem::write(const QByteArray &bytes)
{
    if (!m_open || bytes.isEmpty())
        return false;
    m_input += bytes;
    for (;;) {
        if (m_expectedLength >= 0) {
            const qsizetype end = m_input.indexOf(CtrlZ);
            if (end < 0)
                break;
            const QByteArray hex = m_input.left(end);
            m_input.remove(0, end + 1);
            pduBody(hex);
            continue;
        }
        const qsizetype end = m_input.indexOf('\r');
        if (end < 0)
            break;
        const QByteArray line = m_input.left(end).trimmed();
        m_input.remove(0, end + 1);
        if (!line.isEmpty())
            command(line);
    }
    return true;
}

void TSimulatedModem::reply(const QByteArray &text)
{
    // Asynchronous, as a real line is: a reply never arrives inside the write that caused it.
    QTimer::singleShot(m_replyDelay, this, [this, text] {
        if (m_open)
            Q_EMIT receiveData(text);
    });
}

void TSimulatedModem::command(const QByteArray &line)
{
    const QByteArray echo = m_echo ? line + "\r" : QByteArray();
    const QByteArray cmd = line.toUpper();
    const QByteArray ok = echo + "\r\nOK\r\n";
    auto argument = [&](const char *prefix) -> int {
        bool good = false;
        const int v = cmd.mid(qsizetype(qstrlen(prefix))).trimmed().toInt(&good);
        return good ? v : -1;
    };

    if (cmd == "ATE" || cmd == "ATE0") {
        reply(ok);
        m_echo = false;
    } else if (cmd == "ATE1") {
        m_echo = true;
        reply(ok);
    } else if (cmd == "AT" || cmd == "ATA" || cmd == "ATH" || cmd.startsWith("AT+CNMI=")
               || cmd == "AT+CMGF=0") {
        reply(ok);
    } else if (cmd == "AT+CSQ") {
        reply(echo + "\r\n+CSQ: 23,99\r\n\r\nOK\r\n");
    } else if (cmd.startsWith("AT+CMGS=")) {
        m_expectedLength = argument("AT+CMGS=");
        reply(m_expectedLength > 0 ? echo + "\r\n> " : echo + "\r\nERROR\r\n");
        if (m_expectedLength <= 0)
            m_expectedLength = -1;
    } else if (cmd == "AT+CMGL=4") {
        QByteArray out = echo;
        for (auto it = m_storage.begin(); it != m_storage.end(); ++it) {
            out += "\r\n+CMGL: " + QByteArray::number(it.key()) + ',' + QByteArray::number(it->stat)
                + ",," + QByteArray::number(it->pdu.size() / 2 - 9) + "\r\n" + it->pdu.toLatin1();
            it->stat = 1;
        }
        reply(out + "\r\n\r\nOK\r\n");
    } else if (cmd.startsWith("AT+CMGR=")) {
        const int index = argument("AT+CMGR=");
        auto it = m_storage.find(index);
        if (index < 0)
            reply(echo + "\r\n+CMS ERROR: 321\r\n");
        else if (it == m_storage.end())
            reply(ok); // an empty slot
        else {
            reply(echo + "\r\n+CMGR: " + QByteArray::number(it->stat) + ",,"
                  + QByteArray::number(it->pdu.size() / 2 - 9) + "\r\n" + it->pdu.toLatin1()
                  + "\r\n\r\nOK\r\n");
            it->stat = 1;
        }
    } else if (cmd.startsWith("AT+CMGD=")) {
        const int index = argument("AT+CMGD=");
        if (index < 0) {
            reply(echo + "\r\n+CMS ERROR: 321\r\n");
        } else {
            m_storage.remove(index);
            reply(ok);
        }
    } else {
        reply(echo + "\r\nERROR\r\n");
    }
}

void TSimulatedModem::pduBody(const QByteArray &hex)
{
    const int expected = m_expectedLength;
    m_expectedLength = -1;
    const QString pdu = QString::fromLatin1(hex).trimmed();
    const Pdu::TDecodeResult r = Pdu::Decode(pdu);
    if (!r.ok() || r.pdu->type != Pdu::TPduType::Submit || r.pdu->tpduLength != expected) {
        reply("\r\n+CMS ERROR: 304\r\n");
        return;
    }
    m_reference = (m_reference + 1) % 256;
    reply("\r\n+CMGS: " + QByteArray::number(m_reference) + "\r\n\r\nOK\r\n");
    if (r.pdu->number == OwnNumber() || r.pdu->number == QStringLiteral("86") + OwnNumber()) {
        const int index = store(deliverFromSubmit(pdu));
        reply("\r\n+CMTI: \"SM\"," + QByteArray::number(index) + "\r\n");
    }
}

int TSimulatedModem::store(const QString &pdu)
{
    int index = 0;
    while (m_storage.contains(index))
        ++index;
    m_storage.insert(index, TStored{0, pdu});
    return index;
}

void TSimulatedModem::injectIncoming(const QString &sender, const QString &text)
{
    bool ucs2 = false;
    for (QChar c : text)
        ucs2 = ucs2 || c.unicode() > 126 || (c.unicode() < 32 && c != u'\r' && c != u'\n');
    QString body;
    if (ucs2) {
        const QString ud = Pdu::EncodeUCS2(text.left(70));
        body = QStringLiteral("0008") + timestampNow() + hexByte(int(ud.size() / 2)) + ud;
    } else {
        const QString t = text.left(160);
        body = QStringLiteral("0000") + timestampNow() + hexByte(Pdu::Gsm7Length(t))
            + Pdu::Encode7Bit(t);
    }
    const QString sc = QStringLiteral("91") + Pdu::EncodeSemiOctets(QString::fromLatin1(ServiceCentre));
    const QString pdu = hexByte(int(sc.size() / 2)) + sc + QStringLiteral("04") + address(sender) + body;
    const int index = store(pdu);
    if (m_open)
        reply("\r\n+CMTI: \"SM\"," + QByteArray::number(index) + "\r\n");
}

QString TSimulatedModem::deliverFromSubmit(const QString &submitHex) const
{
    // Walk the SUBMIT to its TP-DCS and user data; the DELIVER carries them unchanged.
    int scLen = 0, firstOctet = 0, daDigits = 0;
    Pdu::HexToInt(QStringView(submitHex).mid(0, 2), &scLen);
    qsizetype p = 2 + 2 * scLen;
    Pdu::HexToInt(QStringView(submitHex).mid(p, 2), &firstOctet);
    p += 4; // first octet, TP-MR
    Pdu::HexToInt(QStringView(submitHex).mid(p, 2), &daDigits);
    p += 4 + daDigits + (daDigits % 2); // length, type, digits
    p += 2; // TP-PID
    const QString dcs = submitHex.mid(p, 2);
    p += 2;
    const int vpf = (firstOctet >> 3) & 3;
    p += vpf == 2 ? 2 : (vpf == 0 ? 0 : 14);
    const QString userData = submitHex.mid(p); // TP-UDL and TP-UD
    const int udhi = firstOctet & 0x40;
    const QString sc = QStringLiteral("91") + Pdu::EncodeSemiOctets(QString::fromLatin1(ServiceCentre));
    return hexByte(int(sc.size() / 2)) + sc + hexByte(0x04 | udhi)
        + address(QStringLiteral("86") + OwnNumber()) + QStringLiteral("00") + dcs
        + timestampNow() + userData;
}
