#pragma once
// Reads the first worksheet of a workbook, .xls or .xlsx, told apart by content (not by the
// file's extension, which users rename freely).

#include "TSheet.h"

#include <optional>

namespace SpreadsheetReader {

enum class TFormat { Unknown, Xls, Xlsx };

// The format the file's first bytes show; Unknown also for a file that cannot be opened.
TFormat FormatOf(const QString &path);

// The cells of the first worksheet as texts: an empty cell gives the empty text, a number cell
// its number in plain decimal form, a text cell its text unchanged. Rows run from 1 to the
// last row of the used range. Empty optional, with the reason in `error`, if the file cannot
// be read.
std::optional<TSheet> ReadFirstWorksheet(const QString &path, QString *error = nullptr);

} // namespace SpreadsheetReader
