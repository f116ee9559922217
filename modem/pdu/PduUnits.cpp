// The small routines the encoder and the decoder share.

#include "PduCodec.h"

#include "untPublic.h"

#include "Gsm7Alphabet.h"
#include "HexText.h"
#include "SeptetPacking.h"
#include "Ucs2Text.h"

#include <limits>

namespace Pdu {

namespace {


} // namespace

QString EncodeSemiOctets(QStringView digits)
{
    QString s = untPublic::TrimText(digits);
    if (s.size() % 2 != 0)
        s.append(u'F');
    for (qsizetype i = 0; i + 1 < s.size(); i += 2)
        std::swap(s[i], s[i + 1]);
    return s;
}

QString DecodeSemiOctets(QStringView semiOctets)
{
    QString out;
    out.reserve(semiOctets.size());
    for (qsizetype i = 0; i + 1 < semiOctets.size(); i += 2) {
        for (const QChar c : { semiOctets[i + 1], semiOctets[i] })
            if (c != u'F' && c != u'f')
                out.append(c);
    }
    return out;
}

bool HexToInt(QStringView hex, int *value)
{
    if (hex.isEmpty())
        return false;
    int v = 0;
    for (const QChar c : hex) {
        const int d = Hex::digitValue(c.unicode());
        if (d < 0 || v > (std::numeric_limits<int>::max() >> 4))
            return false;
        v = v << 4 | d;
    }
    if (value)
        *value = v;
    return true;
}

QString Encode7Bit(QStringView text)
{
    return Hex::fromOctets(Septets::pack(Gsm7::fromText(text)));
}

int Gsm7Length(QStringView text)
{
    return Gsm7::length(text);
}

QString EncodeUCS2(QStringView text)
{
    return Hex::fromOctets(Ucs2::toOctets(text));
}

std::optional<QString> Decode7Bit(QStringView hex, int septets, int fillBits)
{
    const std::optional<QByteArray> octets = Hex::toOctets(hex);
    if (!octets)
        return std::nullopt;
    const std::optional<QByteArray> values = Septets::unpack(*octets, septets, fillBits);
    if (!values)
        return std::nullopt;
    return Gsm7::toText(*values);
}

std::optional<QString> DecodeUCS2(QStringView hex)
{
    const std::optional<QByteArray> octets = Hex::toOctets(hex.left(hex.size() / 4 * 4));
    if (!octets)
        return std::nullopt;
    return Ucs2::fromOctets(*octets);
}

} // namespace Pdu
