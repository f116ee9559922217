#pragma once
// Readers for the fields the TPDU types share (3GPP TS 23.040, 9.1.2 and 9.2.3). Each
// returns false with the reader's error set when the field is cut or malformed.

#include "OctetReader.h"
#include "PduCodec.h"

namespace Pdu::Fields {

// Service-centre field of PDU mode: length in octets (type included), type, semi-octets.
bool readServiceCentre(TOctetReader &r, TDecodedPdu &out);

// TP-OA / TP-DA / TP-RA: length in semi-octets, type, value. Digits come without "+" or
// fillers; type of number 5 is packed GSM 7-bit text.
bool readAddress(TOctetReader &r, QStringView field, TDecodedPdu &out);

// Seven semi-octet pairs YYMMDDhhmmss and a zone; the zone is ignored (it may even be
// malformed), the year is 2000 + YY. Local time as written.
bool readTimestamp(TOctetReader &r, QStringView field, QDateTime *out);

// TP-UDL and TP-UD with the user-data header when `out.firstOctet` has the UDHI bit.
// Needs `out.dcs` set.
bool readUserData(TOctetReader &r, TDecodedPdu &out);

} // namespace Pdu::Fields
