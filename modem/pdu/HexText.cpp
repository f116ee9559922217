#include "HexText.h"

namespace Pdu::Hex {

namespace {
    constexpr char16_t Digits[] = u"0123456789ABCDEF";
}

int digitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

std::optional<QByteArray> toOctets(QStringView hex)
{
    if (hex.size() % 2 != 0)
        return std::nullopt;
    QByteArray out(hex.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < out.size(); ++i) {
        const int hi = digitValue(hex[2 * i].unicode());
        const int lo = digitValue(hex[2 * i + 1].unicode());
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out[i] = char(hi << 4 | lo);
    }
    return out;
}

QString fromOctets(QByteArrayView octets)
{
    QString out(octets.size() * 2, Qt::Uninitialized);
    char16_t *d = reinterpret_cast<char16_t *>(out.data());
    for (const char c : octets) {
        const auto b = quint8(c);
        *d++ = Digits[b >> 4];
        *d++ = Digits[b & 0x0F];
    }
    return out;
}

QString octet(int value)
{
    const auto b = quint8(value & 0xFF);
    const QChar pair[2] = { QChar(Digits[b >> 4]), QChar(Digits[b & 0x0F]) };
    return QString(pair, 2);
}

} // namespace Pdu::Hex
