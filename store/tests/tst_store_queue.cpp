// Numbering of queue rows: the row sum rule, and never a number still in use.

#include "StoreFixture.h"
#include "StoreQueue.h"
#include "StoreStatements.h"

#include <QTest>

using namespace StoreSql;

class TestStoreQueue : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void numbersFollowTheRowSum();
    void numberInUseIsNeverGivenAgain_data();
    void numberInUseIsNeverGivenAgain();
    void failedCountAddsNothingAndReleasesTheLock();
};

void TestStoreQueue::numbersFollowTheRowSum()
{
    StoreFixture f;
    auto store = f.openStore();
    QCOMPARE(EnqueueMessage(*store, "1", "a"), std::optional<qint64>(1));
    QCOMPARE(EnqueueMessage(*store, "2", "b"), std::optional<qint64>(2));
    // Moves keep the sum; a group row raises it.
    QVERIFY(MoveQueueRowToDone(*store, 1, "1", "a", QDateTime::currentDateTime(), 1));
    QVERIFY(MoveQueueRowToFailed(*store, 2, "2", "b"));
    QVERIFY(AddGroup(*store, "friends"));
    QCOMPARE(EnqueueMessage(*store, "3", "c"), std::optional<qint64>(4));
    // A number far above the sum, chosen by another program, does not change the rule.
    QVERIFY(f.exec("INSERT INTO SM_TO_SP (MS_ID, TP_DA, TP_UD) VALUES (100, 'x', 'y')"));
    QCOMPARE(EnqueueMessage(*store, "4", "d"), std::optional<qint64>(6));
    QCOMPARE(f.reports, QStringList());
}

void TestStoreQueue::numberInUseIsNeverGivenAgain_data()
{
    QTest::addColumn<QString>("holder"); // where the number the sum gives is still in use
    QTest::newRow("queued") << "SM_TO_SP";
    QTest::newRow("sent") << "SM_TO_SP_OK";
    QTest::newRow("failed") << "SM_TO_SP_FR";
}

void TestStoreQueue::numberInUseIsNeverGivenAgain()
{
    QFETCH(QString, holder);
    StoreFixture f;
    auto store = f.openStore();
    QVERIFY(AddGroup(*store, "friends")); // sum 1
    QCOMPARE(EnqueueMessage(*store, "1", "a"), std::optional<qint64>(2)); // sum 2
    if (holder == "SM_TO_SP_OK")
        QVERIFY(MoveQueueRowToDone(*store, 2, "1", "a", QDateTime::currentDateTime(), 1));
    else if (holder == "SM_TO_SP_FR")
        QVERIFY(MoveQueueRowToFailed(*store, 2, "1", "a"));
    QVERIFY(f.exec("DELETE FROM SM_TO_SP_FR WHERE MS_ID IS NULL")); // the group goes: sum 1

    // The sum gives 2 again, which is taken: the largest in use plus one.
    QCOMPARE(EnqueueMessage(*store, "2", "b"), std::optional<qint64>(3));
    QCOMPARE(EnqueueMessage(*store, "3", "c"), std::optional<qint64>(4));
    QCOMPARE(f.scalar("SELECT COUNT(*) FROM SM_TO_SP WHERE MS_ID=2").toInt(),
        holder == "SM_TO_SP" ? 1 : 0);

    // The completion of the new row moves that row alone.
    QVERIFY(MoveQueueRowToDone(*store, 3, "2", "b", QDateTime::currentDateTime(), 1));
    QCOMPARE(f.scalar("SELECT group_concat(MS_ID) FROM (SELECT MS_ID FROM SM_TO_SP ORDER BY ID)")
                 .toString(),
        holder == "SM_TO_SP" ? QString("2,4") : QString("4"));
    QCOMPARE(f.reports, QStringList());
}

void TestStoreQueue::failedCountAddsNothingAndReleasesTheLock()
{
    StoreFixture f;
    f.openStore().reset();
    QVERIFY(f.exec("DROP TABLE SM_TO_SP_FR"));
    auto store = f.openStore();
    QVERIFY(!EnqueueMessage(*store, "1", "a"));
    QCOMPARE(f.reports, QStringList { "数据库操作出错！\nSELECT COUNT(*) AS n FROM SM_TO_SP_FR" });
    QCOMPARE(f.scalar("SELECT COUNT(*) FROM SM_TO_SP").toInt(), 0);
    // The write transaction was rolled back: another connection writes without waiting.
    QVERIFY(f.exec("INSERT INTO SM_TO_SP (MS_ID, TP_DA, TP_UD) VALUES (1, 'x', 'y')"));
    QVERIFY(store->ExecCmdSQL("DELETE FROM SM_TO_SP"));
    QCOMPARE(f.reports.size(), 1);
}

QTEST_GUILESS_MAIN(TestStoreQueue)
#include "tst_store_queue.moc"
