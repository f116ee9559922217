// The import of contacts from workbooks into a temporary store: the header rule, the rows that
// are skipped, the groups, the failure texts, and the grouping into transactions.

#include "TestWorkbooks.h"
#include "PhoneBookImport.h"
#include "PhoneBookLayout.h"
#include "StoreFixture.h"

#include <QFile>
#include <QTest>

using namespace Contacts;
using Table = QList<QVariantList>;

class TestPhoneBookImport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void headerRule_data();
    void headerRule();
    void importWorkbook_data();
    void importWorkbook();
    void wrongHeaderImportsNothing_data();
    void wrongHeaderImportsNothing();
    void headerOnly_data();
    void headerOnly();
    void unreadableFile();
    void sameWorkbookTwiceAddsNothing();
    void doubleQuotesAreFoundAgain();
    void failedInsertIsSkipped();
    void transactionSizes_data();
    void transactionSizes();

private:
    Table contacts();
    Table groups();

    TestWorkbooks m_books;
    std::unique_ptr<StoreFixture> f;
    std::unique_ptr<TMessageStore> store;
};

void TestPhoneBookImport::initTestCase()
{
    QString error;
    QVERIFY2(m_books.make(&error), qPrintable(error));
}

void TestPhoneBookImport::init()
{
    f = std::make_unique<StoreFixture>();
    store = f->openStore();
    QVERIFY(store->isOpen(TMessageStore::TConnection::Cmd));
}

void TestPhoneBookImport::cleanup()
{
    store.reset();
    f.reset();
}

Table TestPhoneBookImport::contacts()
{
    return f->rows("select FNAME, FMOBILE, FPHONE, FUNIT, FTITLE, FDEMO, FGROUP from PHONE_BOOK "
                   "order by ID");
}

Table TestPhoneBookImport::groups()
{
    return f->rows("select TP_DA from SM_TO_SP_FR order by ID");
}

void TestPhoneBookImport::headerRule_data()
{
    QTest::addColumn<QStringList>("header");
    QTest::addColumn<bool>("ok");
    const QStringList exact = ImportHeader();
    QTest::newRow("exact") << exact << true;
    QTest::newRow("an eighth cell is not looked at") << exact + QStringList { "其他" } << true;
    QStringList changed = exact;
    changed[2] = "电话号码";
    QTest::newRow("电话号码 instead of 电话") << changed << false;
    changed = exact;
    changed[0] = " 姓名";
    QTest::newRow("a blank before") << changed << false;
    changed = exact;
    changed[6] = "通讯组 ";
    QTest::newRow("a blank after") << changed << false;
    changed = exact;
    changed[1] = "　手机号码";
    QTest::newRow("a full-width blank") << changed << false;
    changed = exact;
    std::swap(changed[3], changed[4]);
    QTest::newRow("order") << changed << false;
    QTest::newRow("six cells") << exact.mid(0, 6) << false;
    QTest::newRow("nothing") << QStringList() << false;
}

void TestPhoneBookImport::headerRule()
{
    QFETCH(QStringList, header);
    QFETCH(bool, ok);
    QCOMPARE(ImportHeaderOK(header), ok);
}

void TestPhoneBookImport::importWorkbook_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow(".xls") << "contacts.xls";
    QTest::newRow(".xlsx") << "contacts.xlsx";
}

void TestPhoneBookImport::importWorkbook()
{
    QFETCH(QString, file);
    // Already there: one contact whose number the sheet repeats, and one of its groups.
    QVERIFY(f->exec("insert into PHONE_BOOK (FNAME, FMOBILE, FGROUP) values ('周九', "
                    "'13500135000', '家人')"));
    QVERIFY(f->exec("insert into SM_TO_SP_FR (TP_DA) values ('家人')"));

    const TImportResult result = ImportPhoneBook(*store, m_books.path(file));
    QCOMPARE(result.outcome, TImportOutcome::Imported);
    QCOMPARE(result.message, QString("通讯录导入成功！"));
    QVERIFY(result.reloadLists());
    QCOMPARE(result.dataRows, 13);
    QCOMPARE(result.imported, 6);
    QCOMPARE(result.skippedBlank, 5); // two blank rows, an empty and a blank mobile, the last row
    QCOMPARE(result.skippedDuplicate, 2);
    QCOMPARE(result.failed, 0);
    QCOMPARE(result.groupsCreated, 3);

    const Table expected {
        { "周九", "13500135000", "", "", "", "", "家人" },
        // A number cell gives its digits.
        { "张三", "13800138000", "010-62345678", "北方公司", "经理", "老客户", "同事" },
        // Tested without the trailing blank, stored with it.
        { "赵六", "13900139000 ", "", "", "", "", "同事" },
        // 钱七 repeated 张三's number as text: skipped, and its group 朋友 came from 孙八.
        { "孙八", "13700137000", "", "", "", "", "朋友" },
        // No save rule applies: an empty name and a 10-digit number go in unchanged.
        { "", "1360013600", "", "", "", "", "" },
        { "吴十", "13300133000", "x", "", "", "", "家人" },
        { "郑一", "13200132000", "12345", "", "", "", " 同事" },
    };
    QCOMPARE(contacts(), expected);
    // Each group once, in the order first named; the groups of skipped rows are not made.
    QCOMPARE(groups(), (Table { { "家人" }, { "同事" }, { "朋友" }, { " 同事" } }));
    QCOMPARE(f->reports, QStringList());
}

void TestPhoneBookImport::wrongHeaderImportsNothing_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow(".xls") << "bad_header.xls";
    QTest::newRow(".xlsx") << "bad_header.xlsx";
}

void TestPhoneBookImport::wrongHeaderImportsNothing()
{
    QFETCH(QString, file);
    const TImportResult result = ImportPhoneBook(*store, m_books.path(file));
    QCOMPARE(result.outcome, TImportOutcome::BadHeader);
    QCOMPARE(result.message, QString("导入的数据格式不符合要求，请检查后重新导入！"));
    QVERIFY(!result.reloadLists());
    QCOMPARE(result.dataRows, 0);
    QCOMPARE(contacts(), Table());
    QCOMPARE(groups(), Table());
}

void TestPhoneBookImport::headerOnly_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow(".xls") << "header_only.xls";
    QTest::newRow(".xlsx") << "header_only.xlsx";
}

void TestPhoneBookImport::headerOnly()
{
    QFETCH(QString, file);
    const TImportResult result = ImportPhoneBook(*store, m_books.path(file));
    QCOMPARE(result.outcome, TImportOutcome::Imported);
    QCOMPARE(result.message, QString("通讯录导入成功！"));
    QCOMPARE(result.dataRows, 0);
    QCOMPARE(contacts(), Table());
}

void TestPhoneBookImport::unreadableFile()
{
    const QString path = m_books.path("damaged.xlsx");
    QFile::remove(path);
    QVERIFY(QFile::copy(m_books.path("contacts.xlsx"), path));
    QVERIFY(QFile::resize(path, 200)); // cut short: the zip directory is gone
    for (const QString &file : { path, m_books.path("not-there.xls") }) {
        const TImportResult result = ImportPhoneBook(*store, file);
        QCOMPARE(result.outcome, TImportOutcome::Unreadable);
        QCOMPARE(
            result.message, QString("初始化Excel失败，可能没有装Excel或者其他错误，请重起再试"));
        QVERIFY(!result.reason.isEmpty());
        QVERIFY(!result.reloadLists());
    }
    QCOMPARE(contacts(), Table());
    QCOMPARE(f->reports, QStringList());
}

void TestPhoneBookImport::sameWorkbookTwiceAddsNothing()
{
    const QString path = m_books.path("contacts.xlsx");
    const TImportResult first = ImportPhoneBook(*store, path);
    QCOMPARE(first.imported, 7);
    const Table before = contacts();
    const Table groupsBefore = groups();
    // The contact stored with a trailing blank is found again too.
    const TImportResult second = ImportPhoneBook(*store, path);
    QCOMPARE(second.imported, 0);
    QCOMPARE(second.skippedDuplicate, 8);
    QCOMPARE(second.groupsCreated, 0);
    QCOMPARE(contacts(), before);
    QCOMPARE(groups(), groupsBefore);
}

void TestPhoneBookImport::doubleQuotesAreFoundAgain()
{
    TSheet sheet;
    sheet.rows = { ImportHeader(), { "引号", "1380\"138000", "", "", "", "", "A\"B" } };
    QCOMPARE(ImportRows(*store, sheet).imported, 1);
    // Stored as the exec routine stores every text.
    QCOMPARE(contacts(), (Table { { "引号", "1380“138000", "", "", "", "", "A“B" } }));
    const TImportResult again = ImportRows(*store, sheet);
    QCOMPARE(again.imported, 0);
    QCOMPARE(again.skippedDuplicate, 1);
    QCOMPARE(groups(), Table { { "A“B" } });
}

void TestPhoneBookImport::failedInsertIsSkipped()
{
    TSheet sheet;
    sheet.rows = {
        ImportHeader(),
        { QString(51, u'长'), "13800138000", "", "", "", "", "同事" }, // longer than the column
        { "张三", "13800138000" },
    };
    const TImportResult result = ImportRows(*store, sheet);
    QCOMPARE(result.outcome, TImportOutcome::Imported);
    QCOMPARE(result.message, QString("通讯录导入成功！"));
    QCOMPARE(result.failed, 1);
    QCOMPARE(result.imported, 1);
    QCOMPARE(f->reports.size(), 1);
    QVERIFY(f->reports.first().startsWith("数据库操作出错！\ninsert into phone_book"));
    // The failed row still named its group; the next row with the same number went in.
    QCOMPARE(groups(), Table { { "同事" } });
    QCOMPARE(contacts(), (Table { { "张三", "13800138000", "", "", "", "", "" } }));
}

void TestPhoneBookImport::transactionSizes_data()
{
    QTest::addColumn<int>("rowsPerTransaction");
    QTest::newRow("every row on its own") << 0;
    QTest::newRow("one row each") << 1;
    QTest::newRow("two rows each") << 2;
    QTest::newRow("all at once") << 500;
}

void TestPhoneBookImport::transactionSizes()
{
    QFETCH(int, rowsPerTransaction);
    TSheet sheet;
    sheet.rows = { ImportHeader() };
    // Later rows repeat earlier ones across the transaction boundaries.
    for (int i = 0; i < 7; ++i)
        sheet.rows << QStringList { QStringLiteral("人%1").arg(i),
            QStringLiteral("1380000000%1").arg(i % 4), "", "", "", "",
            QStringLiteral("组%1").arg(i % 3) };
    const TImportResult result = ImportRows(*store, sheet, TImportOptions { rowsPerTransaction });
    QCOMPARE(result.imported, 4);
    QCOMPARE(result.skippedDuplicate, 3);
    QCOMPARE(result.groupsCreated, 3);
    QCOMPARE(f->scalar("select count(*) from PHONE_BOOK").toLongLong(), 4);
    QCOMPARE(groups(), (Table { { "组0" }, { "组1" }, { "组2" } }));
    QCOMPARE(f->reports, QStringList());
    // No transaction is left open on the command connection (a new one can start).
    QVERIFY(store->Run(TMessageStore::TConnection::Cmd, "BEGIN IMMEDIATE"));
    QVERIFY(store->Run(TMessageStore::TConnection::Cmd, "COMMIT"));
}

QTEST_GUILESS_MAIN(TestPhoneBookImport)
#include "tst_phonebook_import.moc"
