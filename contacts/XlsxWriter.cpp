#include "XlsxWriter.h"

#include "SheetText.h"
#include "ZipArchive.h"

#include <pugixml.hpp>

namespace XlsxWriter {

namespace {

    const char *const MainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const char *const RelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

    QByteArray Serialized(const pugi::xml_document &doc)
    {
        struct TWriter : pugi::xml_writer {
            QByteArray bytes;
            void write(const void *data, size_t size) override
            {
                bytes.append(static_cast<const char *>(data), qsizetype(size));
            }
        } writer;
        doc.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
        return QByteArrayLiteral(
                   "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n")
            + writer.bytes;
    }

    QByteArray ContentTypes()
    {
        return QByteArrayLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
            "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
            "<Default Extension=\"rels\" "
            "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
            "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
            "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/"
            "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
            "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"application/"
            "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
            "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/"
            "vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
            "</Types>");
    }

    QByteArray PackageRelationships()
    {
        return QByteArrayLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
            "<Relationships "
            "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
            "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
            "2006/relationships/officeDocument\" Target=\"xl/workbook.xml\"/>"
            "</Relationships>");
    }

    QByteArray WorkbookRelationships()
    {
        return QByteArrayLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
            "<Relationships "
            "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
            "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
            "2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
            "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
            "2006/relationships/styles\" Target=\"styles.xml\"/>"
            "</Relationships>");
    }

    // Style 0 is the default; style 1 formats a cell as text ("@", number format 49).
    QByteArray Styles()
    {
        return QByteArrayLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
            "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
            "<fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/></font></fonts>"
            "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
            "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
            "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border>"
            "</borders>"
            "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
            "borderId=\"0\"/></cellStyleXfs>"
            "<cellXfs count=\"2\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" "
            "xfId=\"0\"/><xf numFmtId=\"49\" fontId=\"0\" fillId=\"0\" borderId=\"0\" "
            "xfId=\"0\" applyNumberFormat=\"1\"/></cellXfs>"
            "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/>"
            "</cellStyles>"
            "</styleSheet>");
    }

    QByteArray Workbook(const QString &sheetName)
    {
        pugi::xml_document doc;
        pugi::xml_node workbook = doc.append_child("workbook");
        workbook.append_attribute("xmlns") = MainNs;
        workbook.append_attribute("xmlns:r") = RelNs;
        pugi::xml_node sheet = workbook.append_child("sheets").append_child("sheet");
        sheet.append_attribute("name") = sheetName.toUtf8().constData();
        sheet.append_attribute("sheetId") = 1;
        sheet.append_attribute("r:id") = "rId1";
        return Serialized(doc);
    }

    QByteArray Worksheet(const QList<QStringList> &rows, const QList<double> &widths)
    {
        pugi::xml_document doc;
        pugi::xml_node worksheet = doc.append_child("worksheet");
        worksheet.append_attribute("xmlns") = MainNs;
        worksheet.append_attribute("xmlns:r") = RelNs;

        int lastColumn = 0;
        for (const QStringList &row : rows)
            lastColumn = std::max(lastColumn, int(row.size()));
        const QString range = rows.isEmpty() || lastColumn == 0
            ? QStringLiteral("A1")
            : QStringLiteral("A1:") + CellReference(rows.size(), lastColumn);
        worksheet.append_child("dimension").append_attribute("ref") = range.toUtf8().constData();

        if (!widths.isEmpty()) {
            pugi::xml_node cols = worksheet.append_child("cols");
            for (qsizetype i = 0; i < widths.size(); ++i) {
                pugi::xml_node col = cols.append_child("col");
                col.append_attribute("min") = qlonglong(i + 1);
                col.append_attribute("max") = qlonglong(i + 1);
                col.append_attribute("width") = widths.at(i);
                col.append_attribute("customWidth") = 1;
            }
        }

        pugi::xml_node data = worksheet.append_child("sheetData");
        for (qsizetype r = 0; r < rows.size(); ++r) {
            pugi::xml_node row = data.append_child("row");
            row.append_attribute("r") = qlonglong(r + 1);
            const QStringList &cells = rows.at(r);
            for (qsizetype c = 0; c < cells.size(); ++c) {
                if (cells.at(c).isEmpty())
                    continue;
                pugi::xml_node cell = row.append_child("c");
                cell.append_attribute("r") = CellReference(r + 1, int(c + 1)).toUtf8().constData();
                cell.append_attribute("s") = 1;
                cell.append_attribute("t") = "inlineStr";
                pugi::xml_node t = cell.append_child("is").append_child("t");
                // Leading and trailing blanks are part of the text.
                t.append_attribute("xml:space") = "preserve";
                t.text() = SheetText::EncodeEscapes(cells.at(c)).toUtf8().constData();
            }
        }
        return Serialized(doc);
    }

} // namespace

QString CellReference(qsizetype row, int column)
{
    QString letters;
    for (int n = column; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters + QString::number(row);
}

bool WriteWorkbook(const QString &path, const QString &sheetName, const QList<QStringList> &rows,
    const QList<double> &columnWidths, QString *error)
{
    TZipWriter zip(path);
    zip.add(QStringLiteral("[Content_Types].xml"), ContentTypes());
    zip.add(QStringLiteral("_rels/.rels"), PackageRelationships());
    zip.add(QStringLiteral("xl/workbook.xml"), Workbook(sheetName));
    zip.add(QStringLiteral("xl/_rels/workbook.xml.rels"), WorkbookRelationships());
    zip.add(QStringLiteral("xl/styles.xml"), Styles());
    zip.add(QStringLiteral("xl/worksheets/sheet1.xml"), Worksheet(rows, columnWidths));
    return zip.close(error);
}

} // namespace XlsxWriter
