// The save rules of the phone-book and group rows, MobileExists and EnsureGroup, on a
// temporary store.

#include "ContactRules.h"
#include "ContactStore.h"
#include "StoreFixture.h"

#include <QTest>

using namespace Contacts;

namespace {

const char *const NameEmpty = "姓名不能为空，请修改后保存！";
const char *const MobileEmpty = "手机号码不能为空，请修改后保存！";
const char *const MobileLengthWrong = "手机号码长度为11位，请修改后保存！";
const char *const MobileTaken = "手机号码重复，请修改后保存！";

} // namespace

class TestContactRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void rulesInOrder_data();
    void rulesInOrder();
    void duplicateRule_data();
    void duplicateRule();
    void failingDuplicateTestLetsTheRowPass();
    void groupRowNeedsAName();
    void ensureGroupCreatesOnce();
    void ensureGroupFindsWhatItStored();
    void ensureGroupFailure();

private:
    qint64 addContact(const QString &name, const QString &mobile);
    qint64 groupCount(const QString &name);

    std::unique_ptr<StoreFixture> f;
    std::unique_ptr<TMessageStore> store;
    qint64 m_first = 0; // 13800138000
    qint64 m_second = 0; // 13900139000
};

void TestContactRules::init()
{
    f = std::make_unique<StoreFixture>();
    store = f->openStore();
    QVERIFY(store->isOpen(TMessageStore::TConnection::Cmd));
    m_first = addContact("张三", "13800138000");
    m_second = addContact("李四", "13900139000");
    QVERIFY(m_first > 0 && m_second > m_first);
    // The import stores numbers of any length.
    QVERIFY(addContact("导入", "1360013600") > 0);
}

void TestContactRules::cleanup()
{
    store.reset();
    f.reset();
}

qint64 TestContactRules::addContact(const QString &name, const QString &mobile)
{
    if (!f->exec("insert into PHONE_BOOK (FNAME, FMOBILE) values (?, ?)", { name, mobile }))
        return 0;
    return f->scalar("select max(ID) from PHONE_BOOK").toLongLong();
}

qint64 TestContactRules::groupCount(const QString &name)
{
    return f->scalar("select count(*) from SM_TO_SP_FR where TP_DA=?", { name }).toLongLong();
}

void TestContactRules::rulesInOrder_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("mobile");
    QTest::addColumn<QString>("message"); // empty: accepted
    QTest::addColumn<QString>("field");
    QTest::newRow("both empty: the name first") << ""
                                                << "" << NameEmpty << "姓名";
    QTest::newRow("empty name") << ""
                                << "13700137000" << NameEmpty << "姓名";
    QTest::newRow("empty mobile") << "王五"
                                  << "" << MobileEmpty << "手机号码";
    QTest::newRow("10 characters") << "王五"
                                   << "1370013700" << MobileLengthWrong << "手机号码";
    QTest::newRow("12 characters") << "王五"
                                   << "137001370000" << MobileLengthWrong << "手机号码";
    QTest::newRow("11 with a blank is 12") << "王五"
                                           << "13700137000 " << MobileLengthWrong << "手机号码";
    QTest::newRow("short and taken: length first")
        << "王五"
        << "1360013600" << MobileLengthWrong << "手机号码";
    QTest::newRow("taken by another contact") << "王五"
                                              << "13800138000" << MobileTaken << "手机号码";
    QTest::newRow("new number") << "王五"
                                << "13700137000"
                                << ""
                                << "";
    // The rules look at lengths only; blanks are characters and are not trimmed away.
    QTest::newRow("blank name is a name") << " "
                                          << "13700137000"
                                          << ""
                                          << "";
    QTest::newRow("11 characters, a blank among them") << "王五"
                                                       << " 1370013700"
                                                       << ""
                                                       << "";
    QTest::newRow("letters count too") << "王五"
                                       << "abcdefghijk"
                                       << ""
                                       << "";
    QTest::newRow("a character beyond the basic plane is one")
        << "王五" << QString::fromUtf8("1370013700😀") << ""
        << "";
}

void TestContactRules::rulesInOrder()
{
    QFETCH(QString, name);
    QFETCH(QString, mobile);
    QFETCH(QString, message);
    QFETCH(QString, field);
    const qint64 before = f->scalar("select count(*) from PHONE_BOOK").toLongLong();
    const TSaveCheck check = CheckContactSave(*store, name, mobile, 0);
    QCOMPARE(check.accepted, message.isEmpty());
    QCOMPARE(check.message, message);
    QCOMPARE(check.field, field);
    // Rules 1 to 3 alone give the same answer wherever they refuse.
    const TSaveCheck fields = CheckContactFields(name, mobile);
    if (!fields.accepted)
        QCOMPARE(fields.message, message);
    QCOMPARE(f->scalar("select count(*) from PHONE_BOOK").toLongLong(), before);
    QCOMPARE(f->reports, QStringList());
}

void TestContactRules::duplicateRule_data()
{
    QTest::addColumn<QString>("mobile");
    QTest::addColumn<int>("row"); // 0 new, 1 first contact, 2 second contact
    QTest::addColumn<bool>("accepted");
    QTest::newRow("re-save with its own number") << "13800138000" << 1 << true;
    QTest::newRow("another contact's number") << "13900139000" << 1 << false;
    QTest::newRow("new row with a stored number") << "13800138000" << 0 << false;
    QTest::newRow("second contact keeps its own") << "13900139000" << 2 << true;
    QTest::newRow("exact match only") << "13800138001" << 1 << true;
}

void TestContactRules::duplicateRule()
{
    QFETCH(QString, mobile);
    QFETCH(int, row);
    QFETCH(bool, accepted);
    const qint64 id = row == 1 ? m_first : row == 2 ? m_second : 0;
    const TSaveCheck check = CheckContactSave(*store, "张三", mobile, id);
    QCOMPARE(check.accepted, accepted);
    QCOMPARE(check.message, accepted ? QString() : QString(MobileTaken));
    QCOMPARE(MobileExists(*store, mobile, id), !accepted);
    QCOMPARE(f->reports, QStringList());
}

void TestContactRules::failingDuplicateTestLetsTheRowPass()
{
    QVERIFY(f->exec("drop table PHONE_BOOK"));
    QVERIFY(!MobileExists(*store, "13800138000", 0));
    QCOMPARE(f->reports.size(), 1);
    QVERIFY(f->reports.first().startsWith("数据库操作出错！\nselect id from PHONE_BOOK"));
    QVERIFY(f->reports.first().contains("'13800138000'"));

    f->reports.clear();
    const TSaveCheck check = CheckContactSave(*store, "张三", "13800138000", m_first);
    QVERIFY(check.accepted);
    QCOMPARE(f->reports.size(), 1);
}

void TestContactRules::groupRowNeedsAName()
{
    const TSaveCheck empty = CheckGroupSave("");
    QVERIFY(!empty.accepted);
    QCOMPARE(empty.message, QString("通讯组名称不能为空，请修改后保存！"));
    QCOMPARE(empty.field, QString("组名称"));
    QVERIFY(CheckGroupSave(" ").accepted);
    // Names need not be unique.
    QVERIFY(f->exec("insert into SM_TO_SP_FR (TP_DA) values ('同事')"));
    QVERIFY(CheckGroupSave("同事").accepted);
}

void TestContactRules::ensureGroupCreatesOnce()
{
    // Two groups of the same name, as the grid may save them: the first is found.
    QVERIFY(
        f->exec("insert into SM_TO_SP_FR (TP_DA, TP_UD) values ('同事', '一'), ('同事', '二')"));
    // A failed queue message is a group named by its number.
    QVERIFY(
        f->exec("insert into SM_TO_SP_FR (MS_ID, TP_DA, TP_UD) values (7, '13600136000', 'x')"));

    QCOMPARE(EnsureGroup(*store, "同事"), TGroupOutcome::Present);
    QCOMPARE(groupCount("同事"), 2);
    QCOMPARE(EnsureGroup(*store, "13600136000"), TGroupOutcome::Present);

    QCOMPARE(EnsureGroup(*store, "朋友"), TGroupOutcome::Created);
    QCOMPARE(EnsureGroup(*store, "朋友"), TGroupOutcome::Present);
    QCOMPARE(groupCount("朋友"), 1);
    // Only the name is written.
    QCOMPARE(f->scalar("select MS_ID is null and TP_UD is null from SM_TO_SP_FR where "
                       "TP_DA='朋友'")
                 .toInt(),
        1);

    // Compared and stored as given: a blank makes another name.
    QCOMPARE(EnsureGroup(*store, " 同事"), TGroupOutcome::Created);
    QCOMPARE(groupCount(" 同事"), 1);
    QCOMPARE(f->reports, QStringList());
}

void TestContactRules::ensureGroupFindsWhatItStored()
{
    // The exec routine stores a double quote as “; asking again for the same name finds it.
    QCOMPARE(EnsureGroup(*store, "A\"B"), TGroupOutcome::Created);
    QCOMPARE(EnsureGroup(*store, "A\"B"), TGroupOutcome::Present);
    QCOMPARE(groupCount("A“B"), 1);
    QCOMPARE(f->scalar("select count(*) from SM_TO_SP_FR").toLongLong(), 1);
    // A name saved from the grid keeps its quote and is found as it is.
    QVERIFY(f->exec("insert into SM_TO_SP_FR (TP_DA) values ('C\"D')"));
    QCOMPARE(EnsureGroup(*store, "C\"D"), TGroupOutcome::Present);
    QCOMPARE(f->reports, QStringList());
}

void TestContactRules::ensureGroupFailure()
{
    QVERIFY(f->exec("drop table SM_TO_SP_FR"));
    QCOMPARE(EnsureGroup(*store, "同事"), TGroupOutcome::Failed);
    // The presence query and the insert are both reported.
    QCOMPARE(f->reports.size(), 2);
    QVERIFY(f->reports.at(0).contains("SM_TO_SP_FR WHERE TP_DA='同事'"));
    QVERIFY(f->reports.at(1).startsWith(
        "数据库操作出错！\ninsert into SM_TO_SP_FR(TP_DA) values('同事')"));
}

QTEST_GUILESS_MAIN(TestContactRules)
#include "tst_contact_rules.moc"
