// The order pages over a real store: the dialog's parse and save rules, conversion, reminders,
// replies, deletion and the export entry, with every prompt answered by the test.

#include "OrderListPage.h"
#include "OrderPages.h"
#include "OrderViews.h"
#include "StoreStatements.h"
#include "TMessageStore.h"
#include "TStoreQuery.h"
#include "TStoreView.h"
#include "uOrder.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace Orders;

class tst_OrderPages : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void dialogSaveRules_data();
    void dialogSaveRules();
    void parseFailureStillWritesFields();
    void editUpdatesTheRow();
    void convertCreatesOrder();
    void convertCancelledStoresNothing();
    void nothingSelected_data();
    void nothingSelected();
    void listsAndRowNumbers();
    void remindChoosesText_data();
    void remindChoosesText();
    void remindAndReplySeveral();
    void exportMarksExactlyTheExported();
    void exportFailureMarksNothing();
    void deleteHistory_data();
    void deleteHistory();

private:
    qint64 addOrder(const QString &text, const QString &mobile, int status,
        const QString &received = QStringLiteral("2024-01-05 09:30:00"));
    int status(qint64 fid);
    int orderCount();
    void select(TOrderListPage *page, const QList<int> &rows);
    void makePages();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TMessageStore> m_store;
    std::unique_ptr<QWidget> m_newPage;
    std::unique_ptr<QWidget> m_oldPage;
    std::unique_ptr<TOrderPages> m_pages;
    QStringList m_informed;
    QStringList m_failed;
    QStringList m_asked;
    QList<bool> m_answers;
    QStringList m_opened;
    QList<QPair<QString, QString>> m_prefilled;
    int m_shownNew = 0;
    QString m_ok = QStringLiteral("  订单已收到  ");
    QString m_err = QStringLiteral(" 订单格式有误 ");
};

void tst_OrderPages::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_store = std::make_unique<TMessageStore>(m_dir->filePath(QStringLiteral("SMS.db")));
    QVERIFY(m_store->open());
    m_informed.clear();
    m_failed.clear();
    m_asked.clear();
    m_answers.clear();
    m_opened.clear();
    m_prefilled.clear();
    m_shownNew = 0;
    makePages();
}

void tst_OrderPages::cleanup()
{
    m_pages.reset();
    m_newPage.reset();
    m_oldPage.reset();
    m_store.reset();
    m_dir.reset();
}

void tst_OrderPages::makePages()
{
    TOrderHooks hooks;
    hooks.inform = [this](const QString &t) { m_informed.append(t); };
    hooks.fail = [this](const QString &t) { m_failed.append(t); };
    hooks.confirm = [this](const QString &t) {
        m_asked.append(t);
        return m_answers.isEmpty() ? false : m_answers.takeFirst();
    };
    hooks.openDocument = [this](const QString &p) { m_opened.append(p); };
    hooks.prefillCompose = [this](const QString &n, const QString &t) {
        m_prefilled.append({ n, t });
    };
    hooks.reminderOk = [this] { return m_ok; };
    hooks.reminderErr = [this] { return m_err; };
    hooks.showNewOrders = [this] { ++m_shownNew; };
    hooks.now = [] { return QDateTime(QDate(2024, 1, 6), QTime(10, 0, 0)); };
    hooks.appDir = m_dir->path() + u'/';
    m_newPage = std::make_unique<QWidget>();
    m_oldPage = std::make_unique<QWidget>();
    m_pages = std::make_unique<TOrderPages>(*m_store, hooks, m_newPage.get(), m_oldPage.get());
    QVERIFY(m_pages->NewOrdersView()->open());
    QVERIFY(m_pages->HistoryView()->open());
}

qint64 tst_OrderPages::addOrder(
    const QString &text, const QString &mobile, int st, const QString &received)
{
    const ParsedOrder p = ParseOrderText(text);
    TStoreQuery q(*m_store);
    if (!q.open(QStringLiteral("INSERT INTO SALE_ORDER (fmsg,fmobile,frevdate,fdate,fcustname,"
                               "fproduct,fdemo,fstatus) VALUES (?,?,?,?,?,?,?,?)"),
            { p.text, mobile, received, p.deliveryDate, p.customer, p.items, p.remark, st }))
        return 0;
    return q.open(QStringLiteral("SELECT last_insert_rowid() AS n"))
        ? q.intField(QStringLiteral("n"))
        : 0;
}

int tst_OrderPages::status(qint64 fid)
{
    TStoreQuery q(*m_store);
    if (!q.open(QStringLiteral("SELECT fstatus FROM SALE_ORDER WHERE FID=?"), { fid }) || q.atEnd())
        return -1;
    return int(q.intField(QStringLiteral("fstatus")));
}

int tst_OrderPages::orderCount()
{
    TStoreQuery q(*m_store);
    return q.open(QStringLiteral("SELECT COUNT(*) AS n FROM SALE_ORDER"))
        ? int(q.intField(QStringLiteral("n")))
        : -1;
}

void tst_OrderPages::select(TOrderListPage *page, const QList<int> &rows)
{
    QItemSelectionModel *sel = page->grid->selectionModel();
    sel->clearSelection();
    for (int r : rows)
        sel->select(page->grid->model()->index(r, 0),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void tst_OrderPages::dialogSaveRules_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("saved");
    const QString parse = ParseFailureMessage();
    QTest::newRow("good") << QStringLiteral("#D#C#x,1,y;z,2,w;#R#") << QStringList() << true;
    QTest::newRow("full-width") << QStringLiteral("＃D＃C＃x，1，y；#R#") << QStringList() << true;
    QTest::newRow("empty") << QString()
                           << QStringList { parse, QStringLiteral("短信格式错误，发货日期为空！") }
                           << false;
    QTest::newRow("no hash") << QStringLiteral(
        "hello") << QStringList { parse, QStringLiteral("短信格式错误，客户名称为空！") }
                             << false;
    QTest::newRow("no items") << QStringLiteral("#D##x,1,y;#")
                              << QStringList { QStringLiteral("短信格式错误，产品信息为空！") }
                              << false;
    QTest::newRow("two parts") << QStringLiteral(
        "#D#C#x,1;#R#") << QStringList { QStringLiteral("产品信息格式错误，请检查后重新保存！") }
                               << false;
}

void tst_OrderPages::dialogSaveRules()
{
    QFETCH(QString, text);
    QFETCH(QStringList, messages);
    QFETCH(bool, saved);
    TForm1 *dlg = m_pages->Form1;
    dlg->NewOrderFromMessage(
        QStringLiteral("13800000001"), QStringLiteral("x"), QStringLiteral("2024-01-05 09:30:00"));
    dlg->open();
    dlg->memMsg->setPlainText(text);
    QTest::mouseClick(dlg->btnSave, Qt::LeftButton);
    QCOMPARE(m_informed, messages);
    QCOMPARE(orderCount(), saved ? 1 : 0);
    QCOMPARE(dlg->isVisible(), !saved);
    if (saved) {
        TStoreQuery q(*m_store);
        QVERIFY(q.open(QStringLiteral("SELECT * FROM SALE_ORDER")));
        QCOMPARE(q.textField(QStringLiteral("fmsg")), ParseOrderText(text).text);
        QCOMPARE(q.textField(QStringLiteral("fcustname")), QStringLiteral("C"));
        QCOMPARE(q.textField(QStringLiteral("fmobile")), QStringLiteral("13800000001"));
        QCOMPARE(q.intField(QStringLiteral("fstatus")), 0);
    } else {
        dlg->reject();
    }
}

void tst_OrderPages::parseFailureStillWritesFields()
{
    TForm1 *dlg = m_pages->Form1;
    dlg->NewOrderFromMessage(QString(), QStringLiteral("  only a date "), QString());
    QTest::mouseClick(dlg->btnParse, Qt::LeftButton);
    QCOMPARE(m_informed, QStringList { ParseFailureMessage() });
    QCOMPARE(dlg->edtDate->text(), QStringLiteral("only a date"));
    QCOMPARE(orderCount(), 0);

    // Saving with no ";" in the items leaves the parsed fields on show.
    m_informed.clear();
    dlg->memMsg->setPlainText(QStringLiteral("#D#C#x,1,y#R#"));
    QVERIFY(!dlg->btnSaveClick());
    QCOMPARE(m_informed, QStringList { QStringLiteral("产品信息格式错误，请检查后重新保存！") });
    QCOMPARE(dlg->edtCustName->text(), QStringLiteral("C"));
    QCOMPARE(dlg->memProduct->toPlainText(), QStringLiteral("x,1,y"));
    QCOMPARE(dlg->memDemo->toPlainText(), QStringLiteral("R"));
    QCOMPARE(orderCount(), 0);
}

void tst_OrderPages::editUpdatesTheRow()
{
    const qint64 fid = addOrder(QStringLiteral("#D#C#x,1,y;#"), QStringLiteral("139"), 0);
    m_store->RefreshDataSet(*m_pages->NewOrdersView());
    select(m_pages->NewOrdersPage, { 0 });
    m_pages->EditOrder();
    TForm1 *dlg = m_pages->Form1;
    QVERIFY(dlg->isVisible());
    QCOMPARE(dlg->memMsg->toPlainText(), QStringLiteral("#D#C#x,1,y;#"));
    dlg->memMsg->setPlainText(QStringLiteral("#D2#O'Brien#a,2,b;#note#"));
    QVERIFY(dlg->btnSaveClick());
    QVERIFY(!dlg->isVisible());
    QCOMPARE(orderCount(), 1);
    TStoreQuery q(*m_store);
    QVERIFY(q.open(QStringLiteral("SELECT * FROM SALE_ORDER WHERE FID=?"), { fid }));
    QCOMPARE(q.textField(QStringLiteral("fcustname")), QStringLiteral("O'Brien"));
    QCOMPARE(q.textField(QStringLiteral("fdemo")), QStringLiteral("note"));
    QCOMPARE(q.textField(QStringLiteral("fmobile")), QStringLiteral("139"));
    // The list was reopened after the dialog closed.
    QCOMPARE(m_pages->NewOrdersView()->index(0, colCustomer).data().toString(),
        QStringLiteral("O'Brien"));
}

void tst_OrderPages::convertCreatesOrder()
{
    m_pages->ConvertMessage({ QStringLiteral(" 13800000002 "), QStringLiteral("x") },
        { QStringLiteral(" #D#C#x,1,y;#R# ") }, { QStringLiteral("2024-01-05 09:30:00") });
    TForm1 *dlg = m_pages->Form1;
    QVERIFY(dlg->isVisible());
    QCOMPARE(dlg->memMsg->toPlainText(), QStringLiteral("#D#C#x,1,y;#R#"));
    QVERIFY(dlg->btnSaveClick());
    QCOMPARE(m_shownNew, 1);
    TStoreView *v = m_pages->NewOrdersView();
    QCOMPARE(v->rowCount(), 1);
    QCOMPARE(v->index(0, colMobile).data().toString(), QStringLiteral("13800000002"));
    QCOMPARE(v->index(0, colReceived).data().toString(), QStringLiteral("2024-01-05 09:30:00"));
    QCOMPARE(v->index(0, colProduct).data().toString(), QStringLiteral("x,1,y;"));
    QCOMPARE(v->index(0, colDemo).data().toString(), QStringLiteral("R"));
}

void tst_OrderPages::convertCancelledStoresNothing()
{
    m_pages->ConvertMessage({ QStringLiteral("1") }, { QStringLiteral("#D#C#x,1,y;#") },
        { QStringLiteral("2024-01-05 09:30:00") });
    QTest::mouseClick(m_pages->Form1->btnCancel, Qt::LeftButton);
    QVERIFY(!m_pages->Form1->isVisible());
    QCOMPARE(orderCount(), 0);
    QCOMPARE(m_shownNew, 1);
}

void tst_OrderPages::nothingSelected_data()
{
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("message");
    QTest::newRow("edit") << 0 << QStringLiteral("请选择需要修改的订单！");
    QTest::newRow("convert") << 1 << QStringLiteral("请选择需要转换的短信！");
    QTest::newRow("remind") << 2 << QStringLiteral("请选择需要进行短信提醒的订单！");
    QTest::newRow("reply") << 3 << QStringLiteral("请选择需要进行短信回复的历史订单！");
    QTest::newRow("delete") << 4 << QStringLiteral("请选择需要删除的历史订单！");
    QTest::newRow("export") << 5 << QStringLiteral("没有需要导出的数据！");
}

void tst_OrderPages::nothingSelected()
{
    QFETCH(int, action);
    QFETCH(QString, message);
    addOrder(QStringLiteral("#D#C#x,1,y;#"), QStringLiteral("1"), 0);
    addOrder(QStringLiteral("#D#C#x,1,y;#"), QStringLiteral("2"), 1);
    m_store->RefreshDataSet(*m_pages->NewOrdersView());
    m_store->RefreshDataSet(*m_pages->HistoryView());
    switch (action) {
    case 0:
        m_pages->EditOrder();
        break;
    case 1:
        m_pages->ConvertMessage({}, {}, {});
        break;
    case 2:
        m_pages->actRemind->trigger();
        break;
    case 3:
        m_pages->actReply->trigger();
        break;
    case 4:
        m_pages->actDelete->trigger();
        break;
    case 5:
        m_pages->actExport->trigger();
        break;
    }
    QCOMPARE(m_informed, QStringList { message });
    QVERIFY(m_asked.isEmpty());
    QVERIFY(m_prefilled.isEmpty());
    QVERIFY(!m_pages->Form1->isVisible());
    QCOMPARE(orderCount(), 2);
    QCOMPARE(status(1), 0);
}

void tst_OrderPages::listsAndRowNumbers()
{
    TStoreQuery q(*m_store);
    QVERIFY(q.open(QStringLiteral("INSERT INTO PHONE_BOOK (FNAME,FMOBILE) VALUES ('张三','137')")));
    addOrder(QStringLiteral("#D#A#x,1,y;#"), QStringLiteral("137"), 0);
    const qint64 noRemark = addOrder(QStringLiteral("#D#B#x,1,y;#"), QStringLiteral("1"), 0);
    addOrder(QStringLiteral("#D#Old#x,1,y;#"), QStringLiteral("1"), 1);
    QVERIFY(q.open(QStringLiteral("UPDATE SALE_ORDER SET fdemo=NULL WHERE FID=?"), { noRemark }));
    m_store->RefreshDataSet(*m_pages->NewOrdersView());
    TStoreView *v = m_pages->NewOrdersView();
    const QStringList captions { QStringLiteral("客户名称"), QStringLiteral("姓名"),
        QStringLiteral("信息内容"), QStringLiteral("手机号码"), QStringLiteral("接收时间"),
        QStringLiteral("fdate"), QStringLiteral("fproduct"), QStringLiteral("fdemo"),
        QStringLiteral("FID") };
    QCOMPARE(v->columnCount(), captions.size());
    for (int c = 0; c < captions.size(); ++c)
        QCOMPARE(v->headerData(c, Qt::Horizontal).toString(), captions.at(c));
    QCOMPARE(v->rowCount(), 2); // newest first, history apart
    QCOMPARE(v->index(0, colCustomer).data().toString(), QStringLiteral("B"));
    QVERIFY(!v->index(0, colDemo).data().isNull());
    QCOMPARE(v->index(0, colDemo).data().toString(), QString());
    QCOMPARE(v->index(1, colName).data().toString(), QStringLiteral("张三"));
    QCOMPARE(m_pages->HistoryView()->rowCount(), 0); // not reopened yet
    TOrderListPage *page = m_pages->NewOrdersPage;
    QVERIFY(page->grid->isColumnHidden(colFid));
    QVERIFY(!page->grid->isColumnHidden(colText));
    QCOMPARE(page->footer->text(), QStringLiteral("记录数：2"));
    QCOMPARE(page->rowHeader->rowText(0), QStringLiteral("2"));
    QCOMPARE(page->rowHeader->rowText(1), QStringLiteral("1"));
    QCOMPARE(page->corner->text(), QStringLiteral("序号"));
    QCOMPARE(page->rowHeader->width(), 35);
    QVERIFY(m_pages->HistoryPage->grid->verticalHeader()->isHidden());
}

void tst_OrderPages::remindChoosesText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("wellFormed");
    QTest::newRow("well formed") << QStringLiteral("#D#C#x,1,y;#") << true;
    QTest::newRow("no opening #") << QStringLiteral("D#C#x,1,y;#") << false;
    QTest::newRow("no closing #") << QStringLiteral("#D#C#x,1,y;") << false;
}

void tst_OrderPages::remindChoosesText()
{
    QFETCH(QString, text);
    QFETCH(bool, wellFormed);
    TStoreQuery q(*m_store);
    QVERIFY(q.open(QStringLiteral("INSERT INTO SALE_ORDER (fmsg,fmobile) VALUES (?,?)"),
        { text, QStringLiteral("13800000003") }));
    m_store->RefreshDataSet(*m_pages->NewOrdersView());
    select(m_pages->NewOrdersPage, { 0 });
    m_pages->actRemind->trigger();
    QCOMPARE(m_prefilled.size(), 1);
    QCOMPARE(m_prefilled.first().first, QStringLiteral("13800000003"));
    QCOMPARE(m_prefilled.first().second,
        wellFormed ? QStringLiteral("订单已收到") : QStringLiteral("订单格式有误"));
}

void tst_OrderPages::remindAndReplySeveral()
{
    for (const char *n : { "111", "222", "333" })
        addOrder(QStringLiteral("#D#C#x,1,y;#"), QLatin1String(n), 0);
    for (const char *n : { "444", "555", "444" })
        addOrder(QStringLiteral("#D#C#x,1,y;#"), QLatin1String(n), 1);
    m_store->RefreshDataSet(*m_pages->NewOrdersView());
    m_store->RefreshDataSet(*m_pages->HistoryView());
    select(m_pages->NewOrdersPage, { 2, 0, 1 });
    m_pages->actRemind->trigger();
    select(m_pages->HistoryPage, { 0, 1, 2 });
    m_pages->actReply->trigger();
    QCOMPARE(m_prefilled.size(), 2);
    QCOMPARE(m_prefilled.at(0), qMakePair(QStringLiteral("111,333,222"), QString()));
    QCOMPARE(m_prefilled.at(1), qMakePair(QStringLiteral("444,555,444"), QString()));
}

void tst_OrderPages::exportMarksExactlyTheExported()
{
    const QString home = m_dir->path() + u'/';
    QVERIFY(QDir(home).mkpath(QStringLiteral("templatefile")));
    QVERIFY(QDir(home).mkpath(QStringLiteral("exportfile")));
    QVERIFY(QFile::copy(QStringLiteral(ORDERS_TEMPLATE_DIR "/订单模版.xlsx"),
        home + QStringLiteral("templatefile/订单模版.xlsx")));
    const qint64 a = addOrder(QStringLiteral("#D#A#x,1,y;#"), QStringLiteral("1"), 0);
    const qint64 b = addOrder(QStringLiteral("#D#B#x,1,y;z,2,w;#"), QStringLiteral("2"), 0);
    const qint64 c = addOrder(QStringLiteral("#D#C#x,1,y;#"), QStringLiteral("3"), 0);
    m_store->RefreshDataSet(*m_pages->NewOrdersView());
    m_pages->HistoryView()->close();
    select(m_pages->NewOrdersPage, { 0, 2 }); // c, then a
    m_pages->actExport->trigger();
    QVERIFY2(m_failed.isEmpty(), qPrintable(m_failed.join(u'\n')));
    const QString file = home + QStringLiteral("exportfile/20240106100000.xlsx");
    QCOMPARE(m_opened, QStringList { file });
    QVERIFY(QFile::exists(file));
    QCOMPARE(status(a), 1);
    QCOMPARE(status(b), 0);
    QCOMPARE(status(c), 1);
    // Both lists show the store as it is now.
    QCOMPARE(m_pages->NewOrdersView()->rowCount(), 1);
    QCOMPARE(m_pages->NewOrdersView()->index(0, colFid).data().toLongLong(), b);
    QVERIFY(m_pages->HistoryView()->isOpen());
    QCOMPARE(m_pages->HistoryView()->rowCount(), 2);
    QCOMPARE(m_pages->NewOrdersPage->footer->text(), QStringLiteral("记录数：1"));
}

void tst_OrderPages::exportFailureMarksNothing()
{
    // No template: the export stops with the reason and no order is marked.
    const qint64 a = addOrder(QStringLiteral("#D#A#x,1,y;#"), QStringLiteral("1"), 0);
    m_store->RefreshDataSet(*m_pages->NewOrdersView());
    select(m_pages->NewOrdersPage, { 0 });
    m_pages->actExportPrice->trigger();
    QCOMPARE(m_failed.size(), 1);
    QVERIFY(!m_failed.first().isEmpty());
    QVERIFY(m_opened.isEmpty());
    QCOMPARE(status(a), 0);
}

void tst_OrderPages::deleteHistory_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void tst_OrderPages::deleteHistory()
{
    QFETCH(bool, yes);
    const qint64 keptNew = addOrder(QStringLiteral("#D#N#x,1,y;#"), QStringLiteral("1"), 0);
    const qint64 old1 = addOrder(QStringLiteral("#D#O1#x,1,y;#"), QStringLiteral("2"), 1);
    const qint64 old2 = addOrder(QStringLiteral("#D#O2#x,1,y;#"), QStringLiteral("3"), 1);
    const qint64 old3 = addOrder(QStringLiteral("#D#O3#x,1,y;#"), QStringLiteral("4"), 1);
    m_store->RefreshDataSet(*m_pages->HistoryView());
    select(m_pages->HistoryPage, { 0, 2 }); // old3 and old1
    // Another order arrives in the history meanwhile: the reopened list shows it either way.
    addOrder(QStringLiteral("#D#O4#x,1,y;#"), QStringLiteral("5"), 1);
    m_answers = { yes };
    m_pages->actDelete->trigger();
    QCOMPARE(m_asked, QStringList { QStringLiteral("所选订单将被删除，是否确定？") });
    QCOMPARE(
        m_informed, yes ? QStringList { QStringLiteral("所选订单已经删除！") } : QStringList());
    QCOMPARE(status(old1), yes ? -1 : 1);
    QCOMPARE(status(old2), 1);
    QCOMPARE(status(old3), yes ? -1 : 1);
    QCOMPARE(status(keptNew), 0);
    QCOMPARE(m_pages->HistoryView()->rowCount(), yes ? 2 : 4);
}

QTEST_MAIN(tst_OrderPages)
#include "tst_order_pages.moc"
