#pragma once
// How a text given to a cell the way typed input is given is stored: a plain decimal number
// becomes a number, anything else a string.

#include <QString>
#include <optional>
#include <string>

namespace Xlsx {

// The number a typed text stands for. Only plain decimals count (sign, digits, a point, an
// exponent; spaces around them allowed). Texts a number would change are kept as texts: a
// leading zero ("007") and more than 15 significant digits (article or phone numbers).
std::optional<double> TypedNumber(QStringView text);

// The shortest text that reads back as the same double, as a cell value holds it.
std::string NumberText(double value);

// A cell string as UTF-8, with the characters XML cannot hold (controls other than tab and line
// feed, carriage return included so that it survives) written as _xHHHH_, and an "_x" that
// would read as such an escape protected by _x005F_.
std::string EscapeCellText(QStringView text);

// Whether the string needs xml:space="preserve" (leading or trailing white space).
bool NeedsPreserve(QStringView text);

} // namespace Xlsx
