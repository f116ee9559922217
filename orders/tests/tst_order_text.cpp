// The order text: separators, the fields a parse gives, the save rules and the shape test.

#include "OrderText.h"
#include "SaleOrder.h"

#include <QTest>

using namespace Orders;

class TestOrderText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void normalizeSeparators_data();
    void normalizeSeparators();
    void parse_data();
    void parse();
    void saveRules_data();
    void saveRules();
    void parseOverwritesEveryField();
};

void TestOrderText::normalizeSeparators_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("normalised");
    QTest::newRow("all three") << QStringLiteral("＃a，b；c＃") << QStringLiteral("#a,b;c#");
    QTest::newRow("other full-width kept, nothing trimmed")
        << QStringLiteral(" ＃：（１）　；\r\n") << QStringLiteral(" #：（１）　;\r\n");
    QTest::newRow("ascii unchanged")
        << QStringLiteral("#D#C#x,1,y;#R#") << QStringLiteral("#D#C#x,1,y;#R#");
}

void TestOrderText::normalizeSeparators()
{
    QFETCH(QString, text);
    QFETCH(QString, normalised);
    QCOMPARE(NormalizeSeparators(text), normalised);
}

void TestOrderText::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("normalised");
    QTest::addColumn<int>("pieceCount");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("customer");
    QTest::addColumn<QString>("items");
    QTest::addColumn<QString>("remark");

    const QString plain = QStringLiteral("#D#C#x,1,y;z,2,w;#R#");
    QTest::newRow("enclosed") << plain << plain << 5 << "D"
                              << "C"
                              << "x,1,y;z,2,w;"
                              << "R";
    QTest::newRow("full-width separators")
        << QStringLiteral("＃D＃C＃x，1，y；z，2，w；＃R＃") << plain << 5 << "D"
        << "C"
        << "x,1,y;z,2,w;"
        << "R";
    QTest::newRow("mixed separators")
        << QStringLiteral("＃D#C＃x，1,y；z,2，w;#R＃") << plain << 5 << "D"
        << "C"
        << "x,1,y;z,2,w;"
        << "R";
    QTest::newRow("empty customer moves the fields forward") << "#D##x,1,y;#"
                                                             << "#D##x,1,y;#" << 3 << "D"
                                                             << "x,1,y;"
                                                             << ""
                                                             << "";
    QTest::newRow("blank field dropped too") << "#D# \t #C#x,1,y;#R#"
                                             << "#D# \t #C#x,1,y;#R#" << 5 << "D"
                                             << "C"
                                             << "x,1,y;"
                                             << "R";
    QTest::newRow("no hash: one piece, the date") << "  some text  "
                                                  << "  some text  " << 1 << "some text"
                                                  << ""
                                                  << ""
                                                  << "";
    QTest::newRow("empty text") << ""
                                << "" << 1 << ""
                                << ""
                                << ""
                                << "";
    QTest::newRow("not enclosed") << "D#C#x,1,y;#R"
                                  << "D#C#x,1,y;#R" << 4 << "D"
                                  << "C"
                                  << "x,1,y;"
                                  << "R";
    QTest::newRow("fields trimmed") << "# D \r\n#\tC #  x,1,y; \r\n# R #"
                                    << "# D \r\n#\tC #  x,1,y; \r\n# R #" << 5 << "D"
                                    << "C"
                                    << "x,1,y;"
                                    << "R";
    QTest::newRow("full-width space is not trimmed")
        << QStringLiteral("#\u3000D#C#x,1,y;#R#") << QStringLiteral("#\u3000D#C#x,1,y;#R#") << 5
        << QStringLiteral("\u3000D") << "C"
        << "x,1,y;"
        << "R";
    QTest::newRow("fifth field ignored") << "#D#C#x,1,y;#R#more#"
                                         << "#D#C#x,1,y;#R#more#" << 6 << "D"
                                         << "C"
                                         << "x,1,y;"
                                         << "R";
    QTest::newRow("no remark") << "#D#C#x,1,y;#"
                               << "#D#C#x,1,y;#" << 4 << "D"
                               << "C"
                               << "x,1,y;"
                               << "";
    QTest::newRow("text after the last hash is a piece") << "#D#C#x,1,y;#R"
                                                         << "#D#C#x,1,y;#R" << 4 << "D"
                                                         << "C"
                                                         << "x,1,y;"
                                                         << "R";
}

void TestOrderText::parse()
{
    QFETCH(QString, text);
    const ParsedOrder parsed = ParseOrderText(text);
    QTEST(parsed.text, "normalised");
    QTEST(parsed.pieceCount, "pieceCount");
    QTEST(parsed.deliveryDate, "date");
    QTEST(parsed.customer, "customer");
    QTEST(parsed.items, "items");
    QTEST(parsed.remark, "remark");
}

void TestOrderText::saveRules_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message"); // empty: the order may be saved
    QTest::addColumn<bool>("itemsValid");
    QTest::addColumn<bool>("wellFormed");

    const QString noDate = QStringLiteral("短信格式错误，发货日期为空！");
    const QString noCustomer = QStringLiteral("短信格式错误，客户名称为空！");
    const QString noItems = QStringLiteral("短信格式错误，产品信息为空！");
    const QString badItems = QStringLiteral("产品信息格式错误，请检查后重新保存！");

    // text, message of the first failing rule, CheckOrderItems, IsWellFormedOrder
    QTest::newRow("two lines") << "#D#C#x,1,y;z,2,w;#R#"
                               << "" << true << true;
    // The shape test looks at the text as received; only the parse normalises.
    QTest::newRow("full-width") << QStringLiteral("＃D＃C＃x，1，y；＃R＃") << "" << true << false;
    QTest::newRow("empty customer field") << "#D##x,1,y;#" << noItems << false << true;
    QTest::newRow("no semicolon") << "#D#C#x,1,y#R#" << badItems << false << true;
    QTest::newRow("two parts") << "#D#C#x,1;#R#" << badItems << false << true;
    QTest::newRow("empty middle part does not count")
        << "#D#C#x,,y;#R#" << badItems << false << true;
    QTest::newRow("a bad line after a good one")
        << "#D#C#x,1,y;z,2;#R#" << badItems << false << true;
    QTest::newRow("blank lines skipped") << "#D#C#x,1,y;;  ;\r\n;z,2,w;#R#"
                                         << "" << true << true;
    QTest::newRow("only semicolons") << "#D#C#;;;#R#" << badItems << false << true;
    QTest::newRow("last line without semicolon, three parts") << "#D#C#x,1,y;z,2,w#R#"
                                                              << "" << true << true;
    QTest::newRow("last line without semicolon, two parts")
        << "#D#C#x,1,y;z,2#R#" << badItems << false << true;
    QTest::newRow("empty third part counts") << "#D#C#a,b,;#R#"
                                             << "" << true << true;
    QTest::newRow("four parts") << "#D#C#x,1,y,z;#R#"
                                << "" << true << true;
    QTest::newRow("no hash") << "some text" << noCustomer << false << false;
    QTest::newRow("empty text") << "" << noDate << false << false;
    QTest::newRow("only hashes") << "####" << noDate << false << false;
    QTest::newRow("not enclosed") << "D#C#x,1,y;#R"
                                  << "" << true << false;
    QTest::newRow("not closed") << "#D#C#x,1,y;#R"
                                << "" << true << false;
    QTest::newRow("enclosed, no items") << "#D#C#" << noItems << false << true;
    QTest::newRow("two pieces only") << "#D#C" << noItems << false << false;
}

void TestOrderText::saveRules()
{
    QFETCH(QString, text);
    QFETCH(QString, message);

    SaleOrder order;
    order.fmsg = text;
    const ParsedOrder parsed = ParseOrderText(text);
    ApplyParsedOrder(order, parsed);
    QCOMPARE(SaveRuleFailure(order), message);
    QTEST(CheckOrderItems(order.fmsg), "itemsValid");
    QTEST(IsWellFormedOrder(text), "wellFormed");
}

void TestOrderText::parseOverwritesEveryField()
{
    // A second parse replaces all fields, empty ones included, and the text by its normal form,
    // also when the operator is told the text is malformed.
    SaleOrder order;
    order.fmsg = QStringLiteral("＃D＃C＃x，1，y；＃R＃");
    ApplyParsedOrder(order, ParseOrderText(order.fmsg));
    QCOMPARE(order.fmsg, QStringLiteral("#D#C#x,1,y;#R#"));
    QCOMPARE(order.fdemo, QStringLiteral("R"));
    QCOMPARE(SaveRuleFailure(order), QString());

    order.fmsg = QStringLiteral("just words");
    const ParsedOrder parsed = ParseOrderText(order.fmsg);
    ApplyParsedOrder(order, parsed);
    QVERIFY(parsed.pieceCount < 2);
    QCOMPARE(ParseFailureMessage(), QStringLiteral("信息内容格式不规范，请检查后重新解析！"));
    QCOMPARE(order.fdate, QStringLiteral("just words"));
    QCOMPARE(order.fcustname, QString());
    QCOMPARE(order.fproduct, QString());
    QCOMPARE(order.fdemo, QString());
    QCOMPARE(SaveRuleFailure(order), QStringLiteral("短信格式错误，客户名称为空！"));
}

QTEST_GUILESS_MAIN(TestOrderText)
#include "tst_order_text.moc"
