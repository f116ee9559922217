#pragma once
// How spreadsheet cells become texts and back: numbers in plain decimal form, and the _xHHHH_
// escapes that workbook XML uses for characters XML cannot carry.

#include <QString>

namespace SheetText {

// A number cell as text: plain decimal digits, the shortest form that reads back as the same
// number, never an exponent or a trailing ".0" (13800138000 -> "13800138000", 0.5 -> "0.5").
QString NumberText(double value);

// The text of a numeric cell value as stored ("13800138000", "1.3800138E10"); a value that is
// not a number is kept as it is.
QString NumberText(const QString &stored);

// Decodes every _xHHHH_ escape (so "_x000D_" is a carriage return and "_x005F_" an underscore).
QString DecodeEscapes(const QString &text);

// Encodes what XML would lose or refuse: control characters (tab and line feed are kept),
// unpaired surrogates, U+FFFE and U+FFFF as _xHHHH_, and an underscore that would otherwise
// start an escape as _x005F_.
QString EncodeEscapes(const QString &text);

} // namespace SheetText
