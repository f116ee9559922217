// Copying a block of cells between worksheets and typing into cells, checked on the XML the
// sheet writes.

#include "XlsxSheet.h"

#include <QTest>

using namespace Xlsx;

class TestXlsxSheet : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pasteCarriesEverythingOfTheBlock();
    void pasteReplacesWhatWasThere();
    void cellInput();
    void positionsLeftOutAreRead();
    void mergeListGoesWhereTheSchemaWantsIt();
};

namespace {

const char *const Head =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)";

// A block A2:C4 with a style on every cell, a merged title, a shared formula whose master lies
// inside and one whose master lies outside, a plain formula with a cached result, and things
// outside the block that must not come along.
const std::string Source = std::string(Head)
    + R"(<dimension ref="A1:E9"/><sheetData>)"
      R"(<row r="1"><c r="A1" t="s"><v>0</v></c></row>)"
      R"(<row r="2" spans="1:5" ht="30" customHeight="1"><c r="A2" s="1" t="s"><v>1</v></c><c r="B2" s="1"/><c r="C2" s="1"/><c r="D2" s="9"><v>99</v></c></row>)"
      R"(<row r="3" ht="18" customHeight="1"><c r="A3" s="2"><f t="shared" ref="A3:B3" si="0">A7*2</f><v>4</v></c><c r="B3" s="2"><f t="shared" si="0"/><v>6</v></c><c r="C3" s="3"><f t="shared" si="1"/></c></row>)"
      R"(<row r="4"><c r="A4" s="4" t="inlineStr"><is><t xml:space="preserve"> x </t></is></c><c r="C4" s="5" t="str"><f>IF(A3="","",SUM($A$3:B3))</f><v>10</v></c></row>)"
      R"(<row r="8"><c r="C8"><f t="shared" ref="C8:C9" si="1">C9+1</f></c></row>)"
      R"(</sheetData><mergeCells count="3"><mergeCell ref="A2:C2"/><mergeCell ref="C3:C4"/><mergeCell ref="C4:D4"/></mergeCells></worksheet>)";

struct TSaved {
    pugi::xml_document doc;
    pugi::xml_node Cell(const char *ref) const
    {
        return doc.select_node((std::string("//c[@r='") + ref + "']").c_str()).node();
    }
    pugi::xml_node Row(int r) const
    {
        return doc.select_node(("//row[@r='" + std::to_string(r) + "']").c_str()).node();
    }
    std::string Merges() const
    {
        std::string all;
        for (pugi::xpath_node m : doc.select_nodes("//mergeCell"))
            all += std::string(all.empty() ? "" : " ") + m.node().attribute("ref").value();
        return all;
    }
    std::string CellsOf(int r) const
    {
        std::string all;
        for (pugi::xml_node c = Row(r).child("c"); c; c = c.next_sibling("c"))
            all += std::string(all.empty() ? "" : " ") + c.attribute("r").value();
        return all;
    }
};

void Load(TXlsxSheet &sheet, const std::string &xml)
{
    QString error;
    QVERIFY2(sheet.Load(xml.data(), xml.size(), &error), qPrintable(error));
}

void Reread(TXlsxSheet &sheet, TSaved &saved)
{
    const std::string xml = sheet.Save();
    QVERIFY(
        saved.doc.load_buffer(xml.data(), xml.size(), pugi::parse_default | pugi::parse_ws_pcdata));
    QVERIFY(xml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>", 0) == 0);
}

QString Text(pugi::xml_node node)
{
    return QString::fromUtf8(node.text().get());
}

} // namespace

void TestXlsxSheet::pasteCarriesEverythingOfTheBlock()
{
    TXlsxSheet source;
    Load(source, Source);
    TCellBlock block;
    source.CopyBlock({ { 2, 1 }, { 4, 3 } }, &block);

    TXlsxSheet target;
    Load(target, std::string(Head) + "<sheetData/></worksheet>");
    target.PasteBlock(block, 2, 1);
    target.PasteBlock(block, 23, 1);
    TSaved out;
    Reread(target, out);

    // Cells and styles, nothing from outside the block.
    QCOMPARE(out.CellsOf(23), std::string("A23 B23 C23"));
    QCOMPARE(out.CellsOf(24), std::string("A24 B24 C24"));
    QCOMPARE(out.CellsOf(25), std::string("A25 C25"));
    QVERIFY(!out.Cell("D2") && !out.Row(1) && !out.Row(8));
    QCOMPARE(out.Cell("B23").attribute("s").as_int(), 1);
    QCOMPARE(out.Cell("C24").attribute("s").as_int(), 3);
    QCOMPARE(out.Cell("A23").attribute("t").value(), std::string("s"));
    QCOMPARE(Text(out.Cell("A23").child("v")), QStringLiteral("1"));
    QCOMPARE(Text(out.Cell("A25").child("is").child("t")), QStringLiteral(" x "));

    // Row formats without the spans hint.
    QCOMPARE(out.Row(23).attribute("ht").as_double(), 30.0);
    QVERIFY(out.Row(23).attribute("customHeight").as_bool());
    QVERIFY(!out.Row(23).attribute("spans"));
    QCOMPARE(out.Row(24).attribute("ht").as_double(), 18.0);
    QVERIFY(!out.Row(25).attribute("ht"));

    // Formulas: relative parts moved, shared ones written out per cell, results dropped.
    QCOMPARE(Text(out.Cell("A3").child("f")), QStringLiteral("A7*2"));
    QCOMPARE(Text(out.Cell("A24").child("f")), QStringLiteral("A28*2"));
    QCOMPARE(Text(out.Cell("B24").child("f")), QStringLiteral("B28*2"));
    QCOMPARE(Text(out.Cell("C24").child("f")), QStringLiteral("C25+1")); // master C8 is outside
    QCOMPARE(Text(out.Cell("C25").child("f")), QStringLiteral("IF(A24=\"\",\"\",SUM($A$3:B24))"));
    for (const char *ref : { "A24", "B24", "C24", "C25" }) {
        const pugi::xml_node cell = out.Cell(ref);
        QVERIFY2(!cell.child("v") && !cell.attribute("t"), ref);
        QVERIFY2(!cell.child("f").attribute("t") && !cell.child("f").attribute("si"), ref);
    }

    // Merged ranges inside the block only, at each note.
    QCOMPARE(out.Merges(), std::string("A2:C2 C3:C4 A23:C23 C24:C25"));
    QCOMPARE(out.doc.select_node("//mergeCells").node().attribute("count").as_int(), 4);
    QCOMPARE(
        out.doc.select_node("//dimension").node().attribute("ref").value(), std::string("A2:C25"));
}

void TestXlsxSheet::pasteReplacesWhatWasThere()
{
    TXlsxSheet source;
    Load(source, Source);
    TCellBlock block;
    source.CopyBlock({ { 2, 1 }, { 4, 3 } }, &block);

    // Old cells under the block, one beside it, an overlapping and a separate merge.
    TXlsxSheet target;
    Load(target,
        std::string(Head)
            + R"(<sheetData><row r="11" ht="50" customHeight="1" hidden="1"><c r="A11"><v>5</v></c><c r="C11" s="7"><v>6</v></c><c r="E11"><v>7</v></c></row>)"
              R"(<row r="13"><c r="B13"><v>8</v></c><c r="D13"><v>9</v></c></row></sheetData>)"
              R"(<mergeCells count="2"><mergeCell ref="B13:E13"/><mergeCell ref="F20:G20"/></mergeCells></worksheet>)");
    target.PasteBlock(block, 11, 1);
    TSaved out;
    Reread(target, out);

    QCOMPARE(out.CellsOf(11), std::string("A11 B11 C11 E11"));
    QCOMPARE(out.Cell("C11").attribute("s").as_int(), 1);
    QVERIFY(!out.Cell("C11").child("v"));
    QCOMPARE(Text(out.Cell("E11").child("v")), QStringLiteral("7"));
    QCOMPARE(out.Row(11).attribute("ht").as_double(), 30.0);
    QVERIFY(!out.Row(11).attribute("hidden"));
    // An empty place of the block clears the cell under it (B13); D13 lies beside the block.
    QCOMPARE(out.CellsOf(13), std::string("A13 C13 D13"));
    QCOMPARE(out.Merges(), std::string("F20:G20 A11:C11 C12:C13"));
}

void TestXlsxSheet::cellInput()
{
    TXlsxSheet sheet;
    Load(sheet,
        std::string(Head)
            + R"(<sheetData><row r="4"><c r="B4" s="3" t="s"><v>2</v></c><c r="D4" s="4"><f>1+1</f><v>2</v></c></row></sheetData></worksheet>)");
    sheet.SetCellInput(4, 2, QStringLiteral(" 12 "));
    sheet.SetCellInput(4, 4, QStringLiteral("苹果 & <梨>"));
    sheet.SetCellInput(4, 3, QStringLiteral("  padded"));
    sheet.SetCellInput(6, 11, QStringLiteral("007"));
    sheet.SetCellInput(5, 1, QString());
    sheet.SetCellInput(4, 1, QStringLiteral("a\r\nb"));
    TSaved out;
    Reread(sheet, out);

    const pugi::xml_node b4 = out.Cell("B4");
    QCOMPARE(b4.attribute("s").as_int(), 3);
    QVERIFY(!b4.attribute("t"));
    QCOMPARE(Text(b4.child("v")), QStringLiteral("12"));
    const pugi::xml_node d4 = out.Cell("D4");
    QCOMPARE(d4.attribute("s").as_int(), 4);
    QCOMPARE(d4.attribute("t").value(), std::string("inlineStr"));
    QVERIFY(!d4.child("f") && !d4.child("v"));
    QCOMPARE(Text(d4.child("is").child("t")), QStringLiteral("苹果 & <梨>"));
    QCOMPARE(out.Cell("C4").child("is").child("t").attribute("xml:space").value(),
        std::string("preserve"));
    QCOMPARE(Text(out.Cell("C4").child("is").child("t")), QStringLiteral("  padded"));
    QCOMPARE(Text(out.Cell("K6").child("is").child("t")), QStringLiteral("007"));
    QCOMPARE(Text(out.Cell("A4").child("is").child("t")), QStringLiteral("a_x000D_\nb"));
    // An empty input leaves a cell without a value, rows in order.
    QVERIFY(out.Cell("A5") && !out.Cell("A5").first_child());
    QCOMPARE(out.CellsOf(4), std::string("A4 B4 C4 D4"));
    QStringList rows;
    for (pugi::xpath_node row : out.doc.select_nodes("//row"))
        rows << QString::fromUtf8(row.node().attribute("r").value());
    QCOMPARE(rows, QStringList({ "4", "5", "6" }));
}

void TestXlsxSheet::positionsLeftOutAreRead()
{
    TXlsxSheet sheet;
    Load(sheet,
        std::string(Head)
            + R"(<sheetData><row><c><v>1</v></c><c r="C1"><v>2</v></c><c><v>3</v></c></row><row><c><v>4</v></c></row></sheetData></worksheet>)");
    sheet.SetCellInput(1, 2, QStringLiteral("x"));
    sheet.SetCellInput(2, 1, QStringLiteral("y"));
    TSaved out;
    Reread(sheet, out);
    QCOMPARE(out.CellsOf(1), std::string("A1 B1 C1 D1"));
    QCOMPARE(Text(out.Cell("D1").child("v")), QStringLiteral("3"));
    QCOMPARE(Text(out.Cell("A2").child("is").child("t")), QStringLiteral("y"));
    QCOMPARE(out.doc.select_nodes("//row").size(), size_t(2));
}

void TestXlsxSheet::mergeListGoesWhereTheSchemaWantsIt()
{
    TXlsxSheet source;
    Load(source, Source);
    TCellBlock block;
    source.CopyBlock({ { 2, 1 }, { 4, 3 } }, &block);
    TXlsxSheet target;
    Load(target,
        std::string(Head)
            + R"(<sheetViews><sheetView workbookViewId="0" tabSelected="1"/></sheetViews><sheetData/>)"
              R"(<pageMargins left="0.4" right="0.4" top="0.5" bottom="0.5" header="0.5" footer="0.5"/><pageSetup paperSize="9"/></worksheet>)");
    target.PasteBlock(block, 2, 1);
    target.SetTabSelected(false);
    TSaved out;
    Reread(target, out);
    QStringList order;
    for (pugi::xml_node child = out.doc.child("worksheet").first_child(); child;
         child = child.next_sibling())
        order << QString::fromUtf8(child.name());
    QCOMPARE(order,
        QStringList(
            { "dimension", "sheetViews", "sheetData", "mergeCells", "pageMargins", "pageSetup" }));
    QVERIFY(!out.doc.select_node("//sheetView").node().attribute("tabSelected"));
}

QTEST_GUILESS_MAIN(TestXlsxSheet)
#include "tst_xlsx_sheet.moc"
