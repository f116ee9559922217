// Another program writing to the store while the gateway's connections and lists are open.

#include "StoreFixture.h"
#include "StoreQueue.h"
#include "StoreStatements.h"
#include "StoreViews.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace StoreSql;

// The statement other programs are told to use to hand over a message: its number is the
// largest of the row sum and the numbers in use, plus one, computed inside the insert.
static QString HandOverStatement(const QString &number, const QString &text)
{
    return QStringLiteral("INSERT INTO SM_TO_SP (MS_ID, TP_DA, TP_UD) SELECT max("
                          "(SELECT count(*) FROM SM_TO_SP) + (SELECT count(*) FROM SM_TO_SP_OK) + "
                          "(SELECT count(*) FROM SM_TO_SP_FR), "
                          "(SELECT coalesce(max(MS_ID), 0) FROM SM_TO_SP), "
                          "(SELECT coalesce(max(MS_ID), 0) FROM SM_TO_SP_OK), "
                          "(SELECT coalesce(max(MS_ID), 0) FROM SM_TO_SP_FR)) + 1, '%1', '%2';")
        .arg(number, text);
}

class TestStoreConcurrency : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void twoProgramsWriteAtOnce();
    void twoProgramsCreateTheFileAtOnce();
    void handOverStatementWhileTheGatewayRuns();

private:
    void openLists(TMessageStore &store, StoreFixture &f);
};

void TestStoreConcurrency::openLists(TMessageStore &store, StoreFixture &f)
{
    // Open lists with reads still pending, as the windows hold them.
    QVERIFY(f.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                   "INSERT INTO SP_TO_SM (TP_DA, TP_UD) SELECT 'old', i FROM n"));
    TStoreView *inbox = StoreViews::NewInboxView(store, &store);
    QVERIFY(inbox->open());
    QVERIFY(inbox->canFetchMore());
    QVERIFY(StoreViews::NewOutboxView(store, &store)->open());
    QVERIFY(StoreViews::NewGroupsView(store, &store)->open());
}

void TestStoreConcurrency::twoProgramsWriteAtOnce()
{
    StoreFixture f;
    auto store = f.openStore();
    openLists(*store, f);
    if (QTest::currentTestFailed())
        return;

    QProcess helper;
    helper.start(QStringLiteral(STORE_WRITER_HELPER), { f.path(), "500" });
    QVERIFY2(helper.waitForStarted(10000), qPrintable(helper.errorString()));
    QVERIFY(helper.waitForReadyRead(30000));
    QCOMPARE(helper.readLine().trimmed(), QByteArray("ready"));

    for (int i = 0; i < 500; ++i) {
        QVERIFY(InsertReceived(*store, "+8613800100500", "13900000001", QString("test %1").arg(i),
            QDateTime::currentDateTime()));
        if (i % 5 == 0)
            QVERIFY(EnqueueMessage(*store, "13900000002", QString("test %1").arg(i)));
    }
    const bool overlapped = helper.state() == QProcess::Running;
    QVERIFY(helper.waitForFinished(60000));
    const QByteArray errors = helper.readAllStandardError();
    QVERIFY2(errors.isEmpty(), errors.constData());
    QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
    QCOMPARE(helper.exitCode(), 0);
    QCOMPARE(f.reports, QStringList());

    QCOMPARE(f.scalar("SELECT COUNT(*) FROM SP_TO_SM WHERE TP_UD LIKE 'test %'").toInt(), 500);
    QCOMPARE(f.scalar("SELECT COUNT(*) FROM SM_TO_SP").toInt(), 600);
    QCOMPARE(f.scalar("SELECT COUNT(DISTINCT MS_ID) FROM SM_TO_SP WHERE MS_ID > 0").toInt(), 600);
    qInfo("helper still running when the test's writes ended: %s", overlapped ? "yes" : "no");
}

void TestStoreConcurrency::twoProgramsCreateTheFileAtOnce()
{
    StoreFixture f;
    QProcess helper;
    helper.start(QStringLiteral(STORE_WRITER_HELPER), { f.path(), "50" });
    QVERIFY2(helper.waitForStarted(10000), qPrintable(helper.errorString()));
    auto store = f.openStore(); // while the helper may be creating the same file
    for (int i = 0; i < 50; ++i)
        QVERIFY(EnqueueMessage(*store, "13900000002", QString("test %1").arg(i)));
    QVERIFY(helper.waitForFinished(60000));
    const QByteArray errors = helper.readAllStandardError();
    QVERIFY2(errors.isEmpty(), errors.constData());
    QCOMPARE(helper.exitCode(), 0);
    QCOMPARE(f.reports, QStringList());
    QCOMPARE(f.scalar("SELECT COUNT(DISTINCT MS_ID) FROM SM_TO_SP").toInt(), 100);
    QCOMPARE(f.scalar("SELECT COUNT(*) FROM sqlite_master WHERE type='table' AND name='SM_TO_SP'")
                 .toInt(),
        1);
}

void TestStoreConcurrency::handOverStatementWhileTheGatewayRuns()
{
    const QString sqlite = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (sqlite.isEmpty())
        QSKIP("the sqlite3 command is not installed (scripts/setup-debian.sh installs it)");
    StoreFixture f;
    auto store = f.openStore();
    openLists(*store, f);
    if (QTest::currentTestFailed())
        return;

    // The one-statement form of the documentation, with a number already in use at the top.
    QVERIFY(EnqueueMessage(*store, "1", "a"));
    QVERIFY(f.exec("INSERT INTO SM_TO_SP (MS_ID, TP_DA, TP_UD) VALUES (40, 'x', 'y')"));
    QProcess once;
    once.start(sqlite,
        { "-cmd", ".timeout 5000", f.path(), HandOverStatement("13800138000", "Hello it''s me") });
    QVERIFY(once.waitForFinished(30000));
    QCOMPARE(once.readAllStandardError(), QByteArray());
    QCOMPARE(once.exitCode(), 0);
    QCOMPARE(f.rows("SELECT MS_ID, TP_DA, TP_UD FROM SM_TO_SP ORDER BY ID DESC LIMIT 1"),
        QList<QVariantList> { QVariantList({ 41, "13800138000", "Hello it's me" }) });

    // Many statements from the command while the gateway adds rows of its own.
    QProcess many;
    many.start(sqlite, { "-cmd", ".timeout 5000", f.path() });
    QVERIFY(many.waitForStarted(10000));
    QByteArray script;
    for (int i = 0; i < 200; ++i)
        script += HandOverStatement("13900000003", QString("cli %1").arg(i)).toUtf8() + '\n';
    many.write(script);
    many.closeWriteChannel();
    for (int i = 0; i < 200; ++i)
        QVERIFY(EnqueueMessage(*store, "13900000004", QString("gateway %1").arg(i)));
    QVERIFY(many.waitForFinished(60000));
    QCOMPARE(many.readAllStandardError(), QByteArray());
    QCOMPARE(many.exitCode(), 0);

    QCOMPARE(f.scalar("SELECT COUNT(*) FROM SM_TO_SP").toInt(), 403);
    QCOMPARE(f.scalar("SELECT COUNT(DISTINCT MS_ID) FROM SM_TO_SP WHERE MS_ID > 0").toInt(), 403);
    QCOMPARE(f.reports, QStringList());
}

QTEST_GUILESS_MAIN(TestStoreConcurrency)
#include "tst_store_concurrency.moc"
