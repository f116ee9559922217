#include "PduFields.h"

#include "DataCoding.h"
#include "Gsm7Alphabet.h"
#include "HexText.h"
#include "SeptetPacking.h"
#include "Ucs2Text.h"

namespace Pdu::Fields {

namespace {

    constexpr int MaxAddressDigits = 20; // a full address field is at most 12 octets
    constexpr int MaxScOctets = 11; // type octet plus ten octets of digits
    constexpr int MaxSeptets = 160;
    constexpr int MaxOctets = 140;
    constexpr int UdhiBit = 0x40;

    // Semi-octets of an address; F is the filler. A..E are the keypad and wild-card values.
    QString digitsOf(QByteArrayView octets, int count)
    {
        static constexpr char16_t Map[] = u"0123456789*#abc";
        QString out;
        out.reserve(count);
        for (int i = 0; i < count; ++i) {
            const quint8 b = quint8(octets[i / 2]);
            const int nibble = (i % 2 == 0) ? (b & 0x0F) : (b >> 4);
            if (nibble != 0x0F)
                out.append(QChar(Map[nibble]));
        }
        return out;
    }

    bool readConcat(TOctetReader &r, QByteArrayView header, TDecodedPdu &out)
    {
        qsizetype i = 0;
        while (i < header.size()) {
            if (i + 2 > header.size())
                return r.fail(u"TP-UDH",
                    QStringLiteral("information element at header octet %1 is cut").arg(i));
            const int iei = quint8(header[i]);
            const int len = quint8(header[i + 1]);
            if (i + 2 + len > header.size())
                return r.fail(u"TP-UDH",
                    QStringLiteral("information element %1 runs past the header")
                        .arg(Hex::octet(iei)));
            const QByteArrayView data = header.sliced(i + 2, len);
            TConcat c;
            bool isConcat = false;
            if (iei == 0x00 && len == 3) {
                c = { quint8(data[0]), quint8(data[1]), quint8(data[2]) };
                isConcat = true;
            } else if (iei == 0x08 && len == 4) {
                c = { quint8(data[0]) << 8 | quint8(data[1]), quint8(data[2]), quint8(data[3]) };
                isConcat = true;
            }
            // A part number of 0 or beyond the total makes the element void, not the message.
            if (isConcat && c.total > 0 && c.seq > 0 && c.seq <= c.total)
                out.concat = c;
            i += 2 + len;
        }
        return true;
    }

} // namespace

bool readServiceCentre(TOctetReader &r, TDecodedPdu &out)
{
    if (!r.need(1, u"service-centre length"))
        return false;
    const int len = r.octet();
    if (len == 0)
        return true;
    if (len > MaxScOctets)
        return r.fail(u"service-centre address",
            QStringLiteral("length %1 exceeds %2 octets").arg(len).arg(MaxScOctets));
    if (!r.need(len, u"service-centre address"))
        return false;
    out.smscType = r.octet();
    out.smsc = digitsOf(r.take(len - 1), 2 * (len - 1));
    return true;
}

bool readAddress(TOctetReader &r, QStringView field, TDecodedPdu &out)
{
    if (!r.need(2, field))
        return false;
    const int digits = r.octet();
    out.numberType = r.octet();
    if (digits > MaxAddressDigits)
        return r.fail(
            field, QStringLiteral("length %1 exceeds %2 digits").arg(digits).arg(MaxAddressDigits));
    const int octets = (digits + 1) / 2;
    if (!r.need(octets, field))
        return false;
    const QByteArrayView value = r.take(octets);
    out.alphanumeric = ((out.numberType >> 4) & 0x07) == 5;
    if (!out.alphanumeric) {
        out.number = digitsOf(value, digits);
        return true;
    }
    const std::optional<QByteArray> septets = Septets::unpack(value, digits * 4 / 7);
    if (!septets) // cannot happen: the septets fit the octets by construction
        return r.fail(field, QStringLiteral("alphanumeric address is cut"));
    out.number = Gsm7::toText(*septets);
    return true;
}

bool readTimestamp(TOctetReader &r, QStringView field, QDateTime *out)
{
    if (!r.need(7, field))
        return false;
    const QByteArrayView v = r.take(7);
    int f[6];
    for (int i = 0; i < 6; ++i) {
        const quint8 b = quint8(v[i]);
        if ((b & 0x0F) > 9 || (b >> 4) > 9)
            return r.fail(
                field, QStringLiteral("%1 is not a decimal time stamp").arg(Hex::fromOctets(v)));
        f[i] = (b & 0x0F) * 10 + (b >> 4);
    }
    const QDate date(2000 + f[0], f[1], f[2]);
    if (!date.isValid() || !QTime::isValid(f[3], f[4], f[5]))
        return r.fail(
            field, QStringLiteral("%1 is not a valid date and time").arg(Hex::fromOctets(v)));
    *out = QDateTime(date, QTime(f[3], f[4], f[5]));
    return true;
}

bool readUserData(TOctetReader &r, TDecodedPdu &out)
{
    const TDataCoding dc = DataCodingOf(out.dcs);
    out.coding = dc.coding;
    const bool septets = dc.coding == TCoding::Bit7;

    if (!r.need(1, u"TP-UDL"))
        return false;
    out.udl = r.octet();
    const int limit = septets ? MaxSeptets : MaxOctets;
    if (out.udl > limit)
        return r.fail(u"TP-UDL",
            QStringLiteral("%1 exceeds %2 %3")
                .arg(out.udl)
                .arg(limit)
                .arg(septets ? u"septets" : u"octets"));
    const int udOctets = septets ? Septets::packedOctets(out.udl) : out.udl;
    if (udOctets > r.remaining())
        return r.fail(u"TP-UD",
            QStringLiteral("TP-UDL announces %1 octet(s), %2 present")
                .arg(udOctets)
                .arg(r.remaining()));
    const QByteArrayView ud = r.take(udOctets);

    qsizetype headerOctets = 0;
    if ((out.firstOctet & UdhiBit) && out.udl > 0) {
        headerOctets = quint8(ud[0]) + 1;
        if (headerOctets > ud.size())
            return r.fail(u"TP-UDH",
                QStringLiteral("header of %1 octet(s) in %2 octet(s) of data")
                    .arg(headerOctets)
                    .arg(ud.size()));
        out.udh = ud.sliced(1, headerOctets - 1).toByteArray();
        if (!readConcat(r, out.udh, out))
            return false;
    }
    const QByteArrayView body = ud.sliced(headerOctets);
    out.userData = body.toByteArray();

    switch (out.coding) {
    case TCoding::Bit7: {
        // The header is padded with fill bits to a septet boundary; TP-UDL counts it.
        const int headerSeptets = int(headerOctets * 8 + 6) / 7;
        const int fillBits = headerSeptets * 7 - int(headerOctets) * 8;
        if (headerSeptets > out.udl)
            return r.fail(u"TP-UDH",
                QStringLiteral("header of %1 septet(s) in TP-UDL %2")
                    .arg(headerSeptets)
                    .arg(out.udl));
        const std::optional<QByteArray> values =
            Septets::unpack(body, out.udl - headerSeptets, fillBits);
        if (!values) // cannot happen: the octets were counted from TP-UDL
            return r.fail(u"TP-UD", QStringLiteral("septets are cut"));
        out.text = Gsm7::toText(*values);
        break;
    }
    case TCoding::Ucs2:
        out.text = Ucs2::fromOctets(body);
        break;
    case TCoding::Bit8:
        out.text = QString::fromLatin1(body);
        break;
    }
    return true;
}

} // namespace Pdu::Fields
