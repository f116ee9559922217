// Cutting texts into parts, splitting the recipient field, the compose counter.

#include "MessageParts.h"
#include "RecipientList.h"
#include "untPublic.h"

#include <QTest>

using namespace Gateway;

class TestGatewayText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cutParts_data();
    void cutParts();
    void partsNeverLoseText_data();
    void partsNeverLoseText();
    void splitRecipients_data();
    void splitRecipients();
    void counter();
};

namespace {

QString times(const QString &s, int n)
{
    return s.repeated(n);
}

const QString Zh = QStringLiteral("中");
// U+02CA is A8 40 in GBK: its second byte counts like an ASCII character (one and a half).
const QString HalfWide = QStringLiteral("\u02CA");

} // namespace

void TestGatewayText::cutParts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("parts");

    QTest::newRow("short") << "abc" << QStringList { "abc" };
    QTest::newRow("blank text") << " \r\n " << QStringList {};
    QTest::newRow("68 chinese, one part") << times(Zh, 68) << QStringList { times(Zh, 68) };
    QTest::newRow("69 chinese, second holds one")
        << times(Zh, 69) << QStringList { times(Zh, 68), Zh };
    QTest::newRow("68 letters then spaces: blank rest not sent")
        << times("a", 68) + "     " << QStringList { times("a", 68) };
    QTest::newRow("spaces do not count") << "a b  c" << QStringList { "a b  c" };
    QTest::newRow("blanks at a cut are trimmed")
        << times("x", 68) + "   y  " << QStringList { times("x", 68), "y" };
    QTest::newRow("one and a half before a boundary: no split byte") << times("a", 66) + HalfWide
            + Zh + "b" << QStringList { times("a", 66) + HalfWide + Zh, "b" };
    QTest::newRow("one and a half would pass the count: moves on") << times("a", 66) + HalfWide
            + HalfWide + "b" << QStringList { times("a", 66) + HalfWide, HalfWide + "b" };
    QTest::newRow("surrogate pair is never split") << times(Zh, 67) + QStringLiteral("😀")
            + "z" << QStringList { times(Zh, 67), QStringLiteral("😀z") };
    // A euro sign is one GBK byte (half a character): 70 of them fill the 70 UTF-16 units
    // of a part long before the count of 68 is reached.
    QTest::newRow("unit limit of a UCS2 part") << times(QStringLiteral("€"),
        100) << QStringList { times(QStringLiteral("€"), 70), times(QStringLiteral("€"), 30) };
}

void TestGatewayText::cutParts()
{
    QFETCH(QString, text);
    QFETCH(QStringList, parts);
    QCOMPARE(CutParts(text, 68), parts);
}

void TestGatewayText::partsNeverLoseText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("letters with a space between") << times("a ", 200);
    QTest::newRow("chinese with tabs") << times(Zh + "\t", 150);
    QTest::newRow("mixed with emoji") << times(QStringLiteral("短信a😀 €"), 60);
    QTest::newRow("150 chinese") << times(QStringLiteral("测"), 150);
}

void TestGatewayText::partsNeverLoseText()
{
    // Every part fits the count and the units of one UCS2 message, and the non-blank
    // characters of the parts are exactly those of the text, in order.
    QFETCH(QString, text);
    const QStringList parts = CutParts(text, 68);
    QString joined;
    for (const QString &p : parts) {
        QVERIFY2(p.size() <= MaxPartUnits, qPrintable(p));
        QVERIFY(untPublic::TextLength(p) <= 68);
        QVERIFY(!p.front().isLowSurrogate() && !p.back().isHighSurrogate());
        joined += p;
    }
    auto dense = [](QString s) {
        s.removeIf([](QChar c) { return untPublic::IsBlank(c); });
        return s;
    };
    QCOMPARE(dense(joined), dense(text));
}

void TestGatewayText::splitRecipients_data()
{
    QTest::addColumn<QString>("numbers");
    QTest::addColumn<QStringList>("entries");

    QTest::newRow("empty") << "" << QStringList {};
    QTest::newRow("one") << "13800000001" << QStringList { "13800000001" };
    QTest::newRow("double and trailing comma give empty entries")
        << "13800000001,,13800000002," << QStringList { "13800000001", "", "13800000002", "" };
    QTest::newRow("blanks and line breaks separate")
        << "  111 222\r\n333\t444" << QStringList { "111", "222", "333", "444" };
    QTest::newRow("blanks around commas") << "111 , 222" << QStringList { "111", "222" };
    QTest::newRow("comma between blanks") << "111, ,222" << QStringList { "111", "", "222" };
    QTest::newRow("trailing comma then blank") << "111, " << QStringList { "111" };
    QTest::newRow("quoted entry holds commas and blanks")
        << "\"1 2,3\",4" << QStringList { "1 2,3", "4" };
    QTest::newRow("doubled quote inside quotes") << "\"a\"\"b\"" << QStringList { "a\"b" };
    QTest::newRow("unclosed quote takes the rest") << "\"12,3" << QStringList { "12,3" };
}

void TestGatewayText::splitRecipients()
{
    QFETCH(QString, numbers);
    QFETCH(QStringList, entries);
    QCOMPARE(SplitRecipients(numbers), entries);
}

void TestGatewayText::counter()
{
    QCOMPARE(CounterText(u"abc"), QStringLiteral("已经输入3字"));
    QCOMPARE(CounterText(u""), QStringLiteral("已经输入0字"));
    QCOMPARE(CounterText(QStringLiteral("你好 x\r\n")), QStringLiteral("已经输入3字"));
}

QTEST_APPLESS_MAIN(TestGatewayText)
#include "tst_gateway_text.moc"
