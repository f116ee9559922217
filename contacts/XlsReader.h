#pragma once
// Reads the first worksheet of an .xls workbook (the binary format of Excel 97 to 2003).

#include "TSheet.h"

#include <optional>

namespace XlsReader {

// The cells of the first worksheet; empty optional, with the reason in `error`, if the file
// cannot be read.
std::optional<TSheet> ReadFirstWorksheet(const QString &path, QString *error = nullptr);

} // namespace XlsReader
