#pragma once
// TP-DCS read by its coding groups (3GPP TS 23.038, clause 4).

#include "PduCodec.h"

namespace Pdu {

struct TDataCoding {
    TCoding coding = TCoding::Bit7;
    // Compressed user data cannot be shown as text; it is kept as octets and TP-UDL
    // counts octets whatever the alphabet.
    bool compressed = false;
};

// General data coding (00xx) and automatic deletion (01xx): bit 5 compressed, bits 3..2
// the alphabet. Message waiting 1100 and 1101: 7-bit; 1110: UCS2. Data coding / message
// class 1111: bit 2 chooses 8-bit over 7-bit. Reserved groups (1000..1011) and the reserved
// alphabet value are read as the default alphabet, as the standard tells a receiver to.
TDataCoding DataCodingOf(int dcs);

} // namespace Pdu
