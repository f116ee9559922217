#pragma once
// The GSM 7-bit default alphabet and its extension table (3GPP TS 23.038, 6.2.1).
// Works on septet values (0..127), one per byte; packing into octets is elsewhere.

#include <QByteArray>
#include <QString>

namespace Pdu::Gsm7 {

constexpr char Escape = 0x1B;

// Septet values of `text`: extension characters as Escape + code, every character the
// alphabet lacks (a surrogate pair counts as one character) as "?". Stops before the
// character that would take the count above `maxSeptets`, so an escape pair is never cut.
// `consumed` receives the number of UTF-16 units of `text` that were translated.
QByteArray fromText(QStringView text, int maxSeptets = -1, qsizetype *consumed = nullptr);

// Septets `text` takes (extension characters two, anything else one).
int length(QStringView text);

// Text of septet values. An escape followed by a code the extension table lacks gives the
// default-alphabet character of that code; an escape at the very end gives a blank.
QString toText(QByteArrayView septets);

} // namespace Pdu::Gsm7
