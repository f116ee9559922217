#include "XlsReader.h"

#include "SheetText.h"

#include <QFile>
#include <freexl.h>

namespace XlsReader {

namespace {

    // Closes the workbook on every way out.
    class THandle {
    public:
        THandle() = default;
        ~THandle()
        {
            if (m_handle)
                freexl_close(m_handle);
        }
        THandle(const THandle &) = delete;
        THandle &operator=(const THandle &) = delete;
        const void **out() { return &m_handle; }
        const void *get() const { return m_handle; }

    private:
        const void *m_handle = nullptr;
    };

    bool Fail(QString *error, const QString &what, int code)
    {
        if (error)
            *error = QStringLiteral("%1 (freexl error %2)").arg(what).arg(code);
        return false;
    }

    std::optional<QString> CellText(
        const void *handle, unsigned row, unsigned short column, QString *error)
    {
        FreeXL_CellValue value;
        const int rc = freexl_get_cell_value(handle, row, column, &value);
        if (rc != FREEXL_OK) {
            Fail(error, QStringLiteral("cell %1,%2 cannot be read").arg(row + 1).arg(column + 1),
                rc);
            return std::nullopt;
        }
        switch (value.type) {
        case FREEXL_CELL_NULL:
            return QString();
        case FREEXL_CELL_INT:
            return QString::number(value.value.int_value);
        case FREEXL_CELL_DOUBLE:
            return SheetText::NumberText(value.value.double_value);
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
        case FREEXL_CELL_TIME:
            return QString::fromUtf8(value.value.text_value ? value.value.text_value : "");
        default:
            Fail(error,
                QStringLiteral("cell %1,%2 has an unknown type").arg(row + 1).arg(column + 1),
                int(value.type));
            return std::nullopt;
        }
    }

} // namespace

std::optional<TSheet> ReadFirstWorksheet(const QString &path, QString *error)
{
    THandle handle;
    int rc = freexl_open(QFile::encodeName(path).constData(), handle.out());
    if (rc != FREEXL_OK) {
        Fail(error, QStringLiteral("not a readable .xls workbook"), rc);
        return std::nullopt;
    }
    unsigned int info = 0;
    rc = freexl_get_info(handle.get(), FREEXL_BIFF_PASSWORD, &info);
    if (rc != FREEXL_OK) {
        Fail(error, QStringLiteral("the workbook cannot be inspected"), rc);
        return std::nullopt;
    }
    if (info == FREEXL_BIFF_OBFUSCATED) {
        Fail(error, QStringLiteral("the workbook is protected by a password"), int(info));
        return std::nullopt;
    }
    rc = freexl_get_info(handle.get(), FREEXL_BIFF_SHEET_COUNT, &info);
    if (rc != FREEXL_OK || info == 0) {
        Fail(error, QStringLiteral("the workbook has no worksheet"), rc);
        return std::nullopt;
    }
    rc = freexl_select_active_worksheet(handle.get(), 0);
    if (rc != FREEXL_OK) {
        Fail(error, QStringLiteral("the first worksheet cannot be selected"), rc);
        return std::nullopt;
    }
    unsigned int rows = 0;
    unsigned short columns = 0;
    rc = freexl_worksheet_dimensions(handle.get(), &rows, &columns);
    if (rc != FREEXL_OK) {
        Fail(error, QStringLiteral("the size of the first worksheet is unknown"), rc);
        return std::nullopt;
    }

    TSheet sheet;
    sheet.rows.reserve(rows);
    // The dimensions end with the last row that holds any cell record, formatted blanks
    // included: the used range as Excel reports it.
    for (unsigned int r = 0; r < rows; ++r) {
        QStringList cells;
        qsizetype lastFilled = 0;
        for (unsigned short c = 0; c < columns; ++c) {
            std::optional<QString> text = CellText(handle.get(), r, c, error);
            if (!text)
                return std::nullopt;
            if (!text->isEmpty())
                lastFilled = c + 1;
            cells << *text;
        }
        // A row keeps its cells up to the last one that holds something.
        cells.resize(lastFilled);
        sheet.rows << cells;
    }
    return sheet;
}

} // namespace XlsReader
