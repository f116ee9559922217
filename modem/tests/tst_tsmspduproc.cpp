#include "FakeTransport.h"
#include "ManualTimer.h"
#include "TSMSPDUproc.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {

// 你好 from 86123 through centre 86123, 2024-05-01 12:34:56.
const QByteArray HelloPdu = "04916821F30405916821F3000842501021436523044F60597D";

QByteArray cmgr(const QByteArray &pdu)
{
    return "\r\n+CMGR: 0,,24\r\n" + pdu + "\r\n\r\nOK\r\n";
}

struct TReceived
{
    QString smsc, phone, info;
    QDateTime time;
};

// The component on a fake port with hand-fired timers, and everything it reports.
class TRig
{
public:
    TRig()
    {
        modem.setCommName(QStringLiteral("ttyUSB0"));
        modem.setCNMI(QStringLiteral("2,1,0,0,0"));
        modem.setSMSC(QStringLiteral("8613800100500"));
        QObject::connect(&modem, &TSMSPDUproc::OnError, &modem,
                         [this](QObject *, const QString &t) { errors << t; });
        QObject::connect(&modem, &TSMSPDUproc::OnRevMonitor, &modem,
                         [this](QObject *, const QString &t) { rev << t; });
        QObject::connect(&modem, &TSMSPDUproc::OnReceiveSMS, &modem,
                         [this](QObject *, const QString &c, const QString &p, const QString &i,
                                const QDateTime &t) {
                             received.append({c, p, i, t});
                             stateDuringReceive = modem.CmdState;
                             if (refuse)
                                 modem.RejectReceivedSMS();
                         });
        QObject::connect(&modem, &TSMSPDUproc::OnSendOKSMS, &modem,
                         [this](QObject *, const QString &id, const QString &, const QString &p,
                                const QString &i, const QDateTime &) {
                             sentIds << id;
                             sentTo << p;
                             sentTexts << i;
                             partsAtConfirm = modem.PartsSent;
                         });
        QObject::connect(&modem, &TSMSPDUproc::OnTransmitMonitor, &modem,
                         [this](QObject *, const QString &s, const QString &p, const QString &i) {
                             forwards << (s + u'|' + p + u'|' + i);
                         });
        QObject::connect(&modem, &TSMSPDUproc::OnRingMonitor, &modem,
                         [this](QObject *, const QString &i, TSpeechState s) { rings.append({i, s}); });
        QObject::connect(&modem, &TSMSPDUproc::ModemFree, &modem, [this] { ++freeCount; });
    }

    TManualTimer *watchdog() const { return timers.byInterval(100, 0); }
    TManualTimer *pause() const { return timers.byInterval(100, 1); }
    TManualTimer *readTimer() const { return timers.byInterval(2000); }
    TManualTimer *reconnect() const { return timers.byInterval(1000); }

    // Active := true and the whole switch-on dialogue, with `listing` as the reply to AT+CMGL.
    void switchOn(const QByteArray &listing = "\r\nOK\r\n")
    {
        modem.setActive(true);
        QVERIFY(pause()->fire());
        QCOMPARE(fake.last(), QByteArray("AT+CMGL=4\r"));
        fake.feed(listing);
        QCOMPARE(fake.last(), QByteArray("ate\r"));
        fake.feed("\r\nOK\r\n");
        QCOMPARE(fake.last(), QByteArray("at+cmgf=0\r"));
        fake.feed("\r\nOK\r\n");
        QCOMPARE(fake.last(), QByteArray("at+cnmi=2,1,0,0,0\r"));
        fake.feed("\r\nOK\r\n");
        QVERIFY(modem.LinkReady());
    }

    void tickWatchdog(int ticks)
    {
        for (int i = 0; i < ticks; ++i)
            watchdog()->fire();
    }

    TManualTimers timers;
    TFakeTransport fake;
    TSMSPDUproc modem{nullptr, timers.factory(), FakeFactory(&fake)};
    QStringList errors, rev, sentIds, sentTo, sentTexts, forwards;
    QList<TReceived> received;
    QList<QPair<QString, TSpeechState>> rings;
    quint8 stateDuringReceive = 0;
    int partsAtConfirm = -1;
    int freeCount = 0;
    bool refuse = false;
};

QJsonArray transcripts()
{
    QFile f(QStringLiteral(LUMETRA_TESTDATA_DIR "/modem_transcripts.json"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).array();
}

QByteArray transcript(const QString &id)
{
    for (const auto &v : transcripts()) {
        if (v.toObject().value(u"id").toString() == id)
            return v.toObject().value(u"raw").toString().toLatin1();
    }
    return {};
}

// The received (stat 0 or 1) indices a capture's listing holds, as its expectation says.
QStringList listedIndices(const QString &id)
{
    QStringList out;
    for (const auto &v : transcripts()) {
        const QJsonObject t = v.toObject();
        if (t.value(u"id").toString() != id)
            continue;
        for (const auto &e : t.value(u"expected").toObject().value(u"cmgl").toArray()) {
            if (e.toObject().value(u"stat").toInt() <= 1)
                out << QString::number(e.toObject().value(u"index").toInt());
        }
    }
    return out;
}

} // namespace

class TestTSMSPDUproc : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void propertyWrites_data();
    void propertyWrites();
    void defaultsAndPassiveReads();
    void portThatCannotOpen();
    void switchOnReadsListedMessagesAndDeletes();
    void listingLayouts_data();
    void listingLayouts();
    void sendConfirmed_data();
    void sendConfirmed();
    void sendRefusedAndGivenUp();
    void cmsErrorEndsOperation();
    void watchdogRetriesThenGivesUp();
    void unansweredEchoDropsInitialisation();
    void newMessageIndications_data();
    void newMessageIndications();
    void readReplyLayouts_data();
    void readReplyLayouts();
    void readRefusedByModem();
    void rejectedMessageStaysOnSim();
    void undecodableMessageIsSkipped();
    void failedDeleteClearsReading();
    void routedMessageIsReported();
    void forwardRequests_data();
    void forwardRequests();
    void incomingCalls_data();
    void incomingCalls();
    void signalQuality();
    void vanishedPortComesBack();
};

void TestTSMSPDUproc::propertyWrites_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("error");
    QTest::newRow("smsc gets 86") << "SMSC" << "123" << "86123" << "";
    QTest::newRow("smsc with 86 kept") << "SMSC" << "86123" << "86123" << "";
    QTest::newRow("smsc plus") << "SMSC" << "+86123" << "" << "短消息中心号码不正确，必须为数字！";
    QTest::newRow("smsc empty") << "SMSC" << "" << "" << "短消息中心号码无效";
    QTest::newRow("da kept") << "TP_DA" << "123" << "123" << "";
    QTest::newRow("da letter") << "TP_DA" << "1a3" << "" << "目标号码不正确，必须为数字！";
    QTest::newRow("da empty") << "TP_DA" << "" << "" << "目标号码无效";
}

void TestTSMSPDUproc::propertyWrites()
{
    QFETCH(QString, property);
    QFETCH(QString, value);
    QFETCH(QString, stored);
    QFETCH(QString, error);
    TRig rig;
    QString raised;
    try {
        if (property == u"SMSC")
            rig.modem.setSMSC(value);
        else
            rig.modem.setTP_DA(value);
    } catch (const EModemError &e) {
        raised = e.Message();
    }
    QCOMPARE(raised, error);
    if (error.isEmpty())
        QCOMPARE(property == u"SMSC" ? rig.modem.SMSC() : rig.modem.TP_DA(), stored);
}

void TestTSMSPDUproc::defaultsAndPassiveReads()
{
    TRig rig;
    QCOMPARE(rig.modem.TextSize(), 68);
    rig.modem.setTP_DCS(td8_Bit);
    QCOMPARE(rig.modem.TextSize(), 68);
    rig.modem.setTP_DCS(td7_Bit);
    QCOMPARE(rig.modem.TextSize(), 158);
    QCOMPARE(rig.modem.ReSend(), 3);
    QVERIFY(rig.modem.UseTransmit() && rig.modem.AutoReceive() && rig.modem.DelAfterRev());
    QCOMPARE(rig.modem.ByteSize(), _5);

    rig.modem.setBaudRate(115200); // inactive: stored, port not opened
    QCOMPARE(rig.modem.BaudRate(), 115200u);
    QCOMPARE(rig.fake.openCount, 0);
    QCOMPARE(rig.modem.SMCSQ(), 0);
    QVERIFY(rig.fake.writes.isEmpty());
    QVERIFY(rig.modem.CommList().endsWith(TSMSPDUproc::SimulatorPortName()));
}

void TestTSMSPDUproc::portThatCannotOpen()
{
    TRig rig;
    rig.fake.openSucceeds = false;
    rig.modem.setCommName(QStringLiteral("COM9"));
    rig.modem.setActive(true);
    QCOMPARE(rig.errors, QStringList{QStringLiteral("串口：COM9 无法打开!")});
    QVERIFY(rig.modem.Active());
    QVERIFY(rig.fake.writes.isEmpty());
    QVERIFY(rig.rev.isEmpty());
    QVERIFY(!rig.pause()->isActive());
}

void TestTSMSPDUproc::switchOnReadsListedMessagesAndDeletes()
{
    TRig rig;
    // Echo is still on during the listing; index 0 is a real index; stat 2 is a sent message.
    rig.switchOn("AT+CMGL=4\r\r\n+CMGL: 0,1,,24\r\n" + HelloPdu + "\r\n+CMGL: 4,2,,24\r\n"
                 + HelloPdu + "\r\n+CMGL: 7,0,,24\r\n" + HelloPdu + "\r\n\r\nOK\r\n");
    QCOMPARE(rig.rev, QStringList{QStringLiteral("系统开始正常运行！")});
    // Reading starts as soon as the modem is free.
    QCOMPARE(rig.fake.last(), QByteArray("at+cmgr=0\r"));
    QCOMPARE(rig.modem.CmdState, quint8(6));
    rig.fake.feed(cmgr(HelloPdu));
    QCOMPARE(rig.received.size(), 1);
    QCOMPARE(rig.stateDuringReceive, quint8(6));
    const TReceived &m = rig.received.first();
    QCOMPARE(m.smsc, QString("86123"));
    QCOMPARE(m.phone, QString("86123"));
    QCOMPARE(m.info, QStringLiteral("你好"));
    QCOMPARE(m.time, QDateTime(QDate(2024, 5, 1), QTime(12, 34, 56)));
    QCOMPARE(rig.fake.last(), QByteArray("at+cmgd=0\r"));
    QVERIFY(rig.modem.Reading());
    rig.fake.feed("\r\nOK\r\n");
    QVERIFY(!rig.modem.Reading());
    QCOMPARE(rig.fake.last(), QByteArray("at+cmgr=7\r"));
    rig.fake.feed(cmgr(HelloPdu));
    rig.fake.feed("\r\nOK\r\n");
    QCOMPARE(rig.received.size(), 2);
    QVERIFY(rig.modem.PendingList().isEmpty());
    QCOMPARE(rig.modem.CmdState, quint8(0));
    QVERIFY(rig.freeCount > 0);
}

void TestTSMSPDUproc::listingLayouts_data()
{
    QTest::addColumn<QByteArray>("listing");
    QTest::addColumn<QStringList>("pending");
    QTest::newRow("stat 3 is not received")
        << QByteArray("\r\n+CMGL: 1,1,,24\r\n" + HelloPdu + "\r\n+CMGL: 2,3,,20\r\nAB\r\n\r\nOK\r\n")
        << QStringList{"1"};
    QTest::newRow("real listing, echo off") << transcript("T001") << listedIndices("T001");
    QTest::newRow("no final result") << transcript("T004") << listedIndices("T004");
    QTest::newRow("no blank after colon") << transcript("T007") << QStringList{"1"};
    QTest::newRow("alpha field quoted")
        << QByteArray("+CMGL: 5,0,\"Alice, Bob\",24\r\n" + HelloPdu + "\r\nOK\r\n")
        << QStringList{"5"};
    QTest::newRow("garbage header") << QByteArray("+CMGL: x,0,,24\r\n+CMGL: 3\r\nOK\r\n")
                                    << QStringList{};
}

void TestTSMSPDUproc::listingLayouts()
{
    QFETCH(QByteArray, listing);
    QFETCH(QStringList, pending);
    QVERIFY(!listing.isEmpty());
    TRig rig;
    rig.modem.setActive(true);
    rig.pause()->fire();
    rig.fake.feed(listing);
    rig.fake.feed(listing); // the same listing twice adds nothing
    QCOMPARE(rig.modem.PendingList(), pending);
}

void TestTSMSPDUproc::sendConfirmed_data()
{
    QTest::addColumn<QByteArray>("confirmation");
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QStringList>("pending");
    QTest::newRow("plain") << QByteArray("\r\n+CMGS: 12\r\n\r\nOK\r\n") << " 12" << QStringList{};
    QTest::newRow("with an indication")
        << QByteArray("\r\n+CMGS: 12\r\n\r\nOK\r\n\r\n+CMTI: \"SM\",3\r\n") << "12"
        << QStringList{"3"};
    QTest::newRow("pdu echoed first") << transcript("T025") << " 73" << QStringList{};
    QTest::newRow("cr only, no blank") << transcript("T028") << "123" << QStringList{};
}

void TestTSMSPDUproc::sendConfirmed()
{
    QFETCH(QByteArray, confirmation);
    QFETCH(QString, reference);
    QFETCH(QStringList, pending);
    TRig rig;
    rig.switchOn();
    rig.fake.take();
    rig.modem.setSMSC(QStringLiteral("86123"));
    rig.modem.SendSMS(QStringLiteral("123"), QStringLiteral("abc"));
    QCOMPARE(rig.modem.CmdState, quint8(4));
    QCOMPARE(rig.fake.last(), QByteArray("at+cmgs=016\r"));
    rig.fake.feed("\r\n> ");
    QCOMPARE(rig.fake.last(), QByteArray("04916821F31100038121F300080006006100620063\x1A"));
    QCOMPARE(rig.modem.CmdState, quint8(5));
    rig.fake.feed(confirmation);
    QCOMPARE(rig.sentIds, QStringList{reference});
    QCOMPARE(rig.sentTo, QStringList{"123"});
    QCOMPARE(rig.sentTexts, QStringList{"abc"});
    QCOMPARE(rig.partsAtConfirm, 1);
    QCOMPARE(rig.modem.PendingList(), pending);
    if (pending.isEmpty())
        QCOMPARE(rig.modem.CmdState, quint8(0));
    else // the indicated message is read at once
        QCOMPARE(rig.fake.last(), QByteArray("at+cmgr=3\r"));
}

void TestTSMSPDUproc::sendRefusedAndGivenUp()
{
    TRig rig;
    rig.switchOn();
    rig.modem.SendSMS(QStringLiteral("13800138000"), QStringLiteral("x"));
    const QByteArray head = rig.fake.last();
    rig.fake.feed("\r\nERROR\r\n");
    rig.fake.feed("\r\nERROR\r\n");
    QCOMPARE(rig.fake.writes.count(head), 3);
    QVERIFY(rig.errors.isEmpty());
    rig.fake.feed("\r\nERROR\r\n");
    QCOMPARE(rig.errors, QStringList{"AT+CMGS_1发送错误"});
    QCOMPARE(rig.modem.CmdState, quint8(0));
    QCOMPARE(rig.fake.writes.count(head), 3);

    // The body: a refusal writes the PDU alone again, never a new "at+cmgs=".
    rig.errors.clear();
    rig.modem.SendSMS(QStringLiteral("13800138000"), QStringLiteral("x"));
    rig.fake.feed("\r\n> ");
    const QByteArray body = rig.fake.last();
    rig.fake.feed("\r\nERROR\r\n");
    QCOMPARE(rig.fake.last(), body);
    rig.fake.feed("\r\nERROR\r\n");
    rig.fake.feed("\r\nERROR\r\n");
    QCOMPARE(rig.errors, QStringList{"AT+CMGS_2发送错误"});
    QCOMPARE(rig.fake.writes.count(body), 3);
    QCOMPARE(rig.modem.PartsSent, 0);
}

void TestTSMSPDUproc::cmsErrorEndsOperation()
{
    TRig rig;
    rig.switchOn();
    rig.modem.QueueMsgID = 42;
    rig.modem.SendSMS(QStringLiteral("13800138000"), QStringLiteral("x"));
    rig.fake.feed("\r\n> ");
    rig.fake.feed("\r\n+CMS ERROR: 38\r\n");
    QCOMPARE(rig.errors, (QStringList{"AT+CMGS_2发送错误", "第42号短信发送失败！"}));
    QCOMPARE(rig.modem.CmdState, quint8(0));
    QVERIFY(!rig.watchdog()->isActive());

    rig.errors.clear();
    rig.modem.SendSMS(QStringLiteral("13800138000"), QStringLiteral("x"));
    rig.fake.feed("\r\n+CMS ERROR: 21\r\n");
    QCOMPARE(rig.errors, (QStringList{"欠费停机", "第42号短信发送失败！"}));
}

void TestTSMSPDUproc::watchdogRetriesThenGivesUp()
{
    TRig rig;
    rig.switchOn();
    rig.fake.take();
    rig.modem.SendSMS(QStringLiteral("13800138000"), QStringLiteral("x"));
    QCOMPARE(rig.fake.writes.size(), 1);
    rig.tickWatchdog(60);
    QCOMPARE(rig.fake.writes.size(), 1);
    rig.tickWatchdog(1); // about 6.1 s
    QCOMPARE(rig.fake.writes.size(), 2);
    rig.tickWatchdog(61); // about 12.2 s
    QCOMPARE(rig.fake.writes.size(), 3);
    QVERIFY(rig.errors.isEmpty());
    rig.tickWatchdog(61); // about 18.3 s
    QCOMPARE(rig.fake.writes.size(), 3);
    QCOMPARE(rig.errors, QStringList{"AT+CMGS_1发送错误"});
    // The watchdog leaves the state to the owner.
    QCOMPARE(rig.modem.CmdState, quint8(4));
}

void TestTSMSPDUproc::unansweredEchoDropsInitialisation()
{
    TRig rig;
    rig.modem.setActive(true);
    rig.pause()->fire();
    rig.fake.feed("\r\nOK\r\n");
    QCOMPARE(rig.fake.last(), QByteArray("ate\r"));
    rig.tickWatchdog(61);
    QCOMPARE(rig.fake.writes.count("ate\r"), 2);
    QCOMPARE(rig.modem.CmdState, quint8(0));
    QCOMPARE(rig.modem.TryCount(), 0);
}

void TestTSMSPDUproc::newMessageIndications_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<bool>("autoReceive");
    QTest::addColumn<QStringList>("pending");
    QTest::newRow("one") << QByteArray("\r\n+CMTI: \"SM\",3\r\n") << true << QStringList{"3"};
    QTest::newRow("auto receive off") << QByteArray("\r\n+CMTI: \"SM\",3\r\n") << false
                                      << QStringList{};
    QTest::newRow("index 0, other storage") << transcript("T037") << true << QStringList{"0"};
    QByteArray burst;
    QStringList all;
    for (int i = 1; i <= 20; ++i) {
        burst += "\r\n+CMTI: \"SM\"," + QByteArray::number(i) + "\r\n";
        all << QString::number(i);
    }
    QTest::newRow("burst in one block") << burst << true << all;
    QTest::newRow("repeated index") << QByteArray("+CMTI: \"SM\",2\r\n+CMTI: \"SM\",2\r\n") << true
                                    << QStringList{"2"};
    QTest::newRow("status report indication") << transcript("T013") << true << QStringList{};
}

void TestTSMSPDUproc::newMessageIndications()
{
    QFETCH(QByteArray, block);
    QFETCH(bool, autoReceive);
    QFETCH(QStringList, pending);
    TRig rig;
    rig.modem.setAutoReceive(autoReceive);
    rig.modem.setActive(true); // still switching on: nothing is read yet
    rig.fake.feed(block);
    QCOMPARE(rig.modem.PendingList(), pending);
    QCOMPARE(rig.readTimer()->isActive(), !pending.isEmpty());
}

void TestTSMSPDUproc::readReplyLayouts_data()
{
    QTest::addColumn<QByteArrayList>("blocks");
    QTest::addColumn<QString>("phone");
    const QByteArray t010 = transcript("T010");
    QTest::newRow("quoted alpha, OK in a later block") << QByteArrayList{t010, "\r\nOK\r\n"}
                                                       << "16122001127";
    QTest::newRow("echo on, LF only") << QByteArrayList{transcript("T016")} << "";
    QTest::newRow("empty stat") << QByteArrayList{transcript("T019")} << "9494";
    QTest::newRow("plain") << QByteArrayList{cmgr(HelloPdu)} << "86123";
}

void TestTSMSPDUproc::readReplyLayouts()
{
    QFETCH(QByteArrayList, blocks);
    QFETCH(QString, phone);
    TRig rig;
    rig.switchOn();
    rig.fake.feed("\r\n+CMTI: \"SM\",1\r\n");
    QCOMPARE(rig.fake.last(), QByteArray("at+cmgr=1\r"));
    for (const QByteArray &b : blocks)
        rig.fake.feed(b);
    // T016 holds a stored SMS-SUBMIT: not a received message, so it is not reported.
    QCOMPARE(rig.received.size(), phone.isEmpty() ? 0 : 1);
    if (!phone.isEmpty())
        QCOMPARE(rig.received.first().phone, phone);
    else // skipped at once, left on the SIM
        QVERIFY(rig.errors.isEmpty() && !rig.fake.writes.contains("at+cmgd=1\r"));
    QVERIFY(rig.modem.PendingList().isEmpty());
}

void TestTSMSPDUproc::readRefusedByModem()
{
    TRig rig;
    rig.switchOn();
    rig.fake.feed("\r\n+CMTI: \"SM\",1\r\n+CMTI: \"SM\",2\r\n");
    for (int i = 0; i < 3; ++i)
        rig.fake.feed("\r\nERROR\r\n");
    QCOMPARE(rig.errors, QStringList{"AT+CMGR发送错误（在侦测时）"});
    // The refused index is dropped, the next one is read.
    QCOMPARE(rig.modem.PendingList(), QStringList{"2"});
    QCOMPARE(rig.fake.last(), QByteArray("at+cmgr=2\r"));

    // An empty slot answers with a bare OK: dropped, nothing reported, nothing deleted.
    rig.fake.feed("\r\nOK\r\n");
    QVERIFY(rig.received.isEmpty());
    QVERIFY(rig.modem.PendingList().isEmpty());
    QVERIFY(!rig.fake.writes.contains("at+cmgd=2\r"));
    QCOMPARE(rig.modem.CmdState, quint8(0));
}

void TestTSMSPDUproc::rejectedMessageStaysOnSim()
{
    TRig rig;
    rig.modem.setUseTransmit(true);
    rig.modem.setTransmitSign(QStringLiteral("ZF"));
    rig.switchOn();
    rig.refuse = true;
    rig.fake.feed("\r\n+CMTI: \"SM\",5\r\n");
    rig.fake.feed(cmgr(HelloPdu));
    QCOMPARE(rig.received.size(), 1);
    QVERIFY(!rig.fake.writes.contains("at+cmgd=5\r"));
    QVERIFY(!rig.modem.Reading());
    // Read again while the owner keeps refusing, then skipped and left on the SIM.
    rig.fake.feed(cmgr(HelloPdu));
    rig.fake.feed(cmgr(HelloPdu));
    QCOMPARE(rig.received.size(), 3);
    QVERIFY(rig.modem.PendingList().isEmpty());
    QVERIFY(!rig.fake.writes.contains("at+cmgd=5\r"));
    QCOMPARE(rig.errors.size(), 1);
    QVERIFY(rig.errors.first().contains(u"跳过"));

    // Once the owner stores it, it is deleted.
    rig.refuse = false;
    rig.fake.feed("\r\n+CMTI: \"SM\",5\r\n");
    rig.fake.feed(cmgr(HelloPdu));
    QCOMPARE(rig.fake.last(), QByteArray("at+cmgd=5\r"));
}

void TestTSMSPDUproc::undecodableMessageIsSkipped()
{
    TRig rig;
    rig.switchOn();
    rig.fake.feed("\r\n+CMTI: \"SM\",1\r\n+CMTI: \"SM\",2\r\n");
    const QByteArray bad = cmgr("0004059168");
    rig.fake.feed(bad);
    QCOMPARE(rig.modem.CmdState, quint8(6)); // read again at once
    QCOMPARE(rig.fake.last(), QByteArray("at+cmgr=1\r"));
    rig.fake.feed(bad);
    rig.fake.feed(bad);
    QCOMPARE(rig.errors.size(), 1);
    QCOMPARE(rig.fake.last(), QByteArray("at+cmgr=2\r"));
    rig.fake.feed(cmgr(HelloPdu));
    QCOMPARE(rig.received.size(), 1);
    QVERIFY(!rig.fake.writes.contains("at+cmgd=1\r"));
}

void TestTSMSPDUproc::failedDeleteClearsReading()
{
    TRig rig;
    rig.switchOn();
    rig.fake.feed("\r\n+CMTI: \"SM\",1\r\n");
    rig.fake.feed(cmgr(HelloPdu));
    for (int i = 0; i < 3; ++i)
        rig.fake.feed("\r\nERROR\r\n");
    QCOMPARE(rig.errors, QStringList{"AT+CMGD发送错误"});
    QVERIFY(!rig.modem.Reading());
    QCOMPARE(rig.modem.ReadIndex(), int(TSMSPDUproc::NoIndex));
    // Calls are reported again.
    rig.modem.setUseATA(true);
    rig.fake.feed("\r\nRING\r\n");
    QCOMPARE(rig.rings.size(), 1);
}

void TestTSMSPDUproc::routedMessageIsReported()
{
    TRig rig;
    rig.switchOn();
    rig.fake.feed(transcript("T034"));
    QCOMPARE(rig.received.size(), 1);
    QCOMPARE(rig.received.first().info, QString("Test"));
    QCOMPARE(rig.modem.PendingList(), QStringList{"1"}); // the stored one is read at once
    QCOMPARE(rig.fake.last(), QByteArray("at+cmgr=1\r"));
}

void TestTSMSPDUproc::forwardRequests_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("useTransmit");
    QTest::addColumn<QString>("forward");
    QTest::newRow("blank after colon") << "ZF: 123,456#hi" << true << "86123|123,456|hi";
    QTest::newRow("exact case keeps the first digit") << "ZF:123#hi" << true << "86123|123|hi";
    QTest::newRow("other case") << "zf:123#hi" << true << "86123|123|hi";
    QTest::newRow("one digit") << "ZF:1#hi" << true << "86123|1|hi";
    QTest::newRow("no numbers") << "ZF:#hi" << true << "";
    QTest::newRow("no hash") << "ZF:123" << true << "";
    QTest::newRow("not a request") << "hello ZF:1#x" << true << "";
    QTest::newRow("switched off") << "ZF:123#hi" << false << "";
}

void TestTSMSPDUproc::forwardRequests()
{
    QFETCH(QString, text);
    QFETCH(bool, useTransmit);
    QFETCH(QString, forward);
    TRig rig;
    rig.modem.setUseTransmit(useTransmit);
    rig.modem.setTransmitSign(QStringLiteral("ZF"));
    rig.modem.setSMSC(QStringLiteral("86123"));
    rig.modem.setTP_DCS(tdUCS2);
    // A DELIVER made from our own SUBMIT build: swap the first octet and add a time stamp.
    rig.modem.SendSMS(QStringLiteral("86123"), text);
    QString pdu = rig.modem.LastPDU();
    // 04916821F3 | 11 00 | 05 91 6821F3 | 00 08 00 | UDL UD
    pdu = pdu.left(10) + QStringLiteral("04") + pdu.mid(14, 10) + QStringLiteral("0008")
        + QStringLiteral("42501021436523") + pdu.mid(30);
    rig.modem.DecodeDeliver(pdu);
    QCOMPARE(rig.received.size(), 1);
    QCOMPARE(rig.received.first().info, text);
    QCOMPARE(rig.forwards, forward.isEmpty() ? QStringList{} : QStringList{forward});
}

void TestTSMSPDUproc::incomingCalls_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<bool>("useATA");
    QTest::addColumn<bool>("ringOK");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<int>("rings");
    QTest::newRow("hung up") << QByteArray("\r\nRING\r\n") << false << false << false
                             << QByteArray("ATH\r") << 0;
    QTest::newRow("reported") << QByteArray("\r\nRING\r\n") << true << false << false
                              << QByteArray() << 1;
    QTest::newRow("answered") << QByteArray("\r\nRING\r\n") << true << true << false
                              << QByteArray("ATA\r") << 1;
    QTest::newRow("ignored while sending") << QByteArray("\r\nRING\r\n") << false << false << true
                                           << QByteArray() << 0;
    QTest::newRow("extended ring after OK") << transcript("T031") << true << false << false
                                            << QByteArray() << 1;
    QTest::newRow("cr only with caller id") << transcript("T040") << false << false << false
                                            << QByteArray("ATH\r") << 0;
}

void TestTSMSPDUproc::incomingCalls()
{
    QFETCH(QByteArray, block);
    QFETCH(bool, useATA);
    QFETCH(bool, ringOK);
    QFETCH(bool, busy);
    QFETCH(QByteArray, written);
    QFETCH(int, rings);
    TRig rig;
    rig.switchOn();
    rig.modem.setUseATA(useATA);
    rig.modem.setRingOK(ringOK);
    rig.rings.clear();
    if (busy)
        rig.modem.SendSMS(QStringLiteral("13800138000"), QStringLiteral("x"));
    rig.fake.take();
    rig.fake.feed(block);
    QCOMPARE(rig.fake.writes, written.isEmpty() ? QByteArrayList{} : QByteArrayList{written});
    QCOMPARE(rig.rings.size(), rings);
    if (rings)
        QCOMPARE(rig.rings.first().second, RING);
}

void TestTSMSPDUproc::signalQuality()
{
    TRig rig;
    rig.switchOn();
    QSignalSpy quality(&rig.modem, &TSMSPDUproc::SignalQuality);
    QCOMPARE(rig.modem.SMCSQ(), 0);
    QCOMPARE(rig.fake.last(), QByteArray("AT+CSQ\r"));
    QVERIFY(!rig.modem.LinkReady()); // nothing is sent while the answer is awaited
    rig.fake.feed("\r\n+CSQ: 18,99\r\n\r\nOK\r\n");
    QCOMPARE(rig.modem.CSQValue(), 18);
    QCOMPARE(quality.size(), 1);
    QCOMPARE(rig.modem.SMCSQ(), 18);
    rig.fake.feed("\r\nOK\r\n");
    QCOMPARE(rig.modem.CSQValue(), 0);

    // A modem that never answers: the request times out instead of waiting for ever.
    rig.fake.take();
    rig.modem.SMCSQ();
    QVERIFY(rig.timers.byInterval(3000)->fire());
    QCOMPARE(quality.last().first().toInt(), 0);
    QVERIFY(rig.modem.LinkReady());

    // RingOK := false hangs up and reports, even with no call.
    rig.fake.take();
    rig.rings.clear();
    rig.modem.setRingOK(false);
    QCOMPARE(rig.fake.writes, QByteArrayList{"ATH\r"});
    QCOMPARE(rig.rings.first().second, HANDDOWN);
}

void TestTSMSPDUproc::vanishedPortComesBack()
{
    TRig rig;
    rig.switchOn();
    rig.modem.SendSMS(QStringLiteral("13800138000"), QStringLiteral("x"));
    QSignalSpy link(&rig.modem, &TSMSPDUproc::LinkStateChanged);
    rig.fake.unplug();
    QCOMPARE(rig.errors, QStringList{"串口：ttyUSB0 连接已断开"});
    QCOMPARE(rig.modem.CmdState, quint8(0));
    QVERIFY(!rig.modem.LinkReady());
    QCOMPARE(link.size(), 1);
    rig.fake.unplug(); // reported once
    QCOMPARE(rig.errors.size(), 1);

    const int opens = rig.fake.openCount;
    rig.reconnect()->fire(); // still gone
    QCOMPARE(rig.fake.openCount, opens + 1);
    QVERIFY(!rig.modem.LinkReady());

    rig.fake.openSucceeds = true;
    rig.fake.take();
    rig.reconnect()->fire();
    QVERIFY(!rig.reconnect()->isActive());
    QVERIFY(rig.rev.last().contains(u"已重新连接"));
    // Switched on again: listing and initialisation.
    rig.pause()->fire();
    QCOMPARE(rig.fake.last(), QByteArray("AT+CMGL=4\r"));
    rig.fake.feed("\r\nOK\r\n");
    rig.fake.feed("\r\nOK\r\n");
    rig.fake.feed("\r\nOK\r\n");
    rig.fake.feed("\r\nOK\r\n");
    QVERIFY(rig.modem.LinkReady());
    QCOMPARE(link.last().first().toBool(), true);
}

QTEST_GUILESS_MAIN(TestTSMSPDUproc)
#include "tst_tsmspduproc.moc"
