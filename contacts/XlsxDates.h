#pragma once
// Dates in .xlsx workbooks: a date is a number cell whose number format shows a date or a
// time. Such cells read as the texts the .xls reader gives for them ("2024-06-01",
// "2024-06-01 12:30:05", "08:15:00"), so that both formats read alike.

#include <QString>

namespace XlsxDates {

enum class TKind { Number, Date, DateTime, Time };

// What a number format shows: by its built-in id (0 to 163, Chinese locale ids included), or
// by its format code for the workbook's own formats.
TKind KindOfFormat(int numFmtId, const QString &formatCode = {});

// The text of a date serial number (days since the workbook's epoch, the fraction the time of
// day) in the form of `kind`; the number in plain form for TKind::Number.
QString SerialText(double serial, TKind kind, bool date1904);

} // namespace XlsxDates
