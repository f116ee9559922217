#include "untPublic.h"

#include <QTest>

using namespace untPublic;

class TestUntPublic : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void splitToList_data();
    void splitToList();
    void trimText();
    void textLength_data();
    void textLength();
};

void TestUntPublic::splitToList_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QStringList>("pieces");

    QTest::newRow("blank pieces dropped, last kept") << "a,, ,b," << "," << QStringList{"a", "b", ""};
    QTest::newRow("kept untrimmed") << " a ,b" << "," << QStringList{" a ", "b"};
    QTest::newRow("no separator") << "abc" << "," << QStringList{"abc"};
    QTest::newRow("empty") << "" << "," << QStringList{""};
    QTest::newRow("long separator keeps its tail")
        << "\r\n+CMGL: 1,1,,24\r\nAB\r\n+CMGL: 2,0,,20\r\nCD\r\nOK\r\n" << "+CMGL"
        << QStringList{"CMGL: 1,1,,24\r\nAB\r\n", "CMGL: 2,0,,20\r\nCD\r\nOK\r\n"};
}

void TestUntPublic::splitToList()
{
    QFETCH(QString, source);
    QFETCH(QString, separator);
    QFETCH(QStringList, pieces);
    QCOMPARE(SplitToList(source, separator), pieces);
}

void TestUntPublic::trimText()
{
    QCOMPARE(TrimText(u"\r\n\t a b \x01"), QString("a b"));
    QCOMPARE(TrimText(u"\u3000x\u3000"), QStringLiteral("\u3000x\u3000")); // full-width space stays
    QCOMPARE(TrimText(u"  "), QString());
}

void TestUntPublic::textLength_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("length");
    QTest::newRow("blanks only") << "  \r\n \t" << 0;
    QTest::newRow("ascii") << "abc" << 3;
    QTest::newRow("space ignored") << "a b" << 2;
    QTest::newRow("one chinese") << QStringLiteral("你") << 1;
    QTest::newRow("three chinese and x") << QStringLiteral("你好吗x") << 4;
    QTest::newRow("full-width punctuation") << QStringLiteral("，。") << 2;
    QTest::newRow("euro is one GBK byte") << QStringLiteral("€") << 0;
    QTest::newRow("two single high bytes") << QStringLiteral("€€") << 1;
    QTest::newRow("second byte in the ASCII range counts one and a half")
        << QStringLiteral("丂丂") << 3;
    QTest::newRow("emoji counts its two units") << QStringLiteral("😀") << 2;
}

void TestUntPublic::textLength()
{
    QFETCH(QString, text);
    QFETCH(int, length);
    QCOMPARE(TextLength(text), length);
}

QTEST_GUILESS_MAIN(TestUntPublic)
#include "tst_untpublic.moc"
