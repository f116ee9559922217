#include "DataCoding.h"

namespace Pdu {

TDataCoding DataCodingOf(int dcs)
{
    const int group = (dcs >> 4) & 0x0F;
    TDataCoding out;
    if (group <= 0x07) {
        out.compressed = (dcs & 0x20) != 0;
        switch ((dcs >> 2) & 0x03) {
        case 1:
            out.coding = TCoding::Bit8;
            break;
        case 2:
            out.coding = TCoding::Ucs2;
            break;
        default:
            out.coding = TCoding::Bit7;
            break;
        }
        if (out.compressed)
            out.coding = TCoding::Bit8;
        return out;
    }
    switch (group) {
    case 0x0E:
        out.coding = TCoding::Ucs2;
        break;
    case 0x0F:
        out.coding = (dcs & 0x04) ? TCoding::Bit8 : TCoding::Bit7;
        break;
    default:
        out.coding = TCoding::Bit7;
        break; // 1100, 1101 and the reserved groups
    }
    return out;
}

} // namespace Pdu
