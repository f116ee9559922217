// The outgoing queue and the incoming side on the core: rows sent and moved to SM_TO_SP_OK or
// SM_TO_SP_FR, rows that cannot be sent, received messages stored (or kept on the modem),
// forward requests turned into rows, calls.

#include "DeliverPdu.h"
#include "GatewayFixture.h"
#include "IncomingHandler.h"
#include "OutgoingQueue.h"
#include "SoundPlayer.h"
#include "TMessageStore.h"
#include "TStoreQuery.h"

#include <QSignalSpy>
#include <QTest>

using namespace Gateway;

namespace {

struct TRecordingSounds final : ISoundPlayer {
    void Play(const QString &path) override { played << path; }
    QStringList played;
};

// Decoded texts of the PDUs written, in order.
QStringList sentTexts(const TAnsweringModem &modem)
{
    QStringList texts;
    for (const QByteArray &w : modem.writes) {
        if (w.endsWith('\x1A')) {
            const Pdu::TDecodeResult r = Pdu::Decode(QString::fromLatin1(w.chopped(1)));
            texts << (r.ok() ? r.pdu->text : QStringLiteral("?"));
        }
    }
    return texts;
}

// 150 characters of the GB2312 range, each counted one: parts of 68, 68 and 14.
QString text150()
{
    const QString pool = QStringLiteral("短信网关发送中文内容测试成功欢迎使用本系统谢谢您的支持");
    QString t;
    for (int i = 0; i < 150; ++i)
        t += pool[(7 * i) % pool.size()];
    return t;
}

using TRows = QList<QStringList>;

} // namespace

class TestGatewayQueue : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void longRowCompletesWithItsPartCount();
    void rowForTwoNumbersCompletesOnce();
    void refusedBodyMovesTheRowToFailed();
    void otherFailureSendsTheRowAgainFromItsFirstPart();
    void rowsThatCannotBeSentDoNotBlock();
    void typedSendAndQueueRowDoNotOverlap();
    void emptyQueueSendsNothing();
    void receivedMessageIsStored_data();
    void receivedMessageIsStored();
    void failedInsertLeavesTheMessageOnTheModem();
    void forwardRequestQueuesOneRowPerNumber();
    void storedPiecesMakeTheForwardedText();
    void ringEnablesTheAnswerButton();

private:
    void start(const QByteArray &config = {});
    TRows rows(const QString &statement) const;
    void insertRow(const QVariant &msId, const QString &number, const QString &text) const;
    // The modem holds `sim` (index -> PDU), confirms sends, records deletions.
    void serveSim();

    std::unique_ptr<TGatewayFixture> f;
    std::unique_ptr<TGatewayCore> core;
    TRecordingSounds sounds;
    QStringList errors, traffic, received;
    QMap<int, QByteArray> sim;
    QList<int> deleted;
    std::function<QByteArray(const QByteArray &)> bodyAnswer; // overrides the PDU reply
    int reference = 0;
};

void TestGatewayQueue::init()
{
    f = std::make_unique<TGatewayFixture>();
    errors.clear();
    traffic.clear();
    received.clear();
    sounds.played.clear();
    sim.clear();
    deleted.clear();
    bodyAnswer = nullptr;
    reference = 0;
}

void TestGatewayQueue::cleanup()
{
    core.reset();
    f.reset();
}

void TestGatewayQueue::serveSim()
{
    f->modem->answer = [this](const QByteArray &w) -> QByteArray {
        if (w.startsWith("at+cmgr=")) {
            const int index = w.mid(8).trimmed().toInt();
            return sim.contains(index) ? CmgrReply(sim.value(index)) : "\r\nOK\r\n";
        }
        if (w.startsWith("at+cmgd=")) {
            const int index = w.mid(8).trimmed().toInt();
            deleted << index;
            sim.remove(index);
            return "\r\nOK\r\n";
        }
        if (w.endsWith('\x1A') && bodyAnswer) {
            const QByteArray reply = bodyAnswer(w);
            if (!reply.isEmpty())
                return reply;
        }
        return TAnsweringModem::Standard(w, reference);
    };
}

void TestGatewayQueue::start(const QByteArray &config)
{
    f->WriteConfig("ADel=1\n" + config); // delete after reading
    serveSim();
    TGatewayCore::TOptions o = f->Options();
    o.sounds = &sounds;
    core = std::make_unique<TGatewayCore>(o);
    connect(core.get(), &TGatewayCore::LogError, this, [this](const QString &t) { errors << t; });
    connect(
        core.get(), &TGatewayCore::LogTraffic, this, [this](const QString &t) { traffic << t; });
    connect(
        core.get(), &TGatewayCore::LogReceived, this, [this](const QString &t) { received << t; });
    QVERIFY(core->FormCreate());
    QVERIFY(core->btnSetClick(core->Settings()));
    f->SwitchOn();
    QVERIFY(core->Modem()->LinkReady());
    QVERIFY(core->Queue()->Running());
    f->modem->writes.clear();
    traffic.clear();
}

TRows TestGatewayQueue::rows(const QString &statement) const
{
    TStoreQuery q(*core->Store());
    TRows out;
    if (!q.open(statement))
        return { { QStringLiteral("query failed") } };
    for (; !q.atEnd(); q.next()) {
        QStringList row;
        for (const QString &name : statement.section(u' ', 1, 1).split(u','))
            row << q.textField(name);
        out << row;
    }
    return out;
}

void TestGatewayQueue::insertRow(
    const QVariant &msId, const QString &number, const QString &text) const
{
    QVERIFY(core->Store()->ExecCmdSQL(
        QStringLiteral("INSERT INTO SM_TO_SP (MS_ID,TP_DA,TP_UD) VALUES(?,?,?)"),
        { msId, number, text }));
}

void TestGatewayQueue::longRowCompletesWithItsPartCount()
{
    start();
    const QString text = text150();
    QCOMPARE(core->EnqueueMessage(QStringLiteral(" 13800000001 "), text + u' '), 1);
    f->modem->Flush();
    QCOMPARE(
        sentTexts(*f->modem), (QStringList { text.left(68), text.mid(68, 68), text.mid(136) }));
    QCOMPARE(rows(QStringLiteral("SELECT MS_ID FROM SM_TO_SP")), TRows());
    const TRows done =
        rows(QStringLiteral("SELECT MS_ID,TP_DA,TP_UD,TP_SN,TP_DT FROM SM_TO_SP_OK"));
    QCOMPARE(done.size(), 1);
    QCOMPARE(done[0].mid(0, 4), (QStringList { "1", "13800000001", text, "3" }));
    QVERIFY(QDateTime::fromString(done[0][4], QStringLiteral("yyyy-MM-dd HH:mm:ss")).isValid());
    QCOMPARE(rows(QStringLiteral("SELECT TP_UD FROM SM_TO_SP_RC")).size(), 3);
    const TSMSPDUproc *m = core->Modem();
    QCOMPARE(m->QueueMsgID + m->PartsTotal + m->PartsSent, 0);
    QVERIFY(errors.isEmpty());
}

void TestGatewayQueue::rowForTwoNumbersCompletesOnce()
{
    start();
    const QString text = QStringLiteral("两").repeated(70); // two parts
    core->EnqueueMessage(QStringLiteral("13800000001,13800000002"), text);
    core->EnqueueMessage(QStringLiteral("13800000003"), QStringLiteral("next"));
    f->modem->Flush();
    QCOMPARE(sentTexts(*f->modem).size(), 5);
    QCOMPARE(rows(QStringLiteral("SELECT MS_ID,TP_SN FROM SM_TO_SP_OK")),
        (TRows { { "1", "4" }, { "2", "1" } }));
    QCOMPARE(rows(QStringLiteral("SELECT MS_ID FROM SM_TO_SP")), TRows());
}

void TestGatewayQueue::refusedBodyMovesTheRowToFailed()
{
    start();
    const QString text = text150();
    bodyAnswer = [&](const QByteArray &w) -> QByteArray {
        const Pdu::TDecodeResult r = Pdu::Decode(QString::fromLatin1(w.chopped(1)));
        return r.ok() && r.pdu->text == text.mid(68, 68) ? "\r\n+CMS ERROR: 38\r\n" : "";
    };
    core->EnqueueMessage(QStringLiteral("13800000001"), text);
    core->EnqueueMessage(QStringLiteral("13800000002"), QStringLiteral("behind"));
    f->modem->Flush();
    QVERIFY2(!errors.isEmpty() && errors[0].contains(QStringLiteral("AT+CMGS_2发送错误(1/3)")),
        qPrintable(errors.join(u'|')));
    // The third part still goes out, then the row behind.
    QCOMPARE(sentTexts(*f->modem),
        (QStringList { text.left(68), text.mid(68, 68), text.mid(136), "behind" }));
    QCOMPARE(rows(QStringLiteral("SELECT MS_ID,TP_DA,TP_UD FROM SM_TO_SP_FR")),
        (TRows { { "1", "13800000001", text } }));
    QCOMPARE(rows(QStringLiteral("SELECT MS_ID,TP_SN FROM SM_TO_SP_OK")), (TRows { { "2", "1" } }));
    QCOMPARE(rows(QStringLiteral("SELECT MS_ID FROM SM_TO_SP")), TRows());
}

void TestGatewayQueue::otherFailureSendsTheRowAgainFromItsFirstPart()
{
    start();
    const QString text = text150();
    int failures = 0;
    bodyAnswer = [&](const QByteArray &w) -> QByteArray {
        const Pdu::TDecodeResult r = Pdu::Decode(QString::fromLatin1(w.chopped(1)));
        if (r.ok() && r.pdu->text == text.mid(68, 68) && failures < 1) {
            ++failures;
            return "\r\n+CMS ERROR: 500\r\n";
        }
        return "";
    };
    core->EnqueueMessage(QStringLiteral("13800000001"), text);
    f->modem->Flush();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].contains(QStringLiteral("第1号短信发送失败！")), qPrintable(errors[0]));
    const QStringList parts { text.left(68), text.mid(68, 68), text.mid(136) };
    QCOMPARE(sentTexts(*f->modem), parts + parts);
    QCOMPARE(rows(QStringLiteral("SELECT MS_ID,TP_SN FROM SM_TO_SP_OK")), (TRows { { "1", "3" } }));
    QCOMPARE(rows(QStringLiteral("SELECT MS_ID FROM SM_TO_SP_FR")), TRows());
}

void TestGatewayQueue::rowsThatCannotBeSentDoNotBlock()
{
    start();
    core->Queue()->Stop(); // rows put in by another program, seen on the next tick
    insertRow(0, QStringLiteral("13800000001"), QStringLiteral("no number of its own"));
    insertRow(QVariant(), QStringLiteral("13800000001"), QStringLiteral("no MS_ID at all"));
    insertRow(7, QString(), QStringLiteral("nobody"));
    insertRow(8, QStringLiteral("13800000002"), QStringLiteral(" \r\n"));
    insertRow(9, QStringLiteral("139+0001"), QStringLiteral("refused number"));
    insertRow(10, QStringLiteral("13800000003"), QStringLiteral("sent"));
    // A modem that never answers a part ("+CMS ERROR: 500" each time) gives up after its tries.
    insertRow(11, QStringLiteral("13800000004"), QStringLiteral("always fails"));
    insertRow(12, QStringLiteral("13800000005"), QStringLiteral("last"));
    bodyAnswer = [](const QByteArray &w) -> QByteArray {
        const Pdu::TDecodeResult r = Pdu::Decode(QString::fromLatin1(w.chopped(1)));
        return r.ok() && r.pdu->text == QStringLiteral("always fails") ? "\r\n+CMS ERROR: 500\r\n"
                                                                       : "";
    };
    core->Queue()->Start();
    f->modem->Flush();
    QCOMPARE(sentTexts(*f->modem),
        (QStringList { "sent", "always fails", "always fails", "always fails", "last" }));
    QCOMPARE(rows(QStringLiteral("SELECT MS_ID FROM SM_TO_SP_OK")), (TRows { { "10" }, { "12" } }));
    QCOMPARE(rows(QStringLiteral("SELECT MS_ID,TP_UD FROM SM_TO_SP_FR ORDER BY ID")),
        (TRows { { "0", "no number of its own" }, { "", "no MS_ID at all" }, { "7", "nobody" },
            { "8", "" }, { "9", "refused number" }, { "11", "always fails" } }));
    QCOMPARE(rows(QStringLiteral("SELECT MS_ID FROM SM_TO_SP")), TRows());
    const QStringList reasons = errors.filter(QStringLiteral("已移入发送失败的短信"));
    QCOMPARE(reasons.size(), 6);
    QVERIFY(reasons[2].contains(QStringLiteral("队列短信7无法发送（没有接收号码）")));
    QVERIFY(reasons[5].contains(QStringLiteral("发送3次未成功")));
}

void TestGatewayQueue::typedSendAndQueueRowDoNotOverlap()
{
    start();
    core->Modem()->PartsSent = 5; // left over from earlier sends: must not stall the queue
    core->SendToRecipients(QStringLiteral("13900000001"), QStringLiteral("typed"));
    core->EnqueueMessage(QStringLiteral("13800000001"), QStringLiteral("queued"));
    QCOMPARE(f->modem->Sends().size(), 1); // only the typed part is with the modem
    f->modem->Flush();
    QCOMPARE(sentTexts(*f->modem), (QStringList { "typed", "queued" }));
    QCOMPARE(rows(QStringLiteral("SELECT MS_ID,TP_SN FROM SM_TO_SP_OK")), (TRows { { "1", "1" } }));
}

void TestGatewayQueue::emptyQueueSendsNothing()
{
    start();
    TManualTimer *tick = f->timers.byInterval(TGatewayCore::SendInterval);
    QVERIFY(tick && tick->isActive());
    tick->fire();
    QVERIFY(f->modem->writes.isEmpty());
    QVERIFY(errors.isEmpty());
    // A row put in meanwhile by another program goes on the next tick.
    insertRow(1, QStringLiteral("13800000001"), QStringLiteral("polled"));
    QVERIFY(f->modem->Sends().isEmpty());
    tick->fire();
    f->modem->Flush();
    QCOMPARE(sentTexts(*f->modem), QStringList { "polled" });
}

void TestGatewayQueue::receivedMessageIsStored_data()
{
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("storedSender");
    QTest::addColumn<QString>("storedText");
    QTest::newRow("13 characters with 86") << "8613912345678"
                                           << "hello"
                                           << "13912345678"
                                           << "hello";
    QTest::newRow("11 digits without 86") << "13912345678"
                                          << "hello"
                                          << "13912345678"
                                          << "hello";
    QTest::newRow("86 twice loses one pair") << "868613912345"
                                             << "x"
                                             << "8613912345"
                                             << "x";
    QTest::newRow("quotes and emoji") << "13912345678" << QStringLiteral("it's \"ok\" 😀👍 中文")
                                      << "13912345678" << QStringLiteral("it's “ok“ 😀👍 中文");
}

void TestGatewayQueue::receivedMessageIsStored()
{
    QFETCH(QString, sender);
    QFETCH(QString, text);
    QFETCH(QString, storedSender);
    QFETCH(QString, storedText);
    start();
    sim.insert(3, DeliverPdu(sender, text));
    f->modem->Push("\r\n+CMTI: \"SM\",3\r\n");
    f->modem->Flush();
    QCOMPARE(rows(QStringLiteral("SELECT TP_CS,TP_DA,TP_UD,TP_DT FROM SP_TO_SM")),
        (TRows { { "8613800100500", storedSender, storedText, "2024-05-06 07:08:09" } }));
    QCOMPARE(received,
        QStringList { QStringLiteral("2024-05-06 07:08:09  接到\n") + storedSender
            + QStringLiteral("的短信：\n") + text });
    QCOMPARE(deleted, QList<int> { 3 });
    QCOMPARE(sounds.played, QStringList { f->dir.filePath(QStringLiteral("sms.wav")) });
    QVERIFY(errors.isEmpty());
}

void TestGatewayQueue::failedInsertLeavesTheMessageOnTheModem()
{
    start();
    QVERIFY(core->Store()->ExecCmdSQL(QStringLiteral(
        "CREATE TRIGGER full BEFORE INSERT ON SP_TO_SM BEGIN SELECT RAISE(ABORT,'full'); END")));
    sim.insert(4, DeliverPdu(QStringLiteral("13912345678"), QStringLiteral("keep me")));
    f->modem->Push("\r\n+CMTI: \"SM\",4\r\n");
    f->modem->Flush();
    QVERIFY(deleted.isEmpty());
    for (const QByteArray &w : f->modem->writes)
        QVERIFY2(!w.startsWith("at+cmgd"), w.constData());
    QVERIFY(!errors.isEmpty());
    QVERIFY(errors[0].startsWith(QStringLiteral("数据库操作出错！\nINSERT INTO SP_TO_SM")));
    // Read again while the modem is free, up to its limit, and left on the SIM each time.
    QCOMPARE(received.size(), TSMSPDUproc::MaxReadFailures);
    QCOMPARE(traffic.filter(QStringLiteral("已保留在SIM卡中")).size(), received.size());
    QVERIFY(sounds.played.size() <= received.size());

    // Once the store takes it again, the next read stores and deletes it.
    QVERIFY(core->Store()->ExecCmdSQL(QStringLiteral("DROP TRIGGER full")));
    f->modem->Push("\r\n+CMTI: \"SM\",4\r\n");
    f->modem->Flush();
    QCOMPARE(rows(QStringLiteral("SELECT TP_UD FROM SP_TO_SM")), (TRows { { "keep me" } }));
    QCOMPARE(deleted, QList<int> { 4 });
}

void TestGatewayQueue::forwardRequestQueuesOneRowPerNumber()
{
    start("CHKZF=1\nZFSBM=ZF\n");
    core->EnqueueMessage(QStringLiteral("13700000000"), QStringLiteral("earlier"));
    f->modem->Flush();
    f->modem->writes.clear();
    sim.insert(1,
        DeliverPdu(QStringLiteral("8613900000000"),
            QStringLiteral("zf:13800000001,,13800000002,#  meeting at 9 ")));
    f->modem->Push("\r\n+CMTI: \"SM\",1\r\n");
    f->modem->Flush();
    const QString outgoing = QStringLiteral("meeting at 9 来自8613900000000");
    QCOMPARE(traffic.filter(QStringLiteral("转发:")),
        QStringList { QStringLiteral("转发:13800000001,,13800000002,->") + outgoing });
    QCOMPARE(rows(QStringLiteral("SELECT MS_ID,TP_DA,TP_UD FROM SM_TO_SP_OK ORDER BY MS_ID")),
        (TRows { { "1", "13700000000", "earlier" }, { "2", "13800000001", outgoing },
            { "3", "13800000002", outgoing } }));
    QCOMPARE(sentTexts(*f->modem), (QStringList { outgoing, outgoing }));
    QCOMPARE(rows(QStringLiteral("SELECT TP_DA FROM SP_TO_SM")), (TRows { { "13900000000" } }));
    QCOMPARE(deleted, QList<int> { 1 });
}

void TestGatewayQueue::storedPiecesMakeTheForwardedText()
{
    start("CHKZF=1\n");
    TMessageStore &store = *core->Store();
    for (const auto &[text, time] : { std::pair { ":k1& def ", "2024-05-02 10:00:00" },
             { ":k1&abc", "2024-05-01 10:00:00" }, { ":k2&", "2024-05-01 10:00:00" } })
        QVERIFY(store.ExecCmdSQL(
            QStringLiteral("INSERT INTO SP_TO_SM (TP_DA,TP_UD,TP_DT) VALUES('1',?,?)"),
            { QString::fromUtf8(text), QString::fromUtf8(time) }));
    core->Incoming()->TransmitMonitor(nullptr, QStringLiteral("8613900000000"),
        QStringLiteral("13800000001"), QStringLiteral("k1"));
    // Only blank pieces: logged, nothing queued.
    core->Incoming()->TransmitMonitor(nullptr, QStringLiteral("8613900000000"),
        QStringLiteral("13800000002"), QStringLiteral("k2"));
    f->modem->Flush();
    QCOMPARE(traffic,
        (QStringList { QStringLiteral("转发:13800000001->abcdef 来自8613900000000"),
            QStringLiteral("转发:13800000002->k2 来自8613900000000") }));
    QCOMPARE(rows(QStringLiteral("SELECT TP_DA,TP_UD FROM SM_TO_SP_OK")),
        (TRows { { "13800000001", QStringLiteral("abcdef 来自8613900000000") } }));
}

void TestGatewayQueue::ringEnablesTheAnswerButton()
{
    start();
    QSignalSpy button(core.get(), &TGatewayCore::AnswerEnabledChanged);
    TIncomingHandler *in = core->Incoming();
    in->RingMonitor(nullptr, QString(), RING); // no ring.wav: silent
    QVERIFY(core->AnswerEnabled());
    QVERIFY(sounds.played.isEmpty());
    QFile ring(f->dir.filePath(QStringLiteral("ring.wav")));
    QVERIFY(ring.open(QIODevice::WriteOnly));
    ring.close();
    in->RingMonitor(nullptr, QString(), RING);
    QCOMPARE(sounds.played, QStringList { ring.fileName() });
    in->RingMonitor(nullptr, QString(), HANDUP);
    QVERIFY(!core->AnswerEnabled());
    in->RingMonitor(nullptr, QString(), HANDDOWN);
    QCOMPARE(button.size(), 2);
    QCOMPARE(sounds.played.size(), 1);
    // The message sound follows cbAutoPlay; the ring does not.
    core->SetAutoPlay(false);
    sim.insert(2, DeliverPdu(QStringLiteral("13912345678"), QStringLiteral("quiet")));
    f->modem->Push("\r\n+CMTI: \"SM\",2\r\n");
    f->modem->Flush();
    QCOMPARE(rows(QStringLiteral("SELECT TP_UD FROM SP_TO_SM")), (TRows { { "quiet" } }));
    QCOMPARE(sounds.played.size(), 1);
}

QTEST_MAIN(TestGatewayQueue)
#include "tst_gateway_queue.moc"
