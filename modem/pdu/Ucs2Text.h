#pragma once
// UCS2 user data, read as UTF-16 big-endian so that surrogate pairs (emoji) survive.

#include <QByteArray>
#include <QString>

namespace Pdu::Ucs2 {

// Two octets per unit; a last odd octet is ignored.
QString fromOctets(QByteArrayView octets);
QByteArray toOctets(QStringView text);

} // namespace Pdu::Ucs2
