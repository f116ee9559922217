#include "XlsxReader.h"

#include "SheetText.h"
#include "XlsxDates.h"
#include "XlsxPackage.h"

#include <QHash>
#include <cstring>

namespace XlsxReader {

using namespace XlsxXml;

namespace {

    // The largest sheet the format allows.
    constexpr qsizetype MaxRows = 1048576;
    constexpr int MaxColumns = 16384;

    QString Utf8(const char *text)
    {
        return QString::fromUtf8(text);
    }

    // The text of a string item: its own <t>, or the <t> of its runs; phonetic hints are not
    // part of the text.
    QString ItemText(const pugi::xml_node &item)
    {
        QString text;
        for (pugi::xml_node child = item.first_child(); child; child = child.next_sibling()) {
            if (child.type() != pugi::node_element)
                continue;
            if (Is(child, "t"))
                text += Utf8(child.child_value());
            else if (Is(child, "r"))
                text += Utf8(Child(child, "t").child_value());
        }
        return SheetText::DecodeEscapes(text);
    }

    bool SharedStrings(
        const TXlsxPackage &package, const QString &part, QStringList &strings, QString *error)
    {
        pugi::xml_document doc;
        if (!package.load(part, doc, error))
            return false;
        const pugi::xml_node root = Child(doc, "sst");
        for (pugi::xml_node si = root.first_child(); si; si = si.next_sibling())
            if (si.type() == pugi::node_element && Is(si, "si"))
                strings << ItemText(si);
        return true;
    }

    // What the cells of a sheet refer to: the shared strings and the kind of number each cell
    // format shows.
    struct TBook {
        QStringList shared;
        QList<XlsxDates::TKind> formats; // by cell format index ("s")
        bool date1904 = false;
    };

    bool Styles(const TXlsxPackage &package, const QString &part, TBook &book, QString *error)
    {
        pugi::xml_document doc;
        if (!package.load(part, doc, error))
            return false;
        const pugi::xml_node root = Child(doc, "styleSheet");
        QHash<int, QString> codes;
        const pugi::xml_node numFmts = Child(root, "numFmts");
        for (pugi::xml_node f = numFmts.first_child(); f; f = f.next_sibling())
            if (f.type() == pugi::node_element && Is(f, "numFmt"))
                codes.insert(f.attribute("numFmtId").as_int(-1),
                    Utf8(f.attribute("formatCode").as_string()));
        const pugi::xml_node cellXfs = Child(root, "cellXfs");
        for (pugi::xml_node xf = cellXfs.first_child(); xf; xf = xf.next_sibling()) {
            if (xf.type() != pugi::node_element || !Is(xf, "xf"))
                continue;
            const int id = xf.attribute("numFmtId").as_int(0);
            book.formats << XlsxDates::KindOfFormat(id, codes.value(id));
        }
        return true;
    }

    QString NumberCellText(const pugi::xml_node &c, const QString &value, const TBook &book)
    {
        const int style = c.attribute("s").as_int(0);
        const XlsxDates::TKind kind = style >= 0 && style < book.formats.size()
            ? book.formats.at(style)
            : XlsxDates::TKind::Number;
        bool ok = false;
        const double number = value.trimmed().toDouble(&ok);
        if (!ok || kind == XlsxDates::TKind::Number)
            return SheetText::NumberText(value);
        return XlsxDates::SerialText(number, kind, book.date1904);
    }

    std::optional<QString> CellText(const pugi::xml_node &c, const TBook &book, QString *error)
    {
        const QStringList &shared = book.shared;
        const char *type = c.attribute("t").as_string("n");
        const pugi::xml_node v = Child(c, "v");
        const QString value = Utf8(v.child_value());
        if (std::strcmp(type, "inlineStr") == 0)
            return ItemText(Child(c, "is"));
        if (std::strcmp(type, "s") == 0) {
            bool ok = false;
            const qsizetype index = value.trimmed().toLongLong(&ok);
            if (!ok || index < 0 || index >= shared.size()) {
                if (error)
                    *error = QStringLiteral("cell %1 names a missing shared string")
                                 .arg(Utf8(c.attribute("r").as_string()));
                return std::nullopt;
            }
            return shared.at(index);
        }
        if (std::strcmp(type, "b") == 0)
            return value.trimmed() == QLatin1String("1") ? QStringLiteral("TRUE")
                                                         : QStringLiteral("FALSE");
        if (std::strcmp(type, "n") == 0)
            return value.isEmpty() ? QString() : NumberCellText(c, value, book);
        // "str" (a formula's text), "e" (an error such as #N/A), "d" (an ISO date).
        return SheetText::DecodeEscapes(value);
    }

    bool ReadSheet(const TXlsxPackage &package, const QString &part, const TBook &book,
        TSheet &sheet, QString *error)
    {
        pugi::xml_document doc;
        if (!package.load(part, doc, error))
            return false;
        const pugi::xml_node data = Child(Child(doc, "worksheet"), "sheetData");
        qsizetype rowNumber = 0;
        for (pugi::xml_node row = data.first_child(); row; row = row.next_sibling()) {
            if (row.type() != pugi::node_element || !Is(row, "row"))
                continue;
            const qsizetype given = row.attribute("r").as_llong(0);
            rowNumber = given > 0 ? given : rowNumber + 1;
            if (rowNumber > MaxRows) {
                if (error)
                    *error =
                        QStringLiteral("row %1 is beyond the last row of a sheet").arg(rowNumber);
                return false;
            }
            QStringList cells;
            int column = 0;
            bool any = false;
            for (pugi::xml_node c = row.first_child(); c; c = c.next_sibling()) {
                if (c.type() != pugi::node_element || !Is(c, "c"))
                    continue;
                any = true;
                const int fromReference = ColumnOfReference(c.attribute("r").as_string());
                column = fromReference > 0 ? fromReference : column + 1;
                if (column > MaxColumns) {
                    if (error)
                        *error = QStringLiteral("column %1 is beyond the last column of a sheet")
                                     .arg(column);
                    return false;
                }
                std::optional<QString> text = CellText(c, book, error);
                if (!text)
                    return false;
                if (text->isEmpty())
                    continue;
                if (cells.size() < column)
                    cells.resize(column);
                cells[column - 1] = *text;
            }
            // A row element without cells (only a height, say) is not part of the used range.
            if (!any)
                continue;
            if (sheet.rows.size() < rowNumber)
                sheet.rows.resize(rowNumber);
            QStringList &target = sheet.rows[rowNumber - 1];
            if (target.size() < cells.size())
                target.resize(cells.size());
            for (qsizetype i = 0; i < cells.size(); ++i)
                if (!cells.at(i).isEmpty())
                    target[i] = cells.at(i);
        }
        return true;
    }

} // namespace

int ColumnOfReference(const char *reference)
{
    int column = 0;
    for (const char *p = reference; *p; ++p) {
        char ch = *p;
        if (ch >= 'a' && ch <= 'z')
            ch = char(ch - 'a' + 'A');
        if (ch < 'A' || ch > 'Z')
            break;
        column = column * 26 + (ch - 'A' + 1);
        if (column > MaxColumns)
            return MaxColumns + 1;
    }
    return column;
}

std::optional<TSheet> ReadFirstWorksheet(const QString &path, QString *error)
{
    TXlsxPackage package;
    if (!package.open(path, error))
        return std::nullopt;

    QList<TRelationship> relationships;
    if (!package.relationships(QString(), relationships, error))
        return std::nullopt;
    const TRelationship *document = TXlsxPackage::OfType(relationships, "/officeDocument");
    const QString workbookPart = document ? document->part : QStringLiteral("xl/workbook.xml");

    if (!package.relationships(workbookPart, relationships, error))
        return std::nullopt;
    pugi::xml_document workbook;
    if (!package.load(workbookPart, workbook, error))
        return std::nullopt;

    // The first sheet in tab order that is a worksheet (a chart sheet is not).
    QString sheetPart;
    const pugi::xml_node sheets = Child(Child(workbook, "workbook"), "sheets");
    for (pugi::xml_node s = sheets.first_child(); s && sheetPart.isEmpty(); s = s.next_sibling()) {
        if (s.type() != pugi::node_element || !Is(s, "sheet"))
            continue;
        const QString id = Utf8(Attribute(s, "id").as_string());
        for (const TRelationship &r : std::as_const(relationships))
            if (r.id == id && EndsWith(r.type, "/worksheet"))
                sheetPart = r.part;
    }
    if (sheetPart.isEmpty()) {
        if (error)
            *error = QStringLiteral("the workbook has no worksheet");
        return std::nullopt;
    }

    TBook book;
    const QString date1904 =
        Utf8(Child(Child(workbook, "workbook"), "workbookPr").attribute("date1904").as_string());
    book.date1904 = date1904 == QLatin1String("1") || date1904 == QLatin1String("true");
    if (const TRelationship *strings = TXlsxPackage::OfType(relationships, "/sharedStrings")) {
        if (!SharedStrings(package, strings->part, book.shared, error))
            return std::nullopt;
    }
    if (const TRelationship *styles = TXlsxPackage::OfType(relationships, "/styles")) {
        if (!Styles(package, styles->part, book, error))
            return std::nullopt;
    }

    TSheet sheet;
    if (!ReadSheet(package, sheetPart, book, sheet, error))
        return std::nullopt;
    return sheet;
}

} // namespace XlsxReader
