#include "SpreadsheetReader.h"

#include "XlsReader.h"
#include "XlsxReader.h"

#include <QFile>

namespace SpreadsheetReader {

TFormat FormatOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return TFormat::Unknown;
    const QByteArray head = file.read(8);
    // .xlsx is a zip archive; .xls a compound document.
    if (head.startsWith(QByteArrayLiteral("PK\x03\x04")))
        return TFormat::Xlsx;
    if (head == QByteArrayLiteral("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return TFormat::Xls;
    return TFormat::Unknown;
}

std::optional<TSheet> ReadFirstWorksheet(const QString &path, QString *error)
{
    switch (FormatOf(path)) {
    case TFormat::Xls:
        return XlsReader::ReadFirstWorksheet(path, error);
    case TFormat::Xlsx:
        return XlsxReader::ReadFirstWorksheet(path, error);
    case TFormat::Unknown:
        break;
    }
    if (error)
        *error = QFile::exists(path)
            ? QStringLiteral("%1 is not an .xls or .xlsx workbook").arg(path)
            : QStringLiteral("%1 cannot be opened").arg(path);
    return std::nullopt;
}

} // namespace SpreadsheetReader
