#pragma once
// Writes a one-sheet .xlsx workbook whose cells are all texts.

#include <QList>
#include <QStringList>

namespace XlsxWriter {

// Rows from row 1 on; every non-empty cell is written as text (so "13800138000" stays text
// and keeps any blanks), formatted as text so that editing it in a spreadsheet keeps it one.
// `columnWidths` are in characters, from column A on. An existing file is replaced only when
// the new one is complete.
bool WriteWorkbook(const QString &path, const QString &sheetName, const QList<QStringList> &rows,
    const QList<double> &columnWidths = {}, QString *error = nullptr);

// The reference of a cell, row and column counted from 1 ("A1", "AB12").
QString CellReference(qsizetype row, int column);

} // namespace XlsxWriter
