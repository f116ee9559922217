// End to end without a window: the headless gateway on a modem at the far end of a
// pseudo-terminal. Rows put into SM_TO_SP by another program are sent and moved; a burst of
// "+CMTI" indications is stored once each and deleted; a forward request is queued and sent.

#include "DeliverPdu.h"
#include "HeadlessGateway.h"
#include "ManualTimer.h"
#include "PtyModem.h"
#include "TStoreQuery.h"

#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTest>
#include <cstdio>

using namespace Gateway;

class TestGatewayQueuePty : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void queueBurstAndForwarding();

private:
    static int count(TMessageStore &store, const QString &statement)
    {
        TStoreQuery q(store);
        return q.open(statement) ? int(q.intField(QStringLiteral("n"))) : -1;
    }
};

void TestGatewayQueuePty::queueBurstAndForwarding()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    if (QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty())
        QFAIL("sqlite3 is needed (scripts/setup-debian.sh installs it)");
    TPtyModem far;
    if (!far.Start(dir.path()))
        QFAIL("socat is needed (scripts/setup-debian.sh installs it)");
    QMap<int, QByteArray> sim;
    QList<int> deleted;
    far.reply = [&](const QByteArray &cmd) -> QByteArray {
        if (cmd.startsWith("at+cmgr=")) {
            const int index = cmd.mid(8).trimmed().toInt();
            return sim.contains(index) ? CmgrReply(sim.value(index)) : "\r\nOK\r\n";
        }
        if (cmd.startsWith("at+cmgd=")) {
            const int index = cmd.mid(8).trimmed().toInt();
            deleted << index;
            sim.remove(index);
            return "\r\nOK\r\n";
        }
        return {};
    };

    {
        QFile config(dir.filePath(QStringLiteral("Config.ini")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("[System]\nADel=1\nCHKZF=1\nZFSBM=ZF\n");
    }
    TManualTimers timers;
    TGatewayCore::TOptions o;
    o.appDir = dir.path() + u'/';
    o.databasePath = dir.filePath(QStringLiteral("SMS.db"));
    o.extraPort = far.gatewayEnd;
    o.timers = timers.factory();
    std::FILE *out = std::tmpfile();
    QVERIFY(out);
    THeadlessGateway gateway(o, out);
    QVERIFY(gateway.Start());
    TGatewayCore *core = gateway.Core();
    timers.byInterval(100, 1)->fire(); // the pause before the listing
    QTRY_VERIFY(core->Modem()->LinkReady() && core->Modem()->CmdState == 0);

    // 50 rows from another program, seen on the next tick of the queue.
    QString script = QStringLiteral("BEGIN;");
    for (int i = 1; i <= 50; ++i)
        script += QStringLiteral("INSERT INTO SM_TO_SP (MS_ID,TP_DA,TP_UD) VALUES(%1,'1380000%2',"
                                 "'第%1条 it''s queued');")
                      .arg(i)
                      .arg(i, 4, 10, QLatin1Char('0'));
    script += QStringLiteral("COMMIT;");
    QProcess sqlite;
    sqlite.start(QStringLiteral("sqlite3"), { o.databasePath, script });
    QVERIFY(sqlite.waitForFinished(30000));
    QCOMPARE(sqlite.exitCode(), 0);
    timers.byInterval(TGatewayCore::SendInterval)->fire();
    TMessageStore &store = *core->Store();
    QTRY_COMPARE_WITH_TIMEOUT(
        count(store, QStringLiteral("SELECT COUNT(*) AS n FROM SM_TO_SP_OK")), 50, 60000);
    QCOMPARE(count(store, QStringLiteral("SELECT COUNT(*) AS n FROM SM_TO_SP")), 0);
    QCOMPARE(count(store,
                 QStringLiteral("SELECT COUNT(*) AS n FROM SM_TO_SP_OK WHERE TP_SN=1 AND "
                                "TP_UD='第'||MS_ID||'条 it''s queued'")),
        50);

    // 20 messages announced at once.
    QByteArray burst;
    for (int i = 0; i < 20; ++i) {
        sim.insert(i,
            DeliverPdu(QStringLiteral("86139000000%1").arg(i, 2, 10, QLatin1Char('0')),
                QStringLiteral("burst %1").arg(i)));
        burst += "\r\n+CMTI: \"SM\"," + QByteArray::number(i) + "\r\n";
    }
    far.Write(burst);
    QTRY_COMPARE_WITH_TIMEOUT(deleted.size(), 20, 60000);
    QTRY_COMPARE(count(store, QStringLiteral("SELECT COUNT(*) AS n FROM SP_TO_SM")), 20);
    QCOMPARE(count(store, QStringLiteral("SELECT COUNT(DISTINCT TP_UD) AS n FROM SP_TO_SM")), 20);
    QCOMPARE(QSet<int>(deleted.begin(), deleted.end()).size(), 20);

    // A forward request to two numbers.
    sim.insert(30,
        DeliverPdu(
            QStringLiteral("8613912345678"), QStringLiteral("ZF:13700000001,13700000002#到货了")));
    far.Write("\r\n+CMTI: \"SM\",30\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(
        count(store, QStringLiteral("SELECT COUNT(*) AS n FROM SM_TO_SP_OK")), 52, 30000);
    QCOMPARE(count(store,
                 QStringLiteral("SELECT COUNT(*) AS n FROM SM_TO_SP_OK WHERE MS_ID IN (51,52) AND "
                                "TP_UD='到货了 来自8613912345678'")),
        2);
    QCOMPARE(count(store,
                 QStringLiteral("SELECT COUNT(*) AS n FROM SM_TO_SP_RC WHERE TP_DA IN "
                                "('13700000001','13700000002')")),
        2);
    QTRY_VERIFY(deleted.contains(30));

    gateway.Stop();
    std::rewind(out);
    QByteArray text;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, out)) > 0;)
        text.append(buffer, qsizetype(n));
    std::fclose(out);
    const QString log = QString::fromUtf8(text);
    QVERIFY(!log.contains(QStringLiteral("[报错内容]")));
    QVERIFY(log.contains(
        QStringLiteral("[发收内容] 转发:13700000001,13700000002->到货了 来自8613912345678")));
    QVERIFY(log.contains(QStringLiteral("[接收内容] 13900000019的短信：")));
}

QTEST_MAIN(TestGatewayQueuePty)
#include "tst_gateway_queue_pty.moc"
