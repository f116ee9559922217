// One decoded PDU as one line of JSON, keys in a fixed order for people reading it.

#include "PduCodec.h"

#include "HexText.h"

namespace Pdu {

namespace {

    class TJsonLine {
    public:
        void key(const char *name)
        {
            m_out += m_first ? "{\"" : ",\"";
            m_first = false;
            m_out += name;
            m_out += "\":";
        }
        void string(const char *name, const QString &value)
        {
            key(name);
            quoted(value);
        }
        void number(const char *name, int value)
        {
            key(name);
            m_out += QByteArray::number(value);
        }
        void null(const char *name)
        {
            key(name);
            m_out += "null";
        }
        void raw(const char *name, const QByteArray &json)
        {
            key(name);
            m_out += json;
        }
        QByteArray finish() { return m_out + (m_first ? "{}" : "}"); }

    private:
        void quoted(const QString &value)
        {
            // A lone surrogate becomes U+FFFD, so that the line is always valid UTF-8.
            QString text = value;
            for (qsizetype i = 0; i < text.size(); ++i) {
                if (text[i].isHighSurrogate() && i + 1 < text.size()
                    && text[i + 1].isLowSurrogate())
                    ++i;
                else if (text[i].isSurrogate())
                    text[i] = QChar::ReplacementCharacter;
            }
            const QByteArray utf8 = text.toUtf8();
            m_out += '"';
            for (const char c : utf8) {
                switch (c) {
                case '"':
                    m_out += "\\\"";
                    break;
                case '\\':
                    m_out += "\\\\";
                    break;
                case '\n':
                    m_out += "\\n";
                    break;
                case '\r':
                    m_out += "\\r";
                    break;
                case '\t':
                    m_out += "\\t";
                    break;
                default:
                    if (quint8(c) < 0x20)
                        m_out += "\\u00" + Hex::octet(c).toLatin1();
                    else
                        m_out += c;
                }
            }
            m_out += '"';
        }

        QByteArray m_out;
        bool m_first = true;
    };

    void time(TJsonLine &json, const char *name, const QDateTime &t)
    {
        if (t.isValid())
            json.string(name, t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        else
            json.null(name);
    }

} // namespace

QString TypeName(TPduType type)
{
    switch (type) {
    case TPduType::Deliver:
        return QStringLiteral("SMS-DELIVER");
    case TPduType::Submit:
        return QStringLiteral("SMS-SUBMIT");
    case TPduType::StatusReport:
        return QStringLiteral("SMS-STATUS-REPORT");
    }
    return {};
}

QString CodingName(TCoding coding)
{
    switch (coding) {
    case TCoding::Bit7:
        return QStringLiteral("7bit");
    case TCoding::Bit8:
        return QStringLiteral("8bit");
    case TCoding::Ucs2:
        return QStringLiteral("ucs2");
    }
    return {};
}

QByteArray ToJson(const TDecodeResult &result)
{
    TJsonLine json;
    if (!result.pdu) {
        json.string("type", QStringLiteral("error"));
        json.string("error", result.error.isEmpty() ? QStringLiteral("no PDU") : result.error);
        return json.finish();
    }
    const TDecodedPdu &m = *result.pdu;
    json.string("type", TypeName(m.type));
    json.string("smsc", m.smsc);
    json.string("number", m.number);
    // 8-bit data is not text: it goes as hex in "data_hex" instead.
    if (m.coding == TCoding::Bit8)
        json.null("text");
    else
        json.string("text", m.text);
    json.string("coding", CodingName(m.coding));
    if (m.type == TPduType::Submit)
        json.null("timestamp");
    else
        time(json, "timestamp", m.timestamp);
    // The header as it stands in the user data: the UDHL octet, then the elements.
    if (m.udh.isEmpty() && !(m.firstOctet & 0x40 && m.udl > 0))
        json.null("udh");
    else
        json.string("udh", Hex::octet(int(m.udh.size())) + Hex::fromOctets(m.udh));
    if (m.concat)
        json.raw("concat",
            QStringLiteral("{\"ref\":%1,\"total\":%2,\"seq\":%3}")
                .arg(m.concat->ref)
                .arg(m.concat->total)
                .arg(m.concat->seq)
                .toLatin1());
    else
        json.null("concat");
    json.number("tpdu_length", m.tpduLength);
    json.string("first_octet", Hex::octet(m.firstOctet));
    json.string("pid", Hex::octet(m.pid));
    json.string("dcs", Hex::octet(m.dcs));
    json.number("udl", m.udl);
    if (m.coding == TCoding::Bit8)
        json.string("data_hex", Hex::fromOctets(m.userData));
    if (m.type != TPduType::Deliver)
        json.number("message_reference", m.messageReference);
    if (m.type == TPduType::Submit) {
        if (m.validityPeriod.isEmpty())
            json.null("vp_hex");
        else
            json.string("vp_hex", Hex::fromOctets(m.validityPeriod));
    }
    if (m.type == TPduType::StatusReport) {
        time(json, "discharge_time", m.dischargeTime);
        json.string("status", Hex::octet(m.status));
    }
    return json.finish();
}

} // namespace Pdu
