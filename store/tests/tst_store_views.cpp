// The lists behind the grids: fields, lazy reading, snapshots, footer counts, editing.

#include "StoreFixture.h"
#include "StoreStatements.h"
#include "StoreText.h"
#include "StoreViews.h"

#include <QAbstractItemModelTester>
#include <QSqlRecord>
#include <QTest>

using namespace StoreSql;

class TestStoreViews : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fields_data();
    void fields();
    void inboxNamesComeFromThePhoneBook();
    void footerCountIsTheListsRows_data();
    void footerCountIsTheListsRows();
    void bigListOpensLazily();
    void listsAreSnapshots();
    void openListNeverBlocksWrites();
    void queryPlansUseIndexes_data();
    void queryPlansUseIndexes();
    void groupsWriteBack();
    void contactsRefuseWhatTheTableRefuses();
};

enum ViewKind { Outbox, Inbox, Groups, Contacts, Recipients };

static TStoreView *NewView(ViewKind kind, TMessageStore &store)
{
    switch (kind) {
    case Outbox:
        return StoreViews::NewOutboxView(store, &store);
    case Inbox:
        return StoreViews::NewInboxView(store, &store);
    case Groups:
        return StoreViews::NewGroupsView(store, &store);
    case Contacts:
        return StoreViews::NewContactsView(store, &store);
    case Recipients:
        break;
    }
    return StoreViews::NewRecipientsView(store, &store);
}

// Fills SP_TO_SM with `count` rows from several senders in one transaction.
static bool FillInbox(StoreFixture &f, int count)
{
    return f.exec(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO SP_TO_SM (TP_CS, TP_DA, TP_UD, TP_DT) "
        "SELECT '+8613800100500', '139' || printf('%08d', i % 1000), 'message ' || i, "
        "'2024-01-01 00:00:00' FROM n")
                      .arg(count));
}

void TestStoreViews::fields_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("outbox") << int(Outbox)
                            << QStringList { "发送时间", "手机号码", "信息内容", "姓名", "ID" };
    QTest::newRow("inbox") << int(Inbox)
                           << QStringList { "接收时间", "手机号码", "信息内容", "姓名", "id" };
    QTest::newRow("groups") << int(Groups) << QStringList { "组名称", "备注", "ID" };
    QTest::newRow("contacts") << int(Contacts)
                              << QStringList { "通讯组", "姓名", "手机号码", "电话号码", "职务",
                                     "工作单位", "备注", "ID" };
    QTest::newRow("recipients") << int(Recipients) << QStringList { "姓名", "手机号码", "通讯组" };
}

void TestStoreViews::fields()
{
    QFETCH(int, kind);
    QFETCH(QStringList, fields);
    StoreFixture f;
    auto store = f.openStore();
    TStoreView *view = NewView(ViewKind(kind), *store);
    QVERIFY(view->open());
    QStringList names;
    for (int i = 0; i < view->record().count(); ++i) {
        names << view->record().fieldName(i);
        QCOMPARE(view->headerData(i, Qt::Horizontal).toString(), names.last());
    }
    QCOMPARE(names, fields);
    QCOMPARE(view->footerCount(), std::optional<qint64>(0));
    QCOMPARE(f.reports, QStringList());
}

void TestStoreViews::inboxNamesComeFromThePhoneBook()
{
    StoreFixture f;
    auto store = f.openStore();
    QVERIFY(ImportContact(*store, { "Li", "13900000001", {}, {}, {}, {}, {} }));
    QVERIFY(ImportContact(*store, { "Li Two", "13900000001", {}, {}, {}, {}, {} }));
    QVERIFY(ImportContact(*store, { "Prefixed", "8613900000002", {}, {}, {}, {}, {} }));
    const QDateTime t = QDateTime::currentDateTime();
    QVERIFY(InsertReceived(*store, "c", "13900000001", "known twice", t));
    QVERIFY(InsertReceived(*store, "c", "13900000002", "prefix differs", t));
    QVERIFY(InsertReceived(*store, "c", "13900000003", "unknown", t));
    QVERIFY(InsertSentPart(*store, 1, "c", "8613900000002", "to prefixed", t));

    TStoreView *inbox = StoreViews::NewInboxView(*store, store.get());
    QVERIFY(inbox->open());
    const int name = inbox->fieldIndex("姓名");
    const int text = inbox->fieldIndex("信息内容");
    QStringList shown;
    for (int row = 0; row < inbox->rowCount(); ++row)
        shown << inbox->index(row, text).data().toString() + "/"
                + inbox->index(row, name).data().toString();
    shown.sort(); // the order of the two rows of one message is the engine's
    QCOMPARE(shown,
        QStringList({ "known twice/Li", "known twice/Li Two", "prefix differs/", "unknown/" }));
    QCOMPARE(inbox->index(0, inbox->fieldIndex("id")).data().toInt(), 3); // newest first
    QCOMPARE(inbox->footerCount(), std::optional<qint64>(4));

    TStoreView *outbox = StoreViews::NewOutboxView(*store, store.get());
    QVERIFY(outbox->open());
    QCOMPARE(outbox->index(0, outbox->fieldIndex("姓名")).data().toString(), QString("Prefixed"));
    QCOMPARE(f.reports, QStringList());
}

void TestStoreViews::footerCountIsTheListsRows_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("table");
    QTest::newRow("inbox") << int(Inbox) << "SP_TO_SM";
    QTest::newRow("outbox") << int(Outbox) << "SM_TO_SP_RC";
}

void TestStoreViews::footerCountIsTheListsRows()
{
    QFETCH(int, kind);
    QFETCH(QString, table);
    StoreFixture f;
    auto store = f.openStore();
    // Numbers with no, one, two and three contacts, and a message without a number.
    for (const char *mobile : { "1", "2", "2", "3", "3", "3" })
        QVERIFY(ImportContact(*store, { "n", mobile, {}, {}, {}, {}, {} }));
    for (const char *number : { "0", "1", "2", "3", "3", "0" })
        QVERIFY(f.exec("INSERT INTO " + table + " (TP_DA, TP_UD) VALUES (?, 'x')", { number }));
    QVERIFY(f.exec("INSERT INTO " + table + " (TP_UD) VALUES ('no number')"));

    TStoreView *view = NewView(ViewKind(kind), *store);
    QVERIFY(view->open());
    while (view->canFetchMore())
        view->fetchMore();
    int withNumber = 0;
    for (int row = 0; row < view->rowCount(); ++row)
        withNumber += view->index(row, view->fieldIndex("手机号码")).data().isNull() ? 0 : 1;
    QCOMPARE(view->rowCount(), 12);
    QCOMPARE(withNumber, 11);
    QCOMPARE(view->footerCount(), std::optional<qint64>(withNumber));
    QCOMPARE(f.reports, QStringList());
}

void TestStoreViews::bigListOpensLazily()
{
    StoreFixture f;
    auto store = f.openStore();
    QVERIFY(FillInbox(f, 20000));
    TStoreView *inbox = StoreViews::NewInboxView(*store, store.get());
    QVERIFY(inbox->open());
    QVERIFY(inbox->rowCount() > 0);
    QVERIFY2(inbox->rowCount() < 1000, qPrintable(QString::number(inbox->rowCount())));
    QVERIFY(inbox->canFetchMore());
    QCOMPARE(
        inbox->index(0, inbox->fieldIndex("信息内容")).data().toString(), QString("message 20000"));
    QCOMPARE(inbox->footerCount(), std::optional<qint64>(20000));

    // Scrolling reads on from where the first screen ended.
    const int first = inbox->rowCount();
    inbox->fetchMore();
    QVERIFY(inbox->rowCount() > first);
    QCOMPARE(inbox->index(first, inbox->fieldIndex("id")).data().toInt(), 20000 - first);
    QCOMPARE(f.reports, QStringList());
}

void TestStoreViews::listsAreSnapshots()
{
    StoreFixture f;
    auto store = f.openStore();
    QVERIFY(FillInbox(f, 3000));
    TStoreView *inbox = StoreViews::NewInboxView(*store, store.get());
    QVERIFY(inbox->open());
    QVERIFY(InsertReceived(*store, "c", "1", "newer", QDateTime::currentDateTime()));
    QVERIFY(DeleteReceived(*store, { 3000 }));

    // The open list shows the store as it was, to its last row and in its count.
    QCOMPARE(inbox->index(0, inbox->fieldIndex("id")).data().toInt(), 3000);
    QCOMPARE(inbox->footerCount(), std::optional<qint64>(3000));
    while (inbox->canFetchMore())
        inbox->fetchMore();
    QCOMPARE(inbox->rowCount(), 3000);

    QVERIFY(inbox->open()); // already open: left as it is
    QCOMPARE(inbox->rowCount(), 3000);
    QVERIFY(store->RefreshDataSet(*inbox));
    QCOMPARE(inbox->index(0, inbox->fieldIndex("信息内容")).data().toString(), QString("newer"));
    QCOMPARE(inbox->footerCount(), std::optional<qint64>(3000));
    QCOMPARE(f.reports, QStringList());
}

void TestStoreViews::openListNeverBlocksWrites()
{
    StoreFixture f;
    auto store = f.openStore();
    QVERIFY(FillInbox(f, 3000));
    TStoreView *inbox = StoreViews::NewInboxView(*store, store.get());
    TStoreView *outbox = StoreViews::NewOutboxView(*store, store.get());
    QVERIFY(inbox->open());
    QVERIFY(outbox->open());
    QVERIFY(inbox->canFetchMore()); // its read is still pending

    // Another connection writes first; then both of the store's connections write.
    QVERIFY(f.exec("INSERT INTO SM_TO_SP (MS_ID, TP_DA, TP_UD) VALUES (1, 'x', 'y')"));
    QVERIFY(
        InsertReceived(*store, "c", "1", "while the inbox is open", QDateTime::currentDateTime()));
    QVERIFY(InsertSentPart(*store, 1, "c", "1", "sent", QDateTime::currentDateTime()));
    QVERIFY(f.exec("INSERT INTO SM_TO_SP (MS_ID, TP_DA, TP_UD) VALUES (2, 'x', 'y')"));
    QVERIFY(DeleteReceived(*store, { 1 }));
    QCOMPARE(f.reports, QStringList());
}

void TestStoreViews::queryPlansUseIndexes_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("lookup");
    QTest::newRow("inbox") << StoreViews::InboxQuery()
                           << "SEARCH PHONE_BOOK USING INDEX PHONE_BOOK_FMOBILE";
    QTest::newRow("outbox") << StoreViews::OutboxQuery()
                            << "SEARCH PHONE_BOOK USING INDEX PHONE_BOOK_FMOBILE";
    QTest::newRow("queue row") << "SELECT * FROM SM_TO_SP WHERE MS_ID=1"
                               << "INDEX SM_TO_SP_MS_ID";
    QTest::newRow("group present") << "SELECT ID FROM SM_TO_SP_FR WHERE TP_DA='x' LIMIT 1"
                                   << "INDEX SM_TO_SP_FR_TP_DA";
    QTest::newRow("duplicate number") << "select id from PHONE_BOOK where fmobile='1' LIMIT 1"
                                      << "INDEX PHONE_BOOK_FMOBILE";
    QTest::newRow("forwarding lookup") << StoreText::ShowStatement(ForwardLookupStatement(),
        { "k" }) << "SCAN SP_TO_SM USING INDEX SP_TO_SM_PIECES";
    QTest::newRow("inbox footer") << StoreViews::CountByNumber("SP_TO_SM")
                                  << "SCAN SP_TO_SM USING COVERING INDEX SP_TO_SM_TP_DA";
    QTest::newRow("outbox footer") << StoreViews::CountByNumber("SM_TO_SP_RC")
                                   << "SCAN SM_TO_SP_RC USING COVERING INDEX SM_TO_SP_RC_TP_DA";
}

void TestStoreViews::queryPlansUseIndexes()
{
    QFETCH(QString, query);
    QFETCH(QString, lookup);
    StoreFixture f;
    f.openStore().reset();
    QStringList plan;
    for (const QVariantList &row : f.rows("EXPLAIN QUERY PLAN " + query))
        plan << row.last().toString();
    const QString text = plan.join('\n');
    QVERIFY2(text.contains(lookup), qPrintable(text));
    // Newest first comes from walking the key backwards, never from sorting the table.
    QVERIFY2(!text.contains("TEMP B-TREE"), qPrintable(text));
}

void TestStoreViews::groupsWriteBack()
{
    StoreFixture f;
    auto store = f.openStore();
    QVERIFY(AddGroup(*store, "friends"));
    QVERIFY(AddGroup(*store, "family"));
    TStoreEditView *groups = StoreViews::NewGroupsView(*store, store.get());
    QAbstractItemModelTester tester(groups, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(groups->open());
    QCOMPARE(groups->rowCount(), 2);
    QVERIFY(!groups->canFetchMore());

    const QModelIndex name = groups->index(1, groups->fieldIndex("组名称"));
    QVERIFY(groups->flags(name) & Qt::ItemIsEditable);
    QVERIFY(!(groups->flags(groups->index(1, groups->fieldIndex("ID"))) & Qt::ItemIsEditable));
    QVERIFY(groups->setData(name, "it's \"family\""));
    QCOMPARE(name.data().toString(), QString("it's \"family\"")); // as typed: no replacement
    QCOMPARE(f.scalar("SELECT TP_DA FROM SM_TO_SP_FR WHERE ID=2").toString(),
        QString("it's \"family\""));

    QVERIFY(groups->insertRecord({ { "组名称", "colleagues" }, { "备注", "work" } }));
    QCOMPARE(groups->rowCount(), 3);
    QCOMPARE(groups->index(2, groups->fieldIndex("备注")).data().toString(), QString("work"));

    QVERIFY(groups->removeKeys({ groups->keyOf(0) }));
    QCOMPARE(groups->rowCount(), 2);
    QCOMPARE(
        f.scalar("SELECT group_concat(TP_DA, '|') FROM (SELECT TP_DA FROM SM_TO_SP_FR ORDER BY ID)")
            .toString(),
        QString("it's \"family\"|colleagues"));
    QCOMPARE(f.reports, QStringList());
}

void TestStoreViews::contactsRefuseWhatTheTableRefuses()
{
    StoreFixture f;
    auto store = f.openStore();
    QVERIFY(ImportContact(*store, { "Li", "13900000001", {}, {}, {}, {}, "friends" }));
    TStoreEditView *contacts = StoreViews::NewContactsView(*store, store.get());
    QVERIFY(contacts->open());
    const QModelIndex mobile = contacts->index(0, contacts->fieldIndex("手机号码"));
    const QModelIndex name = contacts->index(0, contacts->fieldIndex("姓名"));

    QVERIFY(!contacts->setData(mobile, QVariant())); // required
    QVERIFY(!contacts->setData(name, QString(51, QLatin1Char('x')))); // longer than declared
    QCOMPARE(f.reports.size(), 2);
    QVERIFY(f.reports.first().startsWith(
        "数据库操作出错！\nUPDATE PHONE_BOOK SET FMOBILE=NULL WHERE ID=1"));
    QCOMPARE(mobile.data().toString(), QString("13900000001"));
    QCOMPARE(
        f.scalar("SELECT FNAME || FMOBILE FROM PHONE_BOOK").toString(), QString("Li13900000001"));

    QVERIFY(contacts->setData(name, QString(50, QLatin1Char('y'))));
    QVERIFY(!contacts->insertRecord({ { "姓名", "no mobile" } }));
    QVERIFY(!contacts->insertRecord({ { "nickname", "x" } }));
    QCOMPARE(f.scalar("SELECT COUNT(*) FROM PHONE_BOOK").toInt(), 1);
    QCOMPARE(f.reports.size(), 4);
}

QTEST_GUILESS_MAIN(TestStoreViews)
#include "tst_store_views.moc"
