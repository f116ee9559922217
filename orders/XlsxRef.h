#pragma once
// A1-style cell references of a worksheet and moving the relative ones of a formula, on the
// UTF-8 text the sheet's XML holds.

#include <string>
#include <string_view>

namespace Xlsx {

inline constexpr int MaxRows = 1048576;
inline constexpr int MaxColumns = 16384; // XFD

struct TCellPos {
    int row = 0; // 1-based
    int column = 0; // 1 = A
};

struct TRange {
    TCellPos first;
    TCellPos last;
    bool Contains(const TCellPos &pos) const
    {
        return pos.row >= first.row && pos.row <= last.row && pos.column >= first.column
            && pos.column <= last.column;
    }
    bool Intersects(const TRange &other) const
    {
        return first.row <= other.last.row && other.first.row <= last.row
            && first.column <= other.last.column && other.first.column <= last.column;
    }
    TRange Moved(int rows, int columns) const
    {
        return { { first.row + rows, first.column + columns },
            { last.row + rows, last.column + columns } };
    }
};

std::string ColumnName(int column); // 1 -> "A", 28 -> "AB"
std::string CellRef(int row, int column); // "B4"
std::string RangeRef(const TRange &range); // "A2:L2"; a single cell as "B4"

// "B4" (no "$"); false for anything else.
bool ParseCellRef(std::string_view text, TCellPos *pos);
// "A2:L16" or a single cell.
bool ParseRange(std::string_view text, TRange *range);

// The formula with every relative row and column of its cell references moved by the offsets,
// as a paste moves them; "$" parts stay. Texts in quotes, sheet names and function names are
// left alone. A reference moved off the sheet becomes #REF!. Whole-row and whole-column ranges
// (6:15, D:D) are not recognised and stay as they are.
std::string ShiftFormula(std::string_view formula, int rowOffset, int columnOffset);

} // namespace Xlsx
