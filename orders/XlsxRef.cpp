#include "XlsxRef.h"

namespace Xlsx {

namespace {

    bool IsUpper(char c)
    {
        return c >= 'A' && c <= 'Z';
    }
    bool IsLetter(char c)
    {
        return IsUpper(c) || (c >= 'a' && c <= 'z');
    }
    bool IsDigit(char c)
    {
        return c >= '0' && c <= '9';
    }

    // Characters that may continue a name in a formula (functions, defined names, sheet names).
    bool IsNameChar(char c)
    {
        return IsLetter(c) || IsDigit(c) || c == '_' || c == '.' || c == '\\' || c == '$'
            || static_cast<unsigned char>(c) >= 0x80;
    }

    struct TRefParts {
        bool absColumn = false;
        std::string_view letters;
        bool absRow = false;
        std::string_view digits;
        int column = 0;
        int row = 0;
    };

    // [$]letters[$]digits, all of the token, within the sheet's limits.
    bool SplitRef(std::string_view token, TRefParts *parts)
    {
        size_t i = 0;
        if (i < token.size() && token[i] == '$') {
            parts->absColumn = true;
            ++i;
        }
        const size_t lettersBegin = i;
        while (i < token.size() && IsLetter(token[i]))
            ++i;
        parts->letters = token.substr(lettersBegin, i - lettersBegin);
        if (parts->letters.empty() || parts->letters.size() > 3)
            return false;
        if (i < token.size() && token[i] == '$') {
            parts->absRow = true;
            ++i;
        }
        const size_t digitsBegin = i;
        while (i < token.size() && IsDigit(token[i]))
            ++i;
        parts->digits = token.substr(digitsBegin, i - digitsBegin);
        if (i != token.size() || parts->digits.empty() || parts->digits.size() > 7
            || parts->digits[0] == '0')
            return false;
        int column = 0;
        for (char c : parts->letters)
            column = column * 26 + ((c & ~0x20) - 'A' + 1);
        int row = 0;
        for (char c : parts->digits)
            row = row * 10 + (c - '0');
        if (column > MaxColumns || row > MaxRows)
            return false;
        parts->column = column;
        parts->row = row;
        return true;
    }

} // namespace

std::string ColumnName(int column)
{
    std::string name;
    while (column > 0) {
        const int rest = (column - 1) % 26;
        name.insert(name.begin(), char('A' + rest));
        column = (column - 1) / 26;
    }
    return name;
}

std::string CellRef(int row, int column)
{
    return ColumnName(column) + std::to_string(row);
}

std::string RangeRef(const TRange &range)
{
    const std::string first = CellRef(range.first.row, range.first.column);
    if (range.first.row == range.last.row && range.first.column == range.last.column)
        return first;
    return first + ':' + CellRef(range.last.row, range.last.column);
}

bool ParseCellRef(std::string_view text, TCellPos *pos)
{
    TRefParts parts;
    if (!SplitRef(text, &parts) || parts.absColumn || parts.absRow)
        return false;
    pos->row = parts.row;
    pos->column = parts.column;
    return true;
}

bool ParseRange(std::string_view text, TRange *range)
{
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        if (!ParseCellRef(text, &range->first))
            return false;
        range->last = range->first;
        return true;
    }
    return ParseCellRef(text.substr(0, colon), &range->first)
        && ParseCellRef(text.substr(colon + 1), &range->last) && range->first.row <= range->last.row
        && range->first.column <= range->last.column;
}

std::string ShiftFormula(std::string_view formula, int rowOffset, int columnOffset)
{
    std::string out;
    out.reserve(formula.size() + 8);
    size_t i = 0;
    const size_t n = formula.size();
    // Copies a quoted stretch ("text" or 'sheet name'), a doubled quote standing for itself.
    const auto copyQuoted = [&](char quote) {
        out += formula[i++];
        while (i < n) {
            const char c = formula[i++];
            out += c;
            if (c == quote) {
                if (i < n && formula[i] == quote) {
                    out += formula[i++];
                    continue;
                }
                break;
            }
        }
    };
    while (i < n) {
        const char c = formula[i];
        if (c == '"' || c == '\'') {
            copyQuoted(c);
            continue;
        }
        if (c == '[') { // structured reference or external book: copied as it is
            int depth = 0;
            do {
                if (formula[i] == '[')
                    ++depth;
                else if (formula[i] == ']')
                    --depth;
                out += formula[i++];
            } while (i < n && depth > 0);
            continue;
        }
        if (IsDigit(c) || (c == '.' && i + 1 < n && IsDigit(formula[i + 1]))) {
            // A number, with its exponent, so that the E of 1E5 is not taken for a column.
            while (i < n && (IsDigit(formula[i]) || formula[i] == '.'))
                out += formula[i++];
            if (i < n && (formula[i] == 'E' || formula[i] == 'e')) {
                size_t j = i + 1;
                if (j < n && (formula[j] == '+' || formula[j] == '-'))
                    ++j;
                if (j < n && IsDigit(formula[j])) {
                    while (i < j)
                        out += formula[i++];
                    while (i < n && IsDigit(formula[i]))
                        out += formula[i++];
                }
            }
            continue;
        }
        if (!IsNameChar(c)) {
            out += formula[i++];
            continue;
        }
        const size_t begin = i;
        while (i < n && IsNameChar(formula[i]))
            ++i;
        const std::string_view token = formula.substr(begin, i - begin);
        TRefParts parts;
        const bool followedByCall = i < n && formula[i] == '(';
        const bool sheetName = i < n && formula[i] == '!';
        if (followedByCall || sheetName || !SplitRef(token, &parts)) {
            out += token;
            continue;
        }
        const int row = parts.absRow ? parts.row : parts.row + rowOffset;
        const int column = parts.absColumn ? parts.column : parts.column + columnOffset;
        if (row < 1 || row > MaxRows || column < 1 || column > MaxColumns) {
            out += "#REF!";
            continue;
        }
        if (parts.absColumn)
            out += '$';
        out += parts.absColumn ? std::string(parts.letters) : ColumnName(column);
        if (parts.absRow)
            out += '$';
        out += std::to_string(row);
    }
    return out;
}

} // namespace Xlsx
