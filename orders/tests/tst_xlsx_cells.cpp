// Cell references, moving formulas, and how typed text is stored.

#include "XlsxCellInput.h"
#include "XlsxRef.h"

#include <QTest>

using namespace Xlsx;

class TestXlsxCells : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void references();
    void shiftFormula_data();
    void shiftFormula();
    void typedNumber_data();
    void typedNumber();
    void escapeCellText_data();
    void escapeCellText();
};

void TestXlsxCells::references()
{
    QCOMPARE(ColumnName(1), std::string("A"));
    QCOMPARE(ColumnName(26), std::string("Z"));
    QCOMPARE(ColumnName(27), std::string("AA"));
    QCOMPARE(ColumnName(702), std::string("ZZ"));
    QCOMPARE(ColumnName(703), std::string("AAA"));
    QCOMPARE(ColumnName(MaxColumns), std::string("XFD"));

    TCellPos pos;
    QVERIFY(ParseCellRef("XFD1048576", &pos));
    QCOMPARE(pos.column, MaxColumns);
    QCOMPARE(pos.row, MaxRows);
    QVERIFY(ParseCellRef("ab12", &pos));
    QCOMPARE(pos.column, 28);
    for (const char *bad :
        { "", "A", "12", "A0", "A01", "XFE1", "A1048577", "$A1", "A1B", "ABCD1" })
        QVERIFY2(!ParseCellRef(bad, &pos), bad);

    TRange range;
    QVERIFY(ParseRange("A2:L16", &range));
    QCOMPARE(RangeRef(range), std::string("A2:L16"));
    QCOMPARE(RangeRef(range.Moved(21, 0)), std::string("A23:L37"));
    QVERIFY(ParseRange("B4", &range));
    QCOMPARE(RangeRef(range), std::string("B4"));
    QVERIFY(!ParseRange("L16:A2", &range));
}

void TestXlsxCells::shiftFormula_data()
{
    QTest::addColumn<QString>("formula");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("moved");

    QTest::newRow("sum of two ranges")
        << "SUM(D6:D15)+SUM(I6:I15)" << 21 << 0 << "SUM(D27:D36)+SUM(I27:I36)";
    QTest::newRow("absolute parts stay") << "$D$6*D$6+$D6*D6" << 40 << 2 << "$D$6*F$6+$D46*F46";
    QTest::newRow("texts in quotes stay") << "IF(E6=\"\",\"A1 \"\"B2\"\"\",D6*E6)" << 17 << 0
                                          << "IF(E23=\"\",\"A1 \"\"B2\"\"\",D23*E23)";
    QTest::newRow("function names that look like cells")
        << "LOG10(A1)+ATAN2(B2,C3)" << 1 << 0 << "LOG10(A2)+ATAN2(B3,C4)";
    QTest::newRow("sheet names stay, their cells move")
        << "模板!B2+'My Sheet'!C3+AB1!D4" << 2 << 0 << "模板!B4+'My Sheet'!C5+AB1!D6";
    QTest::newRow("numbers with exponents") << "1E5+2.5e-3*A1+.5" << 3 << 0 << "1E5+2.5e-3*A4+.5";
    QTest::newRow("names and booleans")
        << "TRUE+Total_1+ABCD1+A1.B" << 5 << 0 << "TRUE+Total_1+ABCD1+A1.B";
    QTest::newRow("structured reference stays")
        << "SUM(Table1[[#This Row],[A1]])+A1" << 1 << 0 << "SUM(Table1[[#This Row],[A1]])+A2";
    QTest::newRow("moved off the sheet") << "A1048576+B1" << 1 << 0 << "#REF!+B2";
    QTest::newRow("moved back above row 1") << "A2+A1" << -1 << 0 << "A1+#REF!";
    QTest::newRow("lower case and full-width text")
        << "sum(d6:d7)&\"（合计）\"" << 1 << 0 << "sum(D7:D8)&\"（合计）\"";
    QTest::newRow("no offset") << "SUM(D6:D15)" << 0 << 0 << "SUM(D6:D15)";
}

void TestXlsxCells::shiftFormula()
{
    QFETCH(QString, formula);
    QFETCH(int, rows);
    QFETCH(int, columns);
    const std::string moved = ShiftFormula(formula.toStdString(), rows, columns);
    QTEST(QString::fromStdString(moved), "moved");
}

void TestXlsxCells::typedNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("stored");

    QTest::newRow("integer") << "10" << true << 10.0 << "10";
    QTest::newRow("spaces around") << " 3 " << true << 3.0 << "3";
    QTest::newRow("decimal") << "2.50" << true << 2.5 << "2.5";
    QTest::newRow("signed") << "-0.5" << true << -0.5 << "-0.5";
    QTest::newRow("plus") << "+7" << true << 7.0 << "7";
    QTest::newRow("point first") << ".25" << true << 0.25 << "0.25";
    QTest::newRow("point last") << "4." << true << 4.0 << "4";
    QTest::newRow("exponent") << "1e3" << true << 1000.0 << "1000";
    QTest::newRow("zero") << "0" << true << 0.0 << "0";
    QTest::newRow("fifteen digits")
        << "123456789012345" << true << 123456789012345.0 << "123456789012345";
    QTest::newRow("sixteen digits stay text") << "1234567890123456" << false << 0.0 << "";
    QTest::newRow("leading zero stays text") << "007" << false << 0.0 << "";
    QTest::newRow("phone number stays text") << "13800138000123456" << false << 0.0 << "";
    QTest::newRow("unit") << "10kg" << false << 0.0 << "";
    QTest::newRow("two points") << "1.2.3" << false << 0.0 << "";
    QTest::newRow("date") << "2024-01-05" << false << 0.0 << "";
    QTest::newRow("full-width digits") << QStringLiteral("１０") << false << 0.0 << "";
    QTest::newRow("sign only") << "-" << false << 0.0 << "";
    QTest::newRow("point only") << "." << false << 0.0 << "";
    QTest::newRow("blank") << "  " << false << 0.0 << "";
    QTest::newRow("overflow") << "1e999" << false << 0.0 << "";
}

void TestXlsxCells::typedNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, isNumber);
    QFETCH(double, value);
    QFETCH(QString, stored);
    const std::optional<double> number = TypedNumber(text);
    QCOMPARE(number.has_value(), isNumber);
    if (number) {
        QCOMPARE(*number, value);
        QCOMPARE(QString::fromStdString(NumberText(*number)), stored);
    }
}

void TestXlsxCells::escapeCellText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("escaped");
    QTest::addColumn<bool>("preserve");
    QTest::newRow("plain") << QStringLiteral("苹果 a&b<c>") << QStringLiteral("苹果 a&b<c>")
                           << false;
    QTest::newRow("line feed and tab kept") << "a\nb\tc"
                                            << "a\nb\tc" << false;
    QTest::newRow("carriage return and controls")
        << QStringLiteral("a\r\nb\x01\x1f") << "a_x000D_\nb_x0001__x001F_" << false;
    QTest::newRow("literal escape protected") << "_x0041_ and _x12_"
                                              << "_x005F_x0041_ and _x12_" << false;
    QTest::newRow("edges keep their spaces") << " a "
                                             << " a " << true;
}

void TestXlsxCells::escapeCellText()
{
    QFETCH(QString, text);
    QTEST(QString::fromStdString(EscapeCellText(text)), "escaped");
    QTEST(NeedsPreserve(text), "preserve");
}

QTEST_GUILESS_MAIN(TestXlsxCells)
#include "tst_xlsx_cells.moc"
