#include "NoteLayout.h"

namespace Orders {

namespace {

    TNoteLayoutInfo MakePlain()
    {
        TNoteLayoutInfo info;
        info.templateName = QStringLiteral("订单模版.xlsx");
        info.blockRows = 15; // A2:L16
        info.blockColumns = 12;
        info.linesPerNote = 20;
        info.customerColumn = 2; // B
        info.dateColumn = 7; // G
        info.numberColumn = 10; // J
        info.remarkColumn = 11; // K
        info.lineColumns = { { 2, 3, 4 }, { 7, 8, 9 } }; // B C D, then G H I
        return info;
    }

    TNoteLayoutInfo MakePrice()
    {
        TNoteLayoutInfo info;
        info.templateName = QStringLiteral("价格订单模版.xlsx");
        info.blockRows = 16; // A2:J17
        info.blockColumns = 10;
        info.linesPerNote = 10;
        info.customerColumn = 2; // B
        info.dateColumn = 6; // F
        info.numberColumn = 8; // H
        info.remarkColumn = 9; // I
        info.lineColumns = { { 2, 3, 4 } }; // B C D
        return info;
    }

} // namespace

const TNoteLayoutInfo &LayoutInfo(NoteLayout layout)
{
    static const TNoteLayoutInfo plain = MakePlain();
    static const TNoteLayoutInfo price = MakePrice();
    return layout == NoteLayout::Price ? price : plain;
}

} // namespace Orders
