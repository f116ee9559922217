// The gateway core without a window: the outgoing scheduler's rules, the sent-part records,
// the failure handler, the port given on the command line, and the headless mode.

#include "GatewayFixture.h"
#include "HeadlessGateway.h"
#include "OutgoingScheduler.h"
#include "PduCodec.h"
#include "TMessageStore.h"
#include "TStoreQuery.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <csignal>
#include <cstdio>

using namespace Gateway;

namespace {

QStringList sentNumbers(const TAnsweringModem &modem)
{
    QStringList numbers;
    for (const QByteArray &w : modem.writes) {
        if (w.endsWith('\x1A')) {
            const Pdu::TDecodeResult r = Pdu::Decode(QString::fromLatin1(w.chopped(1)));
            numbers << (r.ok() ? r.pdu->number : QStringLiteral("?"));
        }
    }
    return numbers;
}

const QString TwoParts = QStringLiteral("两").repeated(70);

} // namespace

class TestGatewayCore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void refusedNumberIsSkippedSilently();
    void failedPartDoesNotStopTheOthers();
    void partWaitsWhileTheModemIsBusy();
    void inactiveModemSendsNothing();
    void queueMessageSetsTheCounters();
    void sentPartIsRecorded_data();
    void sentPartIsRecorded();
    void errMonitorFreesTheModem();
    void portFromTheCommandLine();
    void headlessRunsAndStopsOnSigterm();

private:
    void start(bool setUp = true);

    std::unique_ptr<TGatewayFixture> f;
    std::unique_ptr<TGatewayCore> core;
    QStringList errors;
};

void TestGatewayCore::init()
{
    f = std::make_unique<TGatewayFixture>();
    errors.clear();
}

void TestGatewayCore::cleanup()
{
    core.reset();
    f.reset();
}

void TestGatewayCore::start(bool setUp)
{
    core = std::make_unique<TGatewayCore>(f->Options());
    connect(core.get(), &TGatewayCore::LogError, this, [this](const QString &t) { errors << t; });
    QVERIFY(core->FormCreate());
    if (!setUp)
        return;
    QVERIFY(core->btnSetClick(core->Settings()));
    f->SwitchOn();
    QVERIFY(core->Modem()->LinkReady());
    f->modem->writes.clear();
}

void TestGatewayCore::refusedNumberIsSkippedSilently()
{
    start();
    QSignalSpy finished(core.get(), &TGatewayCore::SendFinished);
    core->SendToRecipients(QStringLiteral("139+1,,13800000001 12a"), TwoParts);
    f->modem->Flush();
    QCOMPARE(sentNumbers(*f->modem), (QStringList { "13800000001", "13800000001" }));
    QVERIFY(errors.isEmpty());
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished[0], (QVariantList { 2, 0, 2 }));
}

void TestGatewayCore::failedPartDoesNotStopTheOthers()
{
    start();
    // The first part's "at+cmgs=" is refused every time: three tries, then the report.
    int refusals = 0;
    int reference = 0;
    f->modem->answer = [&](const QByteArray &w) -> QByteArray {
        if (w.startsWith("at+cmgs=") && sentNumbers(*f->modem).isEmpty() && refusals < 3) {
            ++refusals;
            return "\r\nERROR\r\n";
        }
        return TAnsweringModem::Standard(w, reference);
    };
    QSignalSpy finished(core.get(), &TGatewayCore::SendFinished);
    core->SendToRecipients(QStringLiteral("13800000001,13800000002"), TwoParts);
    f->modem->Flush();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(
        QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d AT\\+CMGS_1发送错误\\(0/0\\)$"))
            .match(errors[0])
            .hasMatch(),
        qPrintable(errors[0]));
    QCOMPARE(sentNumbers(*f->modem), (QStringList { "13800000001", "13800000002", "13800000002" }));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished[0], (QVariantList { 3, 1, 4 }));
    QCOMPARE(core->Modem()->CmdState, quint8(0));
}

void TestGatewayCore::partWaitsWhileTheModemIsBusy()
{
    start();
    f->modem->Push("\r\n+CMTI: \"SM\",3\r\n"); // the modem starts reading message 3
    QCOMPARE(core->Modem()->CmdState, quint8(TSMSPDUproc::csRead));
    core->SendToRecipients(QStringLiteral("13800000001"), QStringLiteral("hi"));
    QVERIFY(f->modem->Sends().isEmpty());
    QVERIFY(f->modem->Step()); // the read ends (an empty slot): the part goes at once
    QCOMPARE(f->modem->Sends().size(), 1);
    QCOMPARE(f->modem->writes.first(), QByteArray("at+cmgr=3\r"));
}

void TestGatewayCore::inactiveModemSendsNothing()
{
    start(false);
    QSignalSpy handedOver(core.get(), &TGatewayCore::SendHandedOver);
    const int job = core->SendToRecipients(QStringLiteral("13800000001"), QStringLiteral("hi"));
    QCOMPARE(handedOver.size(), 1);
    QCOMPARE(handedOver[0][0].toInt(), job);
    QVERIFY(core->Scheduler()->Idle());
    QVERIFY(f->modem->writes.isEmpty());
    QVERIFY(errors.isEmpty());
}

void TestGatewayCore::queueMessageSetsTheCounters()
{
    start();
    core->Modem()->PartsSent = 9; // left over from a typed send
    core->Scheduler()->Submit({ QStringLiteral("13800000001,13800000002"), TwoParts, 5, 2 });
    QCOMPARE(core->Modem()->QueueMsgID, 5);
    QCOMPARE(core->Modem()->PartsTotal, 4);
    QCOMPARE(core->Modem()->PartsSent, 0);
    f->modem->Flush();
    QCOMPARE(core->Modem()->PartsSent, 4);
}

void TestGatewayCore::sentPartIsRecorded_data()
{
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("storedText");
    QTest::newRow("reference with a blank") << " 7"
                                            << "abc" << true << "abc";
    QTest::newRow("single quote kept, double quote replaced")
        << "8"
        << "it's \"ok\"" << true << QStringLiteral("it's “ok“");
    QTest::newRow("reference not a number") << "x1"
                                            << "abc" << false << "";
    QTest::newRow("empty reference") << ""
                                     << "abc" << false << "";
}

void TestGatewayCore::sentPartIsRecorded()
{
    QFETCH(QString, reference);
    QFETCH(QString, text);
    QFETCH(bool, stored);
    QFETCH(QString, storedText);
    start(false);
    QStringList sent;
    connect(core.get(), &TGatewayCore::LogSent, this, [&](const QString &t) { sent << t; });
    const QDateTime when(QDate(2024, 5, 6), QTime(7, 8, 9));
    core->SendOKSMS(nullptr, reference, QStringLiteral("8613800100500"),
        QStringLiteral("13800000001"), text, when);
    QCOMPARE(sent,
        QStringList { QStringLiteral("2024-05-06 07:08:09  发给\n13800000001的短信：\n") + text });
    TStoreQuery q(*core->Store());
    QVERIFY(q.open(QStringLiteral("SELECT * FROM SM_TO_SP_RC")));
    QCOMPARE(!q.atEnd(), stored);
    if (stored) {
        QCOMPARE(q.intField(QStringLiteral("MS_ID")), reference.trimmed().toLongLong());
        QCOMPARE(q.textField(QStringLiteral("TP_CS")), QStringLiteral("8613800100500"));
        QCOMPARE(q.textField(QStringLiteral("TP_UD")), storedText);
        QCOMPARE(q.textField(QStringLiteral("TP_DT")), QStringLiteral("2024-05-06 07:08:09"));
        QVERIFY(errors.isEmpty());
    } else {
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors[0].startsWith(QStringLiteral("数据库操作出错！\nINSERT INTO SM_TO_SP_RC")));
        QVERIFY(errors[0].contains(QStringLiteral("VALUES(") + reference + u','));
    }
}

void TestGatewayCore::errMonitorFreesTheModem()
{
    start();
    TSMSPDUproc *m = core->Modem();
    m->CmdState = TSMSPDUproc::csSendBody;
    m->PartsSent = 2;
    m->PartsTotal = 4;
    m->QueueMsgID = 3;
    int queueAtFailure = -1;
    connect(core.get(), &TGatewayCore::SendFailure, this, [&] { queueAtFailure = m->QueueMsgID; });
    core->ErrMonitor(m, QStringLiteral("\n"));
    QVERIFY(errors.isEmpty());
    QCOMPARE(m->CmdState, quint8(TSMSPDUproc::csSendBody));
    core->ErrMonitor(m, QStringLiteral("AT+CMGS_2\n发送错误\r"));
    QCOMPARE(errors.size(), 1);
    QVERIFY(errors[0].endsWith(QStringLiteral(" AT+CMGS_2发送错误\r(2/4)")));
    QCOMPARE(queueAtFailure, 3); // the queue's failure step still sees its message
    QCOMPARE(m->CmdState, quint8(0));
    QCOMPARE(m->PartsSent + m->PartsTotal + m->QueueMsgID, 0);
}

void TestGatewayCore::portFromTheCommandLine()
{
    f->WriteConfig("COM=0\n");
    TGatewayCore::TOptions o = f->Options();
    o.extraPort = QStringLiteral("/dev/pts/77");
    core = std::make_unique<TGatewayCore>(o);
    QVERIFY(core->FormCreate());
    QCOMPARE(core->Ports().last(), o.extraPort);
    QCOMPARE(core->Settings().COM, int(core->Ports().size() - 1));
    QVERIFY(core->btnSetClick(core->Settings()));
    QCOMPARE(f->modem->lastName, o.extraPort);
    QVERIFY(f->ConfigText().contains("COM=0")); // chosen for this run only
}

void TestGatewayCore::headlessRunsAndStopsOnSigterm()
{
    std::FILE *out = std::tmpfile();
    QVERIFY(out);
    THeadlessGateway gateway(f->Options(), out);
    QSignalSpy stopped(&gateway, &THeadlessGateway::Stopped);
    QVERIFY(gateway.Start());
    QVERIFY(gateway.Core()->Modem()->Active());
    f->SwitchOn();
    gateway.Core()->SendToRecipients(QStringLiteral("13800000001"), QStringLiteral("hi"));
    f->modem->Flush();
    gateway.CatchSignals();
    std::raise(SIGTERM);
    QTRY_COMPARE(stopped.size(), 1);
    QVERIFY(!gateway.Core()->Modem());
    QVERIFY(f->ConfigText().contains("AutoPlay=1"));

    std::rewind(out);
    QByteArray text;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, out)) > 0;)
        text.append(buffer, qsizetype(n));
    std::fclose(out);
    const QString log = QString::fromUtf8(text);
    QVERIFY2(log.contains(QStringLiteral("[发收内容] 系统开始正常运行！")), qPrintable(log));
    QVERIFY(log.contains(QStringLiteral("[发送内容] 13800000001的短信：")));
    QVERIFY(log.contains(QStringLiteral("[发送内容] hi")));
    QVERIFY(log.contains(QStringLiteral("[发送进度] 已确认 1/1 条")));
}

QTEST_MAIN(TestGatewayCore)
#include "tst_gateway_core.moc"
