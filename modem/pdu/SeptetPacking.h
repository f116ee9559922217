#pragma once
// GSM 7-bit packing (3GPP TS 23.038, 6.1.2.1): septets placed back to back from the low
// bit of the first octet, after `fillBits` leading bits (the alignment behind a user-data
// header).

#include <QByteArray>
#include <optional>

namespace Pdu::Septets {

// Octets that `septets` septets take behind `fillBits` fill bits.
constexpr int packedOctets(int septets, int fillBits = 0)
{
    return (fillBits + 7 * septets + 7) / 8;
}

// Packs septet values (the low seven bits of each byte); the fill bits are zero.
QByteArray pack(QByteArrayView septets, int fillBits = 0);

// Unpacks `count` septets from `octets`; nothing when the octets are too few, `count` is
// negative or `fillBits` is outside 0..6.
std::optional<QByteArray> unpack(QByteArrayView octets, int count, int fillBits = 0);

} // namespace Pdu::Septets
