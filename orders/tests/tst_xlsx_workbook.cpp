// A workbook package as another spreadsheet program saves it (shared strings, a calculation
// chain, the second sheet active, targets written in several ways): opened, edited, saved, and
// the package read back part by part.

#include "XlsxWorkbook.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <zip.h>

using namespace Xlsx;

class TestXlsxWorkbook : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void saveKeepsThePackageConsistent();
    void sheetsThatAreNoWorksheets();
    void unsavedChangesAreDropped();
    void notAWorkbook();

private:
    QString m_path;
    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

const char *const Main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char *const RelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

std::map<std::string, std::string> Package()
{
    const std::string rel = std::string(RelNs) + "/";
    std::map<std::string, std::string> parts;
    parts["[Content_Types].xml"] =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/><Override PartName="/xl/worksheets/sheet2.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/><Override PartName="/xl/calcChain.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml"/><Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/></Types>)";
    parts["_rels/.rels"] =
        R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type=")"
        + rel + R"(officeDocument" Target="xl/workbook.xml"/></Relationships>)";
    parts["xl/workbook.xml"] =
        std::string(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?><workbook xmlns=")")
        + Main + R"(" xmlns:r=")" + RelNs
        + R"("><bookViews><workbookView activeTab="1"/></bookViews><sheets><sheet name="发货单" sheetId="1" r:id="rId1"/><sheet name="模板" sheetId="2" r:id="rId2"/></sheets><calcPr calcId="191029"/></workbook>)";
    parts["xl/_rels/workbook.xml.rels"] =
        R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId2" Type=")"
        + rel + R"(worksheet" Target="/xl/worksheets/sheet2.xml"/><Relationship Id="rId1" Type=")"
        + rel
        + R"(worksheet" Target="./worksheets/../worksheets/sheet1.xml"/><Relationship Id="rId3" Type=")"
        + rel + R"(calcChain" Target="calcChain.xml"/><Relationship Id="rId4" Type=")" + rel
        + R"(sharedStrings" Target="sharedStrings.xml"/></Relationships>)";
    parts["xl/sharedStrings.xml"] =
        std::string(R"(<?xml version="1.0" encoding="UTF-8"?><sst xmlns=")") + Main
        + R"(" count="2" uniqueCount="2"><si><t>合计</t></si><si><t xml:space="preserve"> </t></si></sst>)";
    parts["xl/calcChain.xml"] =
        std::string(R"(<?xml version="1.0" encoding="UTF-8"?><calcChain xmlns=")") + Main
        + R"("><c r="B3" i="2"/></calcChain>)";
    parts["xl/worksheets/sheet1.xml"] = std::string(R"(<?xml version="1.0" encoding="UTF-8"?>)")
        + "\n<worksheet xmlns=\"" + Main
        + "\">\n  <sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>\n  "
          "<sheetData/>\n</worksheet>";
    parts["xl/worksheets/sheet2.xml"] =
        std::string(R"(<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns=")") + Main
        + R"("><sheetViews><sheetView tabSelected="1" workbookViewId="0"/></sheetViews><sheetData><row r="2"><c r="A2" t="s"><v>0</v></c><c r="B2" t="s"><v>1</v></c></row><row r="3"><c r="B3"><f>SUM(B4:B5)</f><v>0</v></c></row></sheetData></worksheet>)";
    return parts;
}

bool Write(const QString &path, const std::map<std::string, std::string> &parts)
{
    int code = 0;
    zip_t *archive =
        zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive)
        return false;
    for (const auto &[name, data] : parts) {
        zip_source_t *source = zip_source_buffer(archive, data.data(), data.size(), 0);
        if (!source || zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
    }
    return zip_close(archive) == 0;
}

// Every part of the package, or an empty map when it cannot be read.
std::map<std::string, std::string> Read(const QString &path)
{
    std::map<std::string, std::string> parts;
    int code = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!archive)
        return parts;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_file_t *file = nullptr;
        if (zip_stat_index(archive, zip_uint64_t(i), 0, &stat) != 0
            || !(file = zip_fopen_index(archive, zip_uint64_t(i), 0)))
            return {};
        std::string data(size_t(stat.size), '\0');
        const zip_int64_t got = zip_fread(file, data.data(), stat.size);
        zip_fclose(file);
        if (got != zip_int64_t(stat.size))
            return {};
        parts[stat.name] = data;
    }
    zip_discard(archive);
    return parts;
}

pugi::xml_document Parse(const std::string &xml)
{
    pugi::xml_document doc;
    doc.load_buffer(xml.data(), xml.size());
    return doc;
}

} // namespace

void TestXlsxWorkbook::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_path = m_dir->filePath(QStringLiteral("book.xlsx"));
    QVERIFY(Write(m_path, Package()));
}

void TestXlsxWorkbook::saveKeepsThePackageConsistent()
{
    QString error;
    {
        TXlsxWorkbook book;
        QVERIFY2(book.Open(m_path, &error), qPrintable(error));
        QCOMPARE(book.SheetCount(), 2);
        TXlsxSheet *model = book.Sheet(2, &error);
        TXlsxSheet *notes = model ? book.Sheet(1, &error) : nullptr;
        QVERIFY2(notes, qPrintable(error));
        TCellBlock block;
        model->CopyBlock({ { 2, 1 }, { 3, 2 } }, &block);
        notes->PasteBlock(block, 23, 1);
        notes->SetCellInput(24, 1, QStringLiteral("5"));
        QVERIFY2(book.Activate(1, &error), qPrintable(error));
        QVERIFY2(book.Save(&error), qPrintable(error));
    }
    std::map<std::string, std::string> parts = Read(m_path);
    QVERIFY(!parts.empty());

    // The calculation chain is gone, and so is every mention of it.
    QVERIFY(!parts.count("xl/calcChain.xml"));
    QVERIFY(parts["xl/_rels/workbook.xml.rels"].find("calcChain") == std::string::npos);
    QVERIFY(parts["[Content_Types].xml"].find("calcChain") == std::string::npos);
    QVERIFY(parts["[Content_Types].xml"].find("/xl/sharedStrings.xml") != std::string::npos);
    QCOMPARE(parts["xl/sharedStrings.xml"], Package()["xl/sharedStrings.xml"]);

    const pugi::xml_document workbook = Parse(parts["xl/workbook.xml"]);
    QCOMPARE(workbook.select_node("//workbookView").node().attribute("activeTab").as_int(), 0);
    QVERIFY(workbook.select_node("//calcPr").node().attribute("fullCalcOnLoad").as_bool());
    QCOMPARE(workbook.select_node("//calcPr").node().attribute("calcId").as_int(), 191029);

    const pugi::xml_document notes = Parse(parts["xl/worksheets/sheet1.xml"]);
    QVERIFY(notes.select_node("//sheetView").node().attribute("tabSelected").as_bool());
    const pugi::xml_node a23 = notes.select_node("//c[@r='A23']").node();
    QCOMPARE(a23.attribute("t").value(), std::string("s"));
    QCOMPARE(a23.child("v").text().as_int(), 0);
    QCOMPARE(notes.select_node("//c[@r='B24']/f").node().text().get(), std::string("SUM(B25:B26)"));
    QCOMPARE(notes.select_node("//c[@r='A24']/v").node().text().as_int(), 5);
    // The white space of the original part is kept.
    QVERIFY(parts["xl/worksheets/sheet1.xml"].find("</sheetViews>\n  <sheetData>")
        != std::string::npos);
    const pugi::xml_document model = Parse(parts["xl/worksheets/sheet2.xml"]);
    QVERIFY(!model.select_node("//sheetView").node().attribute("tabSelected"));
    QCOMPARE(model.select_node("//c[@r='B3']/f").node().text().get(), std::string("SUM(B4:B5)"));
}

void TestXlsxWorkbook::sheetsThatAreNoWorksheets()
{
    std::map<std::string, std::string> parts = Package();
    std::string &rels = parts["xl/_rels/workbook.xml.rels"];
    const size_t at = rels.find("worksheet\" Target=\"/xl/worksheets/sheet2.xml");
    QVERIFY(at != std::string::npos);
    rels.replace(at, 9, "chartsheet");
    QVERIFY(Write(m_path, parts));

    TXlsxWorkbook book;
    QString error;
    QVERIFY2(book.Open(m_path, &error), qPrintable(error));
    QVERIFY(book.Sheet(1, &error));
    QVERIFY(!book.Sheet(2, &error));
    QVERIFY2(error.contains(QStringLiteral("第 2 个工作表")), qPrintable(error));
    QVERIFY(!book.Sheet(3, &error));
    QVERIFY2(error.contains(QStringLiteral("没有第 3 个工作表")), qPrintable(error));
}

void TestXlsxWorkbook::unsavedChangesAreDropped()
{
    QFile file(m_path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    {
        TXlsxWorkbook book;
        QString error;
        QVERIFY2(book.Open(m_path, &error), qPrintable(error));
        TXlsxSheet *notes = book.Sheet(1, &error);
        QVERIFY2(notes, qPrintable(error));
        notes->SetCellInput(1, 1, QStringLiteral("never saved"));
    }
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

void TestXlsxWorkbook::notAWorkbook()
{
    QString error;
    TXlsxWorkbook missing;
    QVERIFY(!missing.Open(m_dir->filePath(QStringLiteral("none.xlsx")), &error));
    QVERIFY2(error.contains(QStringLiteral("none.xlsx")), qPrintable(error));

    // A zip archive without the parts of a workbook.
    QVERIFY(Write(m_path, { { "readme.txt", "hello" } }));
    TXlsxWorkbook empty;
    QVERIFY(!empty.Open(m_path, &error));
    QVERIFY2(error.contains(QStringLiteral("_rels/.rels")), qPrintable(error));

    std::map<std::string, std::string> parts = Package();
    parts["xl/workbook.xml"] = "<workbook><sheets>";
    QVERIFY(Write(m_path, parts));
    TXlsxWorkbook broken;
    QVERIFY(!broken.Open(m_path, &error));
    QVERIFY2(error.contains(QStringLiteral("xl/workbook.xml")), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestXlsxWorkbook)
#include "tst_xlsx_workbook.moc"
