// The readers on workbooks made by other programs (xlwt, openpyxl, and a package written by
// hand as spreadsheet programs write it), on damaged files, and on what the writer makes.

#include "TestWorkbooks.h"
#include "SpreadsheetReader.h"
#include "XlsxWriter.h"
#include "ZipArchive.h"

#include <QFile>
#include <QTest>

using Rows = QList<QStringList>;

class TestSpreadsheetReader : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void formats();
    void cellsOfEveryKind_data();
    void cellsOfEveryKind();
    void handmadePackage();
    void usedRangeAndBlankRows_data();
    void usedRangeAndBlankRows();
    void unreadable_data();
    void unreadable();
    void damagedPackages_data();
    void damagedPackages();
    void writtenTextsReadBack();
    void writerReplacesAnyFile();

private:
    void writeFile(const QString &name, const QByteArray &bytes);

    TestWorkbooks m_books;
};

void TestSpreadsheetReader::initTestCase()
{
    QString error;
    QVERIFY2(m_books.make(&error), qPrintable(error));
}

void TestSpreadsheetReader::writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(m_books.path(name));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

void TestSpreadsheetReader::formats()
{
    using SpreadsheetReader::TFormat;
    QCOMPARE(SpreadsheetReader::FormatOf(m_books.path("cells.xls")), TFormat::Xls);
    QCOMPARE(SpreadsheetReader::FormatOf(m_books.path("cells.xlsx")), TFormat::Xlsx);
    // The content decides, not the name.
    QVERIFY(QFile::copy(m_books.path("cells.xlsx"), m_books.path("renamed.xls")));
    QCOMPARE(SpreadsheetReader::FormatOf(m_books.path("renamed.xls")), TFormat::Xlsx);
    QVERIFY(SpreadsheetReader::ReadFirstWorksheet(m_books.path("renamed.xls")));
    QCOMPARE(SpreadsheetReader::FormatOf(m_books.path("missing.xls")), TFormat::Unknown);
}

void TestSpreadsheetReader::cellsOfEveryKind_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow(".xls") << "cells.xls";
    QTest::newRow(".xlsx") << "cells.xlsx";
}

void TestSpreadsheetReader::cellsOfEveryKind()
{
    QFETCH(QString, file);
    QString error;
    const std::optional<TSheet> sheet =
        SpreadsheetReader::ReadFirstWorksheet(m_books.path(file), &error);
    QVERIFY2(sheet, qPrintable(error));
    // Both formats give the same texts: numbers in plain form, blanks kept, dates as dates; the
    // second worksheet is not read.
    const Rows expected {
        { "13800138000", "100", "3.5", "0.1", "-2", "100000000000000000000", "12345678901" },
        { " 两边有空格 ", "   ", "", "中文", "a\nb" },
        {},
        { "2024-06-01", "2024-06-01 12:30:05" },
    };
    QCOMPARE(sheet->rows, expected);
}

void TestSpreadsheetReader::handmadePackage()
{
    QString error;
    const std::optional<TSheet> sheet =
        SpreadsheetReader::ReadFirstWorksheet(m_books.path("handmade.xlsx"), &error);
    QVERIFY2(sheet, qPrintable(error));
    const Rows expected {
        { "姓名", "手机号码", "电话", "工作单位", "职务", "备注", "通讯组" },
        // Rich text runs joined without the phonetic hint, an exponent-form number, a
        // blank-only shared string, an escaped carriage return, a boolean, a formula's text.
        { "张三 ", "13800138000", "  ", "行一\r\n行二", "TRUE", "ab", "组_x0041_" },
        {},
        // Cells without references follow one another from column A.
        { "无引用", "13900139000" },
    };
    QCOMPARE(sheet->rows, expected);
}

void TestSpreadsheetReader::usedRangeAndBlankRows_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow(".xls") << "contacts.xls";
    QTest::newRow(".xlsx") << "contacts.xlsx";
}

void TestSpreadsheetReader::usedRangeAndBlankRows()
{
    QFETCH(QString, file);
    const std::optional<TSheet> sheet = SpreadsheetReader::ReadFirstWorksheet(m_books.path(file));
    QVERIFY(sheet);
    // Row 14 holds only formatted empty cells: it ends the used range but has no text.
    QCOMPARE(sheet->lastRow(), 14);
    QCOMPARE(sheet->rows.at(13), QStringList());
    QCOMPARE(sheet->rows.at(2), QStringList());
    QCOMPARE(sheet->cell(2, 2), QString("13800138000")); // a number cell
    QCOMPARE(sheet->cell(13, 3), QString("12345"));
    QCOMPARE(sheet->cell(6, 2), QString("13900139000 ")); // not trimmed
    QCOMPARE(sheet->cell(5, 2), QString("   "));
    QCOMPARE(sheet->cell(12, 8), QString("第八列不读"));
    QCOMPARE(sheet->cell(15, 1), QString());
    QCOMPARE(sheet->cell(2, 99), QString());
}

void TestSpreadsheetReader::unreadable_data()
{
    QTest::addColumn<bool>("make");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("missing") << false << QByteArray();
    QTest::newRow("a text file") << true << QByteArray("姓名,手机号码\n");
    QTest::newRow("empty file") << true << QByteArray();
    QTest::newRow("truncated zip") << true << QByteArray("PK\x03\x04\x14\0\0\0", 8);
    QTest::newRow("compound document header only")
        << true << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(504, '\0');
}

void TestSpreadsheetReader::unreadable()
{
    QFETCH(bool, make);
    QFETCH(QByteArray, bytes);
    const QString file = QStringLiteral("unreadable-%1.xls").arg(QTest::currentDataTag());
    if (make)
        writeFile(file, bytes);
    QString error;
    QVERIFY(!SpreadsheetReader::ReadFirstWorksheet(m_books.path(file), &error));
    QVERIFY(!error.isEmpty());
}

namespace {

QByteArray Rels(const QString &type, const QString &target)
{
    return QStringLiteral("<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                          "relationships\"><Relationship Id=\"rId1\" Type=\"http://"
                          "schemas.openxmlformats.org/officeDocument/2006/relationships/%1\" "
                          "Target=\"%2\"/></Relationships>")
        .arg(type, target)
        .toUtf8();
}

const QByteArray Workbook = "<workbook xmlns:r=\"r\"><sheets><sheet name=\"a\" sheetId=\"1\" "
                            "r:id=\"rId1\"/></sheets></workbook>";

} // namespace

void TestSpreadsheetReader::damagedPackages_data()
{
    using Parts = QList<QPair<QString, QByteArray>>;
    QTest::addColumn<Parts>("parts");
    QTest::addColumn<QString>("reason");
    const QPair<QString, QByteArray> root { "_rels/.rels",
        Rels("officeDocument", "xl/workbook.xml") };
    const QPair<QString, QByteArray> book { "xl/workbook.xml", Workbook };
    const QPair<QString, QByteArray> bookRels { "xl/_rels/workbook.xml.rels",
        Rels("worksheet", "worksheets/sheet1.xml") };
    QTest::newRow("no workbook") << Parts { root } << "xl/workbook.xml is missing";
    QTest::newRow("workbook not XML")
        << Parts { root, { "xl/workbook.xml", "<workbook><sheets>" } } << "not well-formed";
    QTest::newRow("no worksheet named")
        << Parts { root, { "xl/workbook.xml", "<workbook/>" } } << "no worksheet";
    QTest::newRow("worksheet part missing")
        << Parts { root, book, bookRels } << "sheet1.xml is missing";
    QTest::newRow("worksheet not XML")
        << Parts { root, book, bookRels, { "xl/worksheets/sheet1.xml", "<worksheet><sheetData>" } }
        << "sheet1.xml is not well-formed";
    QTest::newRow("shared string missing") << Parts { root, book, bookRels,
        { "xl/worksheets/sheet1.xml",
            "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"
            "</sheetData></worksheet>" } } << "missing shared string";
    QTest::newRow("row beyond the sheet") << Parts { root, book, bookRels,
        { "xl/worksheets/sheet1.xml",
            "<worksheet><sheetData><row r=\"1048577\"><c><v>1</v></c></row>"
            "</sheetData></worksheet>" } } << "beyond the last row";
}

void TestSpreadsheetReader::damagedPackages()
{
    using Parts = QList<QPair<QString, QByteArray>>;
    QFETCH(Parts, parts);
    QFETCH(QString, reason);
    const QString path =
        m_books.path(QStringLiteral("damaged-%1.xlsx").arg(QTest::currentDataTag()));
    TZipWriter zip(path);
    for (const auto &part : parts)
        zip.add(part.first, part.second);
    QVERIFY(zip.close());
    QString error;
    QVERIFY(!SpreadsheetReader::ReadFirstWorksheet(path, &error));
    QVERIFY2(error.contains(reason), qPrintable(error));
}

void TestSpreadsheetReader::writtenTextsReadBack()
{
    const Rows rows {
        { "姓名", "手机号码" },
        { " 前后空格 ", "13800138000 ", "", "a\r\nb", QString::fromUtf16(u"ctl\x01\x1F") },
        {},
        { "x_x0041_y", "_x005F_", "<&>\"'", QString::fromUtf8("号😀码"),
            QString(QChar(0xD800)) + "孤" },
        { "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
            "", "", "", "", "", "第28列" },
    };
    const QString path = m_books.path("written.xlsx");
    QString error;
    QVERIFY2(
        XlsxWriter::WriteWorkbook(path, "通讯录", rows, { 10, 20 }, &error), qPrintable(error));
    const std::optional<TSheet> sheet = SpreadsheetReader::ReadFirstWorksheet(path, &error);
    QVERIFY2(sheet, qPrintable(error));
    // Row 3 has no cells and reads as an empty row; column AB of row 5 is in place.
    QCOMPARE(sheet->rows, rows);
}

void TestSpreadsheetReader::writerReplacesAnyFile()
{
    const QString path = m_books.path("occupied.xlsx");
    writeFile("occupied.xlsx", "not a workbook at all");
    QString error;
    QVERIFY2(
        XlsxWriter::WriteWorkbook(path, "通讯录", { { "new" } }, {}, &error), qPrintable(error));
    const std::optional<TSheet> sheet = SpreadsheetReader::ReadFirstWorksheet(path, &error);
    QVERIFY2(sheet, qPrintable(error));
    QCOMPARE(sheet->rows, Rows { { "new" } });

    QVERIFY(!XlsxWriter::WriteWorkbook(
        m_books.path("no/such/folder/x.xlsx"), "通讯录", { { "a" } }, {}, &error));
    QVERIFY(!error.isEmpty());
}

QTEST_GUILESS_MAIN(TestSpreadsheetReader)
#include "tst_spreadsheet_reader.moc"
