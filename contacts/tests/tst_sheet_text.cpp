// Cell texts: numbers in plain form, the _xHHHH_ escapes, date formats, cell references.

#include "SheetText.h"
#include "XlsxDates.h"
#include "XlsxReader.h"
#include "XlsxWriter.h"

#include <QTest>

using XlsxDates::TKind;
Q_DECLARE_METATYPE(XlsxDates::TKind)

class TestSheetText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void numberText_data();
    void numberText();
    void storedNumberText_data();
    void storedNumberText();
    void escapes_data();
    void escapes();
    void escapeRoundTrip_data();
    void escapeRoundTrip();
    void formatKinds_data();
    void formatKinds();
    void serialTexts_data();
    void serialTexts();
    void cellReferences_data();
    void cellReferences();
};

void TestSheetText::numberText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("mobile as float") << 13800138000.0 << "13800138000";
    QTest::newRow("small integer") << 100.0 << "100";
    QTest::newRow("fraction") << 3.5 << "3.5";
    QTest::newRow("shortest decimal") << 0.1 << "0.1";
    QTest::newRow("negative") << -2.0 << "-2";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("large, no exponent") << 1e20 << "100000000000000000000";
    QTest::newRow("small, no exponent") << 1.5e-7 << "0.00000015";
    QTest::newRow("12 digits") << 123456789012.0 << "123456789012";
}

void TestSheetText::numberText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(SheetText::NumberText(value), text);
}

void TestSheetText::storedNumberText_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("text");
    QTest::newRow("digits") << "13800138000"
                            << "13800138000";
    QTest::newRow("exponent form") << "1.3800138E10"
                                   << "13800138000";
    QTest::newRow("lower-case exponent") << "1.5e+20"
                                         << "150000000000000000000";
    QTest::newRow("trailing .0") << "42.0"
                                 << "42";
    QTest::newRow("not a number") << "abc"
                                  << "abc";
}

void TestSheetText::storedNumberText()
{
    QFETCH(QString, stored);
    QFETCH(QString, text);
    QCOMPARE(SheetText::NumberText(stored), text);
}

void TestSheetText::escapes_data()
{
    QTest::addColumn<QString>("encoded");
    QTest::addColumn<QString>("decoded");
    QTest::newRow("carriage return") << "a_x000D_b"
                                     << "a\rb";
    QTest::newRow("lower-case hex") << "_x000d_"
                                    << "\r";
    QTest::newRow("escaped underscore") << "_x005F_x0041_"
                                        << "_x0041_";
    QTest::newRow("not an escape: short") << "_x41_"
                                          << "_x41_";
    QTest::newRow("not an escape: no closing") << "_x0041"
                                               << "_x0041";
    QTest::newRow("not an escape: not hex") << "_x00G1_"
                                            << "_x00G1_";
    QTest::newRow("plain") << "张三 "
                           << "张三 ";
}

void TestSheetText::escapes()
{
    QFETCH(QString, encoded);
    QFETCH(QString, decoded);
    QCOMPARE(SheetText::DecodeEscapes(encoded), decoded);
}

void TestSheetText::escapeRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("controls") << QString::fromUtf16(u"a\r\nb\x01\tc");
    QTest::newRow("looks like an escape") << "x_x0041_y_x005F_";
    QTest::newRow("unpaired surrogates") << QString(QChar(0xD800)) + "a" + QChar(0xDC00);
    QTest::newRow("non-characters") << QString(QChar(0xFFFE)) + QChar(0xFFFF);
    QTest::newRow("emoji") << QString::fromUtf8("号😀码");
}

void TestSheetText::escapeRoundTrip()
{
    QFETCH(QString, text);
    const QString encoded = SheetText::EncodeEscapes(text);
    for (const QChar c : encoded) {
        // Nothing XML 1.0 refuses or a parser would rewrite is left in the encoded text.
        QVERIFY(c.unicode() >= 0x20 || c == u'\t' || c == u'\n');
        QVERIFY(c.unicode() != 0xFFFE && c.unicode() != 0xFFFF);
    }
    QCOMPARE(SheetText::DecodeEscapes(encoded), text);
}

void TestSheetText::formatKinds_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("code");
    QTest::addColumn<TKind>("kind");
    QTest::newRow("general") << 0 << "" << TKind::Number;
    QTest::newRow("text @") << 49 << "" << TKind::Number;
    QTest::newRow("built-in date") << 14 << "" << TKind::Date;
    QTest::newRow("built-in time") << 21 << "" << TKind::Time;
    QTest::newRow("built-in date-time") << 22 << "" << TKind::DateTime;
    QTest::newRow("Chinese built-in date") << 31 << "" << TKind::Date;
    QTest::newRow("Chinese built-in time") << 32 << "" << TKind::Time;
    QTest::newRow("custom date") << 164 << "yyyy-mm-dd" << TKind::Date;
    QTest::newRow("custom date-time") << 164 << "m/d/yyyy h:mm" << TKind::DateTime;
    QTest::newRow("minutes next to hours") << 164 << "h:mm" << TKind::Time;
    QTest::newRow("minutes next to seconds") << 164 << "mm:ss" << TKind::Time;
    QTest::newRow("elapsed hours") << 164 << "[h]:mm:ss" << TKind::Time;
    QTest::newRow("Chinese literals") << 164 << "yyyy\"年\"m\"月\"d\"日\"" << TKind::Date;
    QTest::newRow("letters in a literal") << 164 << "0\" days\"" << TKind::Number;
    QTest::newRow("escaped letter") << 164 << "0\\d" << TKind::Number;
    QTest::newRow("colour") << 164 << "[Red]0.00" << TKind::Number;
    QTest::newRow("scientific") << 164 << "0.00E+00" << TKind::Number;
    QTest::newRow("general code") << 164 << "General" << TKind::Number;
    QTest::newRow("first section decides") << 164 << "0;[Red]yyyy" << TKind::Number;
}

void TestSheetText::formatKinds()
{
    QFETCH(int, id);
    QFETCH(QString, code);
    QFETCH(TKind, kind);
    QCOMPARE(XlsxDates::KindOfFormat(id, code), kind);
}

void TestSheetText::serialTexts_data()
{
    QTest::addColumn<double>("serial");
    QTest::addColumn<TKind>("kind");
    QTest::addColumn<bool>("date1904");
    QTest::addColumn<QString>("text");
    QTest::newRow("date") << 45444.0 << TKind::Date << false << "2024-06-01";
    QTest::newRow("date-time") << 45444.52089120371 << TKind::DateTime << false
                               << "2024-06-01 12:30:05";
    QTest::newRow("time") << 0.34375 << TKind::Time << false << "08:15:00";
    QTest::newRow("before the leap-day slot") << 59.0 << TKind::Date << false << "1900-02-28";
    QTest::newRow("first day") << 1.0 << TKind::Date << false << "1900-01-01";
    QTest::newRow("1904 epoch") << 0.0 << TKind::Date << true << "1904-01-01";
    QTest::newRow("rounds up to midnight")
        << 45443.999999999 << TKind::DateTime << false << "2024-06-01 00:00:00";
    QTest::newRow("plain number") << 45444.5 << TKind::Number << false << "45444.5";
    QTest::newRow("out of range") << -1.0 << TKind::Date << false << "-1";
}

void TestSheetText::serialTexts()
{
    QFETCH(double, serial);
    QFETCH(TKind, kind);
    QFETCH(bool, date1904);
    QFETCH(QString, text);
    QCOMPARE(XlsxDates::SerialText(serial, kind, date1904), text);
}

void TestSheetText::cellReferences_data()
{
    QTest::addColumn<qsizetype>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("reference");
    QTest::newRow("A1") << qsizetype(1) << 1 << "A1";
    QTest::newRow("Z1") << qsizetype(1) << 26 << "Z1";
    QTest::newRow("AA1") << qsizetype(1) << 27 << "AA1";
    QTest::newRow("AB12") << qsizetype(12) << 28 << "AB12";
    QTest::newRow("AZ3") << qsizetype(3) << 52 << "AZ3";
    QTest::newRow("XFD, the last column") << qsizetype(1048576) << 16384 << "XFD1048576";
}

void TestSheetText::cellReferences()
{
    QFETCH(qsizetype, row);
    QFETCH(int, column);
    QFETCH(QString, reference);
    QCOMPARE(XlsxWriter::CellReference(row, column), reference);
    QCOMPARE(XlsxReader::ColumnOfReference(reference.toLatin1().constData()), column);
    QCOMPARE(XlsxReader::ColumnOfReference(reference.toLower().toLatin1().constData()), column);
}

QTEST_GUILESS_MAIN(TestSheetText)
#include "tst_sheet_text.moc"
