#pragma once
// Hexadecimal text <-> octets, strict: two digits per octet, nothing else.

#include <QByteArray>
#include <QString>
#include <optional>

namespace Pdu::Hex {

// Octets of hex text (either case); nothing when a character is not a hex digit or the
// count of digits is odd.
std::optional<QByteArray> toOctets(QStringView hex);
// Uppercase, two digits per octet.
QString fromOctets(QByteArrayView octets);
// One octet as two uppercase digits ("%2.2X"); `value` is taken modulo 256.
QString octet(int value);
// Value of one hex digit, -1 when it is none.
int digitValue(char16_t c);

} // namespace Pdu::Hex
