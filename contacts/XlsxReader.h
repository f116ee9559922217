#pragma once
// Reads the first worksheet of an .xlsx workbook (Office Open XML).

#include "TSheet.h"

#include <optional>

namespace XlsxReader {

// The cells of the first worksheet in tab order; empty optional, with the reason in `error`,
// if the file cannot be read.
std::optional<TSheet> ReadFirstWorksheet(const QString &path, QString *error = nullptr);

// The column of a cell reference such as "AB12", counted from 1; 0 if it has no letters.
int ColumnOfReference(const char *reference);

} // namespace XlsxReader
