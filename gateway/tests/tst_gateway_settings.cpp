// Config.ini: defaults, the reading rules, and which writer writes which keys.

#include "GatewaySettings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Gateway;

class TestGatewaySettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void missingFileGivesDefaults();
    void readingRules_data();
    void readingRules();
    void writersWriteOnlyTheirKeys();
    void valuesSurviveTheFile();
    void readOnlyFileReportsFailure();

private:
    void writeFile(const QByteArray &body);
    QByteArray fileText() const;

    QTemporaryDir m_dir;
    QString m_path;
};

void TestGatewaySettings::init()
{
    QVERIFY(m_dir.isValid());
    m_path = m_dir.filePath(QStringLiteral("Config.ini"));
    QFile::remove(m_path);
}

void TestGatewaySettings::writeFile(const QByteArray &body)
{
    QFile f(m_path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[System]\n" + body);
}

QByteArray TestGatewaySettings::fileText() const
{
    QFile f(m_path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TestGatewaySettings::missingFileGivesDefaults()
{
    const TGatewaySettings s = TConfigFile(m_path).Load();
    QCOMPARE(s.COM, 0);
    QCOMPARE(s.ReTry, QStringLiteral("3"));
    QCOMPARE(s.ZFSBM, QStringLiteral("ZF"));
    QVERIFY(s.AutoPlay && s.LongSend);
    QVERIFY(!s.AutoInit && !s.UATA && !s.CHKZF && !s.ADel && !s.AutoRun);
    QVERIFY(s.SMSC.startsWith(QLatin1String("86")));
    QVERIFY(s.regName.isEmpty() && s.memOk.isEmpty());
    QVERIFY(!QFile::exists(m_path)); // reading creates nothing
}

void TestGatewaySettings::readingRules_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("autoPlay");
    QTest::addColumn<int>("com");

    QTest::newRow("zero is false") << QByteArray("AutoPlay=0\nCOM=2\n") << false << 2;
    QTest::newRow("any other integer is true") << QByteArray("AutoPlay=-7\n") << true << 0;
    QTest::newRow("not an integer gives the default")
        << QByteArray("AutoPlay=yes\nCOM=first\n") << true << 0;
    QTest::newRow("empty value gives the default") << QByteArray("AutoPlay=\nCOM=\n") << true << 0;
    QTest::newRow("COM beyond the list is kept") << QByteArray("COM=9\n") << true << 9;
}

void TestGatewaySettings::readingRules()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, autoPlay);
    QFETCH(int, com);
    writeFile(body);
    const TGatewaySettings s = TConfigFile(m_path).Load();
    QCOMPARE(s.AutoPlay, autoPlay);
    QCOMPARE(s.COM, com);
}

void TestGatewaySettings::writersWriteOnlyTheirKeys()
{
    writeFile("UATA=1\nmemOk=keep me\nregName=old\n");
    TGatewaySettings s;
    s.COM = -1;
    s.SMSC = QStringLiteral(" 8613800100500 ");
    s.ReTry = QStringLiteral(" 5 ");
    s.CHKZF = true;
    s.AutoInit = true;
    s.memOk = QStringLiteral("changed");
    const TConfigFile file(m_path);
    QVERIFY(file.SaveDevice(s));
    TGatewaySettings back = file.Load();
    QCOMPARE(back.COM, -1);
    QCOMPARE(back.SMSC, QStringLiteral("8613800100500")); // trimmed
    QCOMPARE(back.ReTry, QStringLiteral("5"));
    QVERIFY(back.CHKZF && back.AutoInit && back.UATA);
    QCOMPARE(back.memOk, QStringLiteral("keep me")); // not a device key
    QCOMPARE(back.regName, QStringLiteral("old"));

    s.AutoPlay = false;
    s.memErr = QStringLiteral("  late  ");
    QVERIFY(file.SaveOptions(s));
    back = file.Load();
    QVERIFY(!back.AutoPlay);
    QCOMPARE(back.memOk, QStringLiteral("changed"));
    QCOMPARE(back.memErr, QStringLiteral("late"));
    QCOMPARE(back.ReTry, QStringLiteral("5"));

    QVERIFY(file.SaveSignature(QStringLiteral(" 【公司】 ")));
    QCOMPARE(file.Load().regName, QStringLiteral("【公司】"));
    const QByteArray raw = fileText();
    QVERIFY(raw.contains("[System]"));
    QVERIFY(raw.contains("UATA=1")); // never written, kept as the file said
    QVERIFY(raw.contains("CHKZF=1"));
    QVERIFY(!raw.contains("true"));
}

void TestGatewaySettings::valuesSurviveTheFile()
{
    TGatewaySettings s;
    s.memOk = QStringLiteral("您好，订单已收到, 谢谢\n第二行");
    const TConfigFile file(m_path);
    QVERIFY(file.SaveOptions(s));
    QCOMPARE(file.Load().memOk, s.memOk);

    writeFile("memErr=a,b\n");
    QCOMPARE(file.Load().memErr, QStringLiteral("a,b")); // a line written by hand
}

void TestGatewaySettings::readOnlyFileReportsFailure()
{
    writeFile("COM=0\n");
    QVERIFY(QFile::setPermissions(m_path, QFileDevice::ReadOwner));
    if (QFile(m_path).open(QIODevice::WriteOnly))
        QSKIP("running with rights that ignore file permissions");
    QVERIFY(!TConfigFile(m_path).SaveDevice(TGatewaySettings()));
}

QTEST_APPLESS_MAIN(TestGatewaySettings)
#include "tst_gateway_settings.moc"
