// The contact pages and the recipient dialog over a temporary store: the save rules shown with
// their message and focused field, nothing written on a refusal, and the picked numbers.

#include "StoreFixture.h"
#include "StoreViews.h"
#include "TContactPages.h"
#include "TEditGrid.h"
#include "TGridDelegate.h"
#include "uPhone.h"

#include <QItemSelectionModel>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>

using namespace Contacts;

class TestContactPages : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void contactSaveRules_data();
    void contactSaveRules();
    void resaveOwnNumberAndDuplicate();
    void groupNameRequired();
    void groupDropDownOffersGroups();
    void recipientsPicked();

private:
    void typeRow(TEditGrid *grid, int row, const QVariantMap &values);

    std::unique_ptr<StoreFixture> f;
    std::unique_ptr<TMessageStore> store;
    std::unique_ptr<QWidget> groupPage, contactsPage;
    TStoreEditView *groups = nullptr;
    TStoreEditView *contacts = nullptr;
    std::unique_ptr<TContactPages> pages;
    QStringList shown;
};

void TestContactPages::init()
{
    f = std::make_unique<StoreFixture>();
    store = f->openStore();
    QVERIFY(f->exec("insert into SM_TO_SP_FR(TP_DA) values('同事')"));
    QVERIFY(f->exec(
        "insert into PHONE_BOOK(FNAME,FMOBILE,FGROUP) values('张三','13800138000','同事')"));
    QVERIFY(
        f->exec("insert into PHONE_BOOK(FNAME,FMOBILE,FGROUP) values('李四','13900139000','')"));
    groups = StoreViews::NewGroupsView(*store, store.get());
    contacts = StoreViews::NewContactsView(*store, store.get());
    QVERIFY(groups->open());
    QVERIFY(contacts->open());
    groupPage = std::make_unique<QWidget>();
    contactsPage = std::make_unique<QWidget>();
    shown.clear();
    TContactCallbacks callbacks;
    callbacks.inform = [this](const QString &t) { shown << t; };
    pages = std::make_unique<TContactPages>(
        *store, groups, contacts, groupPage.get(), contactsPage.get(), callbacks);
}

void TestContactPages::cleanup()
{
    pages.reset();
    groupPage.reset();
    contactsPage.reset();
    store.reset();
    f.reset();
}

void TestContactPages::typeRow(TEditGrid *grid, int row, const QVariantMap &values)
{
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        const int column = grid->model()->fieldIndex(it.key());
        QVERIFY(column >= 0);
        QVERIFY(grid->model()->setData(grid->model()->index(row, column), it.value()));
    }
}

void TestContactPages::contactSaveRules_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("mobile");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("field");
    QTest::newRow("both empty: name first") << ""
                                            << ""
                                            << "姓名不能为空，请修改后保存！"
                                            << "姓名";
    QTest::newRow("no mobile") << "王五"
                               << ""
                               << "手机号码不能为空，请修改后保存！"
                               << "手机号码";
    QTest::newRow("10 characters") << "王五"
                                   << "1370013700"
                                   << "手机号码长度为11位，请修改后保存！"
                                   << "手机号码";
    QTest::newRow("12 characters") << "王五"
                                   << "137001370001"
                                   << "手机号码长度为11位，请修改后保存！"
                                   << "手机号码";
    QTest::newRow("blank counts") << "王五"
                                  << "1370013700 "
                                  << ""
                                  << "";
    QTest::newRow("another's number") << "王五"
                                      << "13800138000"
                                      << "手机号码重复，请修改后保存！"
                                      << "手机号码";
    QTest::newRow("accepted") << "王五"
                              << "13700137000"
                              << ""
                              << "";
}

void TestContactPages::contactSaveRules()
{
    QFETCH(QString, name);
    QFETCH(QString, mobile);
    QFETCH(QString, message);
    QFETCH(QString, field);
    TEditGrid *grid = pages->ContactGrid;
    grid->Insert();
    const int row = grid->model()->editRow();
    QCOMPARE(row, 2);
    QCOMPARE(grid->grid()->currentIndex().column(), grid->model()->fieldIndex("通讯组"));
    typeRow(grid, row, { { "姓名", name }, { "手机号码", mobile } });
    const bool saved = grid->Post();
    const qint64 count = f->scalar("select count(*) from PHONE_BOOK").toLongLong();
    if (message.isEmpty()) {
        QVERIFY(saved);
        QVERIFY(shown.isEmpty());
        QCOMPARE(count, 3);
        QCOMPARE(f->scalar("select FMOBILE from PHONE_BOOK where FNAME='王五'").toString(), mobile);
        return;
    }
    QVERIFY(!saved);
    QCOMPARE(shown, QStringList { message });
    QCOMPARE(count, 2); // nothing written
    QVERIFY(grid->model()->isEditing()); // the row stays in editing with what was typed
    QCOMPARE(grid->model()->value(row, "手机号码").toString(), mobile);
    QCOMPARE(grid->grid()->currentIndex().row(), row);
    QCOMPARE(grid->grid()->currentIndex().column(), grid->model()->fieldIndex(field));
    grid->Cancel();
    QCOMPARE(grid->model()->rowCount(), 2);
}

void TestContactPages::resaveOwnNumberAndDuplicate()
{
    TEditGrid *grid = pages->ContactGrid;
    const int zhang = grid->model()->value(0, "姓名") == "张三" ? 0 : 1;
    const int li = 1 - zhang;
    typeRow(grid, zhang, { { "姓名", "张三丰" } }); // own number kept
    QVERIFY(grid->Post());
    QCOMPARE(f->scalar("select FNAME from PHONE_BOOK where FMOBILE='13800138000'").toString(),
        QStringLiteral("张三丰"));
    const int row = grid->model()->value(0, "手机号码") == "13900139000" ? 0 : 1;
    Q_UNUSED(li);
    typeRow(grid, row, { { "手机号码", "13800138000" } });
    QVERIFY(!grid->Post());
    QCOMPARE(shown, QStringList { "手机号码重复，请修改后保存！" });
    QCOMPARE(f->scalar("select count(*) from PHONE_BOOK where FMOBILE='13800138000'").toInt(), 1);
}

void TestContactPages::groupNameRequired()
{
    TEditGrid *grid = pages->GroupGrid;
    grid->Insert();
    const int row = grid->model()->editRow();
    typeRow(grid, row, { { "备注", "无名" } });
    QVERIFY(!grid->Post());
    QCOMPARE(shown, QStringList { "通讯组名称不能为空，请修改后保存！" });
    QCOMPARE(grid->grid()->currentIndex().column(), grid->model()->fieldIndex("组名称"));
    typeRow(grid, row, { { "组名称", "同事" } }); // a duplicate name is allowed
    QVERIFY(grid->Post());
    QCOMPARE(f->scalar("select count(*) from SM_TO_SP_FR where TP_DA='同事'").toInt(), 2);
    QVERIFY(grid->grid()->isColumnHidden(grid->model()->fieldIndex("ID")));
    QCOMPARE(grid->grid()->columnWidth(grid->model()->fieldIndex("组名称")), 200);
}

void TestContactPages::groupDropDownOffersGroups()
{
    QCOMPARE(pages->ContactGrid->delegate()->groupNames(), (QStringList { "", "同事" }));
    QCOMPARE(pages->ContactGrid->grid()->columnWidth(contacts->fieldIndex("工作单位")), 300);
    QCOMPARE(pages->N2->text(), QStringLiteral("导入通讯录"));
}

void TestContactPages::recipientsPicked()
{
    TContactCallbacks callbacks;
    callbacks.inform = [this](const QString &t) { shown << t; };
    TfSeleMan dialog(*store, callbacks);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("选择短信接收人"));
    dialog.open();
    QVERIFY(dialog.ADODataSet1->isOpen());
    dialog.Button1Click(); // nothing selected
    QCOMPARE(shown, QStringList { "请选择短信接收人！" });
    QVERIFY(dialog.isVisible());
    dialog.SortByGroup(Qt::DescendingOrder); // 同事 before the empty group
    dialog.grid->selectAll();
    dialog.Button1Click();
    QCOMPARE(dialog.SelectedNumbers(), QStringLiteral("13800138000,13900139000"));
    QVERIFY(!dialog.isVisible());
    QVERIFY(!dialog.ADODataSet1->isOpen());

    dialog.open(); // a cancel after a selection returns nothing
    QVERIFY(dialog.SelectedNumbers().isEmpty());
    dialog.FilterGroup(QStringLiteral("同事"));
    QCOMPARE(dialog.rows->rowCount(), 1);
    dialog.Button2Click();
    QVERIFY(dialog.SelectedNumbers().isEmpty());
}

QTEST_MAIN(TestContactPages)
#include "tst_contact_pages.moc"
