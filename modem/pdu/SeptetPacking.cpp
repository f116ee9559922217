#include "SeptetPacking.h"

namespace Pdu::Septets {

QByteArray pack(QByteArrayView septets, int fillBits)
{
    QByteArray out(packedOctets(int(septets.size()), fillBits), '\0');
    int bit = fillBits;
    for (const char c : septets) {
        const unsigned v = unsigned(c) & 0x7F;
        const int at = bit / 8;
        const int shift = bit % 8;
        out[at] = char(quint8(out[at]) | quint8(v << shift));
        if (shift > 1)
            out[at + 1] = char(quint8(v >> (8 - shift)));
        bit += 7;
    }
    return out;
}

std::optional<QByteArray> unpack(QByteArrayView octets, int count, int fillBits)
{
    if (count < 0 || fillBits < 0 || fillBits > 6 || packedOctets(count, fillBits) > octets.size())
        return std::nullopt;
    QByteArray out(count, Qt::Uninitialized);
    int bit = fillBits;
    for (int i = 0; i < count; ++i, bit += 7) {
        const int at = bit / 8;
        const int shift = bit % 8;
        unsigned v = quint8(octets[at]) >> shift;
        if (shift > 1)
            v |= unsigned(quint8(octets[at + 1])) << (8 - shift);
        out[i] = char(v & 0x7F);
    }
    return out;
}

} // namespace Pdu::Septets
