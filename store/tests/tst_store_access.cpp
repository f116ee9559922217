// Creating the file, the two connections, the exec routines and their failure report.

#include "StoreFixture.h"
#include "StoreQueue.h"
#include "StoreSchema.h"
#include "StoreStatements.h"
#include "StoreText.h"
#include "StoreViews.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace StoreSql;

class TestStoreAccess : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void newFileGetsTheSchema();
    void builtInSchemaIsTheDataFile();
    void defaultFileIsInTheCurrentFolder();
    void presentFileIsNeverRestructured_data();
    void presentFileIsNeverRestructured();
    void valuesRoundTrip_data();
    void valuesRoundTrip();
    void reportShowsTheStatementAsRun();
    void closeAndReopen();
    void twoStoresOnOneFile();
    void dateTimeText_data();
    void dateTimeText();
    void showStatement_data();
    void showStatement();
};

static const QStringList AllTables { "PHONE_BOOK", "SALE_ORDER", "SM_TO_SP", "SM_TO_SP_FR",
    "SM_TO_SP_OK", "SM_TO_SP_RC", "SP_TO_SM" };

void TestStoreAccess::newFileGetsTheSchema()
{
    StoreFixture f;
    QVERIFY(!QFile::exists(f.path()));
    auto store = f.openStore();
    QVERIFY(store->isOpen(TMessageStore::TConnection::Cmd));
    QVERIFY(store->isOpen(TMessageStore::TConnection::View));
    QCOMPARE(f.reports, QStringList());

    QStringList tables = f.tables();
    tables.removeAll(QStringLiteral("sqlite_sequence"));
    QCOMPARE(tables, AllTables);
    QCOMPARE(f.scalar("PRAGMA journal_mode").toString(), QString("wal"));

    // The defaults the program relies on.
    QVERIFY(f.exec("INSERT INTO SALE_ORDER (fmsg) VALUES ('x')"));
    QCOMPARE(f.scalar("SELECT fstatus FROM SALE_ORDER").toInt(), 0);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("NOT NULL constraint failed"));
    QVERIFY(!f.exec("INSERT INTO PHONE_BOOK (FNAME) VALUES ('no mobile')"));
}

void TestStoreAccess::builtInSchemaIsTheDataFile()
{
    QFile file(QStringLiteral(LUMETRA_SOURCE_DIR "/data/schema.sql"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(StoreSchema::Text(), QString::fromUtf8(file.readAll()));
    const QStringList split = StoreSchema::SplitStatements(
        "-- a; comment\nCREATE TABLE t (a TEXT DEFAULT ';');\n\n;SELECT 1");
    QCOMPARE(split, QStringList({ "CREATE TABLE t (a TEXT DEFAULT ';')", "SELECT 1" }));
}

void TestStoreAccess::defaultFileIsInTheCurrentFolder()
{
    StoreFixture f;
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(f.dirPath()));
    {
        TMessageStore store;
        QVERIFY(store.open());
        QVERIFY(QDir::setCurrent(before));
        // The file stays the one found at opening, whatever the current folder is now.
        QCOMPARE(store.databasePath(), QFileInfo(f.path()).absoluteFilePath());
        auto *inbox = StoreViews::NewInboxView(store, &store);
        QVERIFY(inbox->open());
    }
    QDir::setCurrent(before);
    QVERIFY(QFile::exists(f.path()));
}

void TestStoreAccess::presentFileIsNeverRestructured_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("report");
    QTest::newRow("received messages")
        << "SP_TO_SM"
        << "数据库操作出错！\nINSERT INTO SP_TO_SM (TP_CS,TP_DA,TP_UD,TP_DT) "
           "VALUES('+8613800100500','13912345678','hi','2024-05-06 07:08:09')";
    QTest::newRow("queue counted") << "SM_TO_SP_OK"
                                   << "数据库操作出错！\nSELECT COUNT(*) AS n FROM SM_TO_SP_OK";
    QTest::newRow("sent parts")
        << "SM_TO_SP_RC"
        << "数据库操作出错！\nINSERT INTO SM_TO_SP_RC (MS_ID,TP_CS,TP_DA,TP_UD,TP_DT) "
           "VALUES(7,'+8613800100500','13912345678','hi','2024-05-06 07:08:09')";
    QTest::newRow("inbox names") << "PHONE_BOOK"
                                 << "数据库操作出错！\n" + StoreViews::InboxQuery();
}

void TestStoreAccess::presentFileIsNeverRestructured()
{
    QFETCH(QString, table);
    QFETCH(QString, report);
    StoreFixture f;
    f.openStore().reset();
    QVERIFY(f.exec("DROP TABLE " + table));

    auto store = f.openStore();
    QCOMPARE(f.reports, QStringList());
    const QDateTime time(QDate(2024, 5, 6), QTime(7, 8, 9));
    if (table == "SP_TO_SM")
        QVERIFY(!InsertReceived(*store, "+8613800100500", "13912345678", "hi", time));
    else if (table == "SM_TO_SP_OK")
        QVERIFY(!EnqueueMessage(*store, "13912345678", "hi"));
    else if (table == "SM_TO_SP_RC")
        QVERIFY(!InsertSentPart(*store, 7, "+8613800100500", "13912345678", "hi", time));
    else
        QVERIFY(!StoreViews::NewInboxView(*store, store.get())->open());
    QCOMPARE(f.reports, QStringList { report });
    QVERIFY2(f.reasons.first().contains("no such table"), qPrintable(f.reasons.first()));

    store.reset();
    QVERIFY(!f.tables().contains(table));
    QCOMPARE(f.scalar("SELECT COUNT(*) FROM SM_TO_SP").toInt(), 0); // nothing half-done
}

void TestStoreAccess::valuesRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored"); // through the exec routines
    QTest::newRow("single quote") << "it's"
                                  << "it's";
    QTest::newRow("double quotes") << "say \"hi\""
                                   << "say \u201Chi\u201C";
    QTest::newRow("backslash") << "C:\\dir\\n"
                               << "C:\\dir\\n";
    QTest::newRow("emoji") << "😀👍🏽 ok"
                           << "😀👍🏽 ok";
    QTest::newRow("sql fragment") << "'); DROP TABLE SP_TO_SM; --"
                                  << "'); DROP TABLE SP_TO_SM; --";
    QTest::newRow("quoted fragment") << "\"); DELETE FROM SM_TO_SP; --"
                                     << "\u201C); DELETE FROM SM_TO_SP; --";
    QTest::newRow("placeholder marks") << "?1 :a @b $c ?"
                                       << "?1 :a @b $c ?";
    QTest::newRow("line breaks and nul")
        << QString("a\r\nb") + QChar(0) + "c" << QString("a\r\nb") + QChar(0) + "c";
}

void TestStoreAccess::valuesRoundTrip()
{
    QFETCH(QString, text);
    QFETCH(QString, stored);
    StoreFixture f;
    auto store = f.openStore();
    const QDateTime time(QDate(2024, 1, 2), QTime(3, 4, 5));
    QVERIFY(InsertReceived(*store, text, text, text, time));
    QVERIFY(InsertSentPart(*store, 1, text, text, text, time));
    QVERIFY(EnqueueMessage(*store, "x" + text + "x", "y" + text + "y"));
    QCOMPARE(f.reports, QStringList());

    const QList<QVariantList> received = f.rows("SELECT TP_CS, TP_DA, TP_UD FROM SP_TO_SM");
    QCOMPARE(received.size(), 1);
    QCOMPARE(received.first(), QVariantList({ stored, stored, stored }));
    QCOMPARE(f.rows("SELECT TP_CS, TP_DA, TP_UD FROM SM_TO_SP_RC"),
        QList<QVariantList> { QVariantList({ stored, stored, stored }) });
    // The enqueue statement does not take part in the replacement.
    QCOMPARE(f.rows("SELECT TP_DA, TP_UD FROM SM_TO_SP"),
        QList<QVariantList> { QVariantList({ "x" + text + "x", "y" + text + "y" }) });

    // The forwarding lookup finds a piece whose key holds the same characters.
    QVERIFY(InsertReceived(*store, "c", "1", ":" + text + "&piece", time));
    const auto pieces = ForwardPieces(*store, stored);
    QVERIFY(pieces);
    QCOMPARE(pieces->size(), 1);
    QCOMPARE(pieces->first().text, ":" + stored + "&piece");

    QStringList tables = f.tables();
    tables.removeAll("sqlite_sequence");
    QCOMPARE(tables, AllTables);
}

void TestStoreAccess::reportShowsTheStatementAsRun()
{
    StoreFixture f;
    auto store = f.openStore();
    QVERIFY(!store->ExecViewSQL("INSERT INTO NO_SUCH (a, b, c) VALUES(?,?,?) -- \"note\"",
        { "say \"x\"", 42, QVariant() }));
    QVERIFY(!store->ExecCmdSQL("UPDATE NO_SUCH SET a=? WHERE b='?'", { "it's" }));
    QCOMPARE(f.reports,
        QStringList({ "数据库操作出错！\nINSERT INTO NO_SUCH (a, b, c) VALUES('say "
                      "\u201Cx\u201C',42,NULL) -- \u201Cnote\u201C",
            "数据库操作出错！\nUPDATE NO_SUCH SET a='it's' WHERE b='?'" }));
    QVERIFY(!f.reasons.first().isEmpty());
    // A statement that works reports nothing and returns true.
    QVERIFY(store->ExecCmdSQL("UPDATE SM_TO_SP SET TP_UD=? WHERE ID=?", { "x", 1 }));
    QCOMPARE(f.reports.size(), 2);
}

void TestStoreAccess::closeAndReopen()
{
    StoreFixture f;
    auto store = f.openStore();
    auto *inbox = StoreViews::NewInboxView(*store, store.get());
    QVERIFY(inbox->open());

    store->close();
    QVERIFY(!store->isOpen(TMessageStore::TConnection::Cmd));
    QVERIFY(!store->isOpen(TMessageStore::TConnection::View));
    QVERIFY(!inbox->isOpen());
    QVERIFY(!store->ExecCmdSQL("DELETE FROM SM_TO_SP"));
    QVERIFY(!inbox->open()); // a list needs the view connection
    QCOMPARE(f.reports.size(), 2);
    QCOMPARE(f.reports.first(), QString("数据库操作出错！\nDELETE FROM SM_TO_SP"));

    QVERIFY(store->reopen());
    QVERIFY(store->isOpen(TMessageStore::TConnection::Cmd));
    QVERIFY(store->isOpen(TMessageStore::TConnection::View));
    QVERIFY(store->ExecCmdSQL("DELETE FROM SM_TO_SP"));
    QVERIFY(store->RefreshDataSet(*inbox));
    QVERIFY(inbox->isOpen());
    QCOMPARE(f.reports.size(), 2);
}

void TestStoreAccess::twoStoresOnOneFile()
{
    StoreFixture f;
    auto first = f.openStore();
    auto second = f.openStore();
    QVERIFY(first->connectionName(TMessageStore::TConnection::Cmd)
        != second->connectionName(TMessageStore::TConnection::Cmd));
    QVERIFY(InsertReceived(*first, "c", "1", "from first", QDateTime::currentDateTime()));
    QVERIFY(InsertReceived(*second, "c", "2", "from second", QDateTime::currentDateTime()));
    first.reset();
    QVERIFY(second->isOpen(TMessageStore::TConnection::View));
    QVERIFY(InsertReceived(*second, "c", "3", "after first closed", QDateTime::currentDateTime()));
    QCOMPARE(f.scalar("SELECT COUNT(*) FROM SP_TO_SM").toInt(), 3);
    QCOMPARE(f.reports, QStringList());
}

void TestStoreAccess::dateTimeText_data()
{
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<QString>("text");
    QTest::newRow("afternoon") << QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59))
                               << "2024-12-31 23:59:59";
    QTest::newRow("exactly midnight") << QDateTime(QDate(2024, 3, 1), QTime(0, 0)) << "2024-03-01";
    QTest::newRow("one second past")
        << QDateTime(QDate(2024, 3, 1), QTime(0, 0, 1)) << "2024-03-01 00:00:01";
    QTest::newRow("a millisecond past")
        << QDateTime(QDate(2024, 3, 1), QTime(0, 0, 0, 1)) << "2024-03-01 00:00:00";
}

void TestStoreAccess::dateTimeText()
{
    QFETCH(QDateTime, time);
    QFETCH(QString, text);
    QCOMPARE(StoreText::DateTimeText(time), text);
}

void TestStoreAccess::showStatement_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<QString>("shown");
    QTest::newRow("like pattern")
        << "SELECT TP_DA FROM SP_TO_SM WHERE TP_UD like ':' || ? || '&%'" << QVariantList { "ab?" }
        << "SELECT TP_DA FROM SP_TO_SM WHERE TP_UD like ':' || 'ab?' || '&%'";
    QTest::newRow("marks in literals and brackets")
        << "SELECT '?', [a?] FROM t WHERE x=? AND y=?" << QVariantList { 1, 2.5 }
        << "SELECT '?', [a?] FROM t WHERE x=1 AND y=2.5";
    QTest::newRow("id list") << "delete from SP_TO_SM where id in (?,?,-1)"
                             << QVariantList { qint64(7), qint64(9) }
                             << "delete from SP_TO_SM where id in (7,9,-1)";
}

void TestStoreAccess::showStatement()
{
    QFETCH(QString, statement);
    QFETCH(QVariantList, values);
    QFETCH(QString, shown);
    QCOMPARE(StoreText::ShowStatement(statement, values), shown);
}

QTEST_GUILESS_MAIN(TestStoreAccess)
#include "tst_store_access.moc"
