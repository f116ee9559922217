// Every statement the program runs, on a fresh store, with its effect on the tables.

#include "StoreFixture.h"
#include "StoreQueue.h"
#include "StoreStatements.h"

#include <QTest>

using namespace StoreSql;

class TestStoreStatements : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void queueRoundTrip();
    void pickNextPassesOverTheMessageInProgress();
    void receivedAndSentRecords();
    void forwardingLookup_data();
    void forwardingLookup();
    void deletions();
    void groupsAndContacts();
    void orders();

private:
    std::unique_ptr<StoreFixture> f;
    std::unique_ptr<TMessageStore> store;
};

void TestStoreStatements::init()
{
    f = std::make_unique<StoreFixture>();
    store = f->openStore();
}

void TestStoreStatements::cleanup()
{
    // No statement of these tests is meant to fail.
    QCOMPARE(f->reports, QStringList());
    store.reset();
    f.reset();
}

void TestStoreStatements::queueRoundTrip()
{
    QCOMPARE(EnqueueMessage(*store, " 13912345678 ", "\r\nfirst text "), std::optional<qint64>(1));
    QCOMPARE(EnqueueMessage(*store, "13800000002", "second"), std::optional<qint64>(2));

    auto row = PickNextQueueRow(*store, 0);
    QVERIFY(row);
    QCOMPARE(row->msId, 1);
    QCOMPARE(row->number, QString("13912345678"));
    QCOMPARE(row->text, QString("first text"));

    row = ReadQueueRow(*store, 2);
    QVERIFY(row);
    QCOMPARE(row->text, QString("second"));

    const QDateTime done(QDate(2024, 6, 1), QTime(12, 0, 30));
    QVERIFY(MoveQueueRowToDone(*store, 1, "13912345678", "first text", done, 3));
    QVERIFY(MoveQueueRowToFailed(*store, 2, "13800000002", "second"));

    QCOMPARE(f->scalar("SELECT COUNT(*) FROM SM_TO_SP").toInt(), 0);
    QCOMPARE(f->rows("SELECT MS_ID, TP_DA, TP_UD, TP_DT, TP_SN FROM SM_TO_SP_OK"),
        QList<QVariantList> {
            QVariantList({ 1, "13912345678", "first text", "2024-06-01 12:00:30", 3 }) });
    QCOMPARE(f->rows("SELECT MS_ID, TP_DA, TP_UD FROM SM_TO_SP_FR"),
        QList<QVariantList> { QVariantList({ 2, "13800000002", "second" }) });

    // An empty queue reads as number 0 and empty texts.
    row = PickNextQueueRow(*store, 0);
    QVERIFY(row);
    QCOMPARE(row->msId, 0);
    QVERIFY(row->number.isEmpty() && row->text.isEmpty());
    row = ReadQueueRow(*store, 1);
    QVERIFY(row);
    QCOMPARE(row->msId, 0);
}

void TestStoreStatements::pickNextPassesOverTheMessageInProgress()
{
    // Rows come in ID order, whatever their numbers.
    QVERIFY(
        f->exec("INSERT INTO SM_TO_SP (MS_ID, TP_DA, TP_UD) VALUES (9, 'a', 'x'), (4, 'b', 'y')"));
    auto row = PickNextQueueRow(*store, 0);
    QVERIFY(row);
    QCOMPARE(row->msId, 9);
    row = PickNextQueueRow(*store, 9);
    QVERIFY(row);
    QCOMPARE(row->msId, 4);
    row = PickNextQueueRow(*store, 4);
    QVERIFY(row);
    QCOMPARE(row->msId, 9);
}

void TestStoreStatements::receivedAndSentRecords()
{
    QVERIFY(InsertReceived(*store, "+8613800100500", "13912345678", "hello",
        QDateTime(QDate(2024, 2, 29), QTime(0, 0))));
    QVERIFY(InsertSentPart(*store, 117, "+8613800100500", "8613800000001", "part one",
        QDateTime(QDate(2024, 2, 29), QTime(8, 9, 10))));
    QCOMPARE(f->rows("SELECT id, TP_CS, TP_DA, TP_UD, TP_DT FROM SP_TO_SM"),
        QList<QVariantList> {
            QVariantList({ 1, "+8613800100500", "13912345678", "hello", "2024-02-29" }) });
    QCOMPARE(f->rows("SELECT ID, MS_ID, TP_CS, TP_DA, TP_UD, TP_DT FROM SM_TO_SP_RC"),
        QList<QVariantList> { QVariantList(
            { 1, 117, "+8613800100500", "8613800000001", "part one", "2024-02-29 08:09:10" }) });
}

void TestStoreStatements::forwardingLookup_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("pieces in time order") << "K1" << QStringList { ":K1&abc", ":K1&  def  " };
    QTest::newRow("letter case of the key ignored")
        << "k1" << QStringList { ":K1&abc", ":K1&  def  " };
    QTest::newRow("no piece") << "K3" << QStringList {};
    QTest::newRow("only at the start") << "K2" << QStringList { ":K2&" };
}

void TestStoreStatements::forwardingLookup()
{
    QFETCH(QString, key);
    QFETCH(QStringList, texts);
    const QDate day(2024, 1, 1);
    // Stored out of time order; the lookup orders by the time stamp.
    QVERIFY(InsertReceived(*store, "c", "1", ":K1&  def  ", QDateTime(day, QTime(10, 0))));
    QVERIFY(InsertReceived(*store, "c", "2", ":K1&abc", QDateTime(day, QTime(9, 0))));
    QVERIFY(InsertReceived(*store, "c", "3", "x:K2&", QDateTime(day, QTime(9, 0))));
    QVERIFY(InsertReceived(*store, "c", "3", ":K2&", QDateTime(day, QTime(11, 0))));
    QVERIFY(InsertReceived(*store, "c", "4", "ZF:13800000001#K1", QDateTime(day, QTime(12, 0))));

    const auto pieces = ForwardPieces(*store, key);
    QVERIFY(pieces);
    QStringList found;
    for (const TStoredPiece &piece : *pieces)
        found << piece.text;
    for (QString &text : texts)
        text = text.trimmed();
    QCOMPARE(found, texts);
}

void TestStoreStatements::deletions()
{
    for (int i = 0; i < 10; ++i) {
        QVERIFY(InsertReceived(*store, "c", "1", QString::number(i), QDateTime::currentDateTime()));
        QVERIFY(
            InsertSentPart(*store, i, "c", "1", QString::number(i), QDateTime::currentDateTime()));
    }
    QVERIFY(DeleteReceived(*store, { 7, 9 }));
    QVERIFY(DeleteSentRecords(*store, { 1 }));
    QVERIFY(DeleteSentRecords(*store, {})); // matches nothing, still well formed
    QCOMPARE(
        f->scalar("SELECT group_concat(id) FROM (SELECT id FROM SP_TO_SM ORDER BY id)").toString(),
        QString("1,2,3,4,5,6,8,10"));
    QCOMPARE(f->scalar("SELECT COUNT(*) FROM SM_TO_SP_RC").toInt(), 9);

    // A selection longer than one statement may carry is deleted whole.
    QVERIFY(
        f->exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1500) "
                "INSERT INTO SP_TO_SM (TP_DA) SELECT 'bulk' FROM n"));
    const QList<QVariantList> bulk = f->rows("SELECT id FROM SP_TO_SM WHERE TP_DA='bulk'");
    QList<qint64> ids;
    for (const QVariantList &row : bulk)
        ids << row.first().toLongLong();
    QCOMPARE(ids.size(), 1500);
    QVERIFY(DeleteReceived(*store, ids));
    QCOMPARE(f->scalar("SELECT COUNT(*) FROM SP_TO_SM").toInt(), 8);
}

void TestStoreStatements::groupsAndContacts()
{
    QCOMPARE(GroupId(*store, "friends"), std::optional<qint64>(0));
    QVERIFY(AddGroup(*store, "friends"));
    QVERIFY(AddGroup(*store, "friends")); // names are not unique; the first is found
    QCOMPARE(GroupId(*store, "friends"), std::optional<qint64>(1));
    QCOMPARE(GroupId(*store, "Friends"), std::optional<qint64>(0)); // compared exactly
    QCOMPARE(f->rows("SELECT MS_ID IS NULL, TP_DA, TP_UD IS NULL FROM SM_TO_SP_FR WHERE ID=1"),
        QList<QVariantList> { QVariantList({ 1, "friends", 1 }) });

    QVERIFY(ImportContact(
        *store, { "Wang", "13912345678", "010-1", "Acme", "boss", "note", "friends" }));
    QCOMPARE(f->rows("SELECT FGROUP, FNAME, FMOBILE, FPHONE, FTITLE, FUNIT, FDEMO FROM PHONE_BOOK"),
        QList<QVariantList> {
            QVariantList({ "friends", "Wang", "13912345678", "010-1", "boss", "Acme", "note" }) });
    QCOMPARE(MobileTaken(*store, "13912345678", 0), std::optional<bool>(true));
    QCOMPARE(MobileTaken(*store, "13912345678", 1), std::optional<bool>(false)); // its own row
    QCOMPARE(MobileTaken(*store, "8613912345678", 0), std::optional<bool>(false));
}

void TestStoreStatements::orders()
{
    QVERIFY(
        f->exec("INSERT INTO SALE_ORDER (fmsg, fmobile) VALUES ('a','1'), ('b','2'), ('c','3')"));
    QVERIFY(MarkOrdersHandled(*store, { 1, 3 }));
    QCOMPARE(
        f->scalar("SELECT group_concat(fstatus) FROM (SELECT fstatus FROM SALE_ORDER ORDER BY FID)")
            .toString(),
        QString("1,0,1"));
    QVERIFY(DeleteOrders(*store, { 3 }));
    QCOMPARE(f->scalar("SELECT group_concat(FID) FROM (SELECT FID FROM SALE_ORDER ORDER BY FID)")
                 .toString(),
        QString("1,2"));
}

QTEST_GUILESS_MAIN(TestStoreStatements)
#include "tst_store_statements.moc"
