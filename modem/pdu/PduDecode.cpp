// Decoding by the field layout of each TPDU type, chosen by the message type indicator.

#include "PduCodec.h"

#include "HexText.h"
#include "OctetReader.h"
#include "PduFields.h"

namespace Pdu {

namespace {

    bool decodeDeliver(TOctetReader &r, TDecodedPdu &m)
    {
        if (!Fields::readAddress(r, u"TP-OA", m) || !r.need(2, u"TP-PID/TP-DCS"))
            return false;
        m.pid = r.octet();
        m.dcs = r.octet();
        return Fields::readTimestamp(r, u"TP-SCTS", &m.timestamp) && Fields::readUserData(r, m);
    }

    bool decodeSubmit(TOctetReader &r, TDecodedPdu &m)
    {
        if (!r.need(1, u"TP-MR"))
            return false;
        m.messageReference = r.octet();
        if (!Fields::readAddress(r, u"TP-DA", m) || !r.need(2, u"TP-PID/TP-DCS"))
            return false;
        m.pid = r.octet();
        m.dcs = r.octet();
        // TP-VPF: 00 none, 10 relative (one octet), 01 enhanced and 11 absolute (seven).
        const int vpf = (m.firstOctet >> 3) & 0x03;
        const int vpOctets = vpf == 0 ? 0 : vpf == 2 ? 1 : 7;
        if (!r.need(vpOctets, u"TP-VP"))
            return false;
        m.validityPeriod = r.take(vpOctets).toByteArray();
        return Fields::readUserData(r, m);
    }

    bool decodeStatusReport(TOctetReader &r, TDecodedPdu &m)
    {
        if (!r.need(1, u"TP-MR"))
            return false;
        m.messageReference = r.octet();
        if (!Fields::readAddress(r, u"TP-RA", m)
            || !Fields::readTimestamp(r, u"TP-SCTS", &m.timestamp)
            || !Fields::readTimestamp(r, u"TP-DT", &m.dischargeTime) || !r.need(1, u"TP-ST"))
            return false;
        m.status = r.octet();
        if (r.remaining() == 0)
            return true;

        // Optional tail: TP-PI (extension octets flagged by bit 7), then what it announces.
        int pi = r.octet();
        for (int ext = pi; ext & 0x80;) {
            if (!r.need(1, u"TP-PI"))
                return false;
            ext = r.octet();
        }
        if (pi & 0x01) {
            if (!r.need(1, u"TP-PID"))
                return false;
            m.pid = r.octet();
        }
        if (pi & 0x02) {
            if (!r.need(1, u"TP-DCS"))
                return false;
            m.dcs = r.octet();
        }
        if (pi & 0x04)
            return Fields::readUserData(r, m);
        return true;
    }

    TDecodeResult failure(const QString &error)
    {
        TDecodeResult out;
        out.error = error;
        return out;
    }

} // namespace

TDecodeResult Decode(QStringView hex)
{
    qsizetype from = 0;
    qsizetype to = hex.size();
    while (from < to && hex[from].unicode() <= 32)
        ++from;
    while (to > from && hex[to - 1].unicode() <= 32)
        --to;
    hex = hex.mid(from, to - from);
    if (hex.isEmpty())
        return failure(QStringLiteral("PDU: empty"));
    if (hex.size() % 2 != 0)
        return failure(QStringLiteral("PDU: odd number of hex digits (%1)").arg(hex.size()));
    const std::optional<QByteArray> octets = Hex::toOctets(hex);
    if (!octets) {
        qsizetype bad = 0;
        while (Hex::digitValue(hex[bad].unicode()) >= 0)
            ++bad;
        return failure(QStringLiteral("PDU: not a hex digit at position %1").arg(bad + 1));
    }

    TOctetReader r(*octets);
    TDecodedPdu m;
    if (!Fields::readServiceCentre(r, m))
        return failure(r.error());
    const qsizetype tpduStart = r.pos();
    if (!r.need(1, u"first octet"))
        return failure(r.error());
    m.firstOctet = r.octet();
    m.tpduLength = int(r.size() - tpduStart);

    bool ok = false;
    switch (m.firstOctet & 0x03) {
    case 0x00:
        m.type = TPduType::Deliver;
        ok = decodeDeliver(r, m);
        break;
    case 0x01:
        m.type = TPduType::Submit;
        ok = decodeSubmit(r, m);
        break;
    case 0x02:
        m.type = TPduType::StatusReport;
        ok = decodeStatusReport(r, m);
        break;
    default:
        r.fail(u"TP-MTI", QStringLiteral("reserved value 3"));
        break;
    }
    if (!ok)
        return failure(r.error());
    TDecodeResult out;
    out.pdu = std::move(m);
    return out;
}

} // namespace Pdu
