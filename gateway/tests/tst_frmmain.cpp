// The main window, offscreen: start-up defaults, the set-up, a typed send, the message lists
// with their prompts, the page switching and closing.

#include "GatewayFixture.h"
#include "MessageListPage.h"
#include "PduCodec.h"
#include "SMSMain.h"
#include "SendPage.h"
#include "SettingsPage.h"
#include "SignaturePage.h"
#include "StatusLight.h"
#include "StoreStatements.h"
#include "TStoreQuery.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

using namespace Gateway;

namespace {

const QString Zh68 = QStringLiteral("测").repeated(68);

struct TSent {
    QString number;
    QString text;
};

// The parts as they went out on the wire, decoded from the PDUs.
QList<TSent> sentParts(const TAnsweringModem &modem)
{
    QList<TSent> parts;
    for (const QByteArray &w : modem.writes) {
        if (!w.endsWith('\x1A'))
            continue;
        const Pdu::TDecodeResult r = Pdu::Decode(QString::fromLatin1(w.chopped(1)));
        parts.append({ r.ok() ? r.pdu->number : QString(), r.ok() ? r.pdu->text : QString() });
    }
    return parts;
}

QAction *action(QWidget *page, const char *name)
{
    return page->findChild<QAction *>(QLatin1String(name));
}

} // namespace

class TestFrmMain : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void noConfigGivesDefaults();
    void setUpSucceeds();
    void setUpFails_data();
    void setUpFails();
    void portPositionFromTheFile();
    void autoInitSetsUpOnShow();
    void inputFilters();
    void typedSendGoesOutInOrder();
    void emptyFieldsAreRefused_data();
    void emptyFieldsAreRefused();
    void exportAndDeleteInbox();
    void deleteOutbox();
    void pageSwitchOpensOnlyTheFrontList();
    void signatureAndPrefill();
    void closingAsksAndIsSafeDuringASend();

private:
    void makeWindow();
    void setUp();
    void addInbox(const QStringList &texts);
    qint64 count(const QString &table);

    std::unique_ptr<TGatewayFixture> f;
    std::unique_ptr<TfrmMain> w;
};

void TestFrmMain::init()
{
    f = std::make_unique<TGatewayFixture>();
    QVERIFY(f->dir.isValid());
}

void TestFrmMain::cleanup()
{
    w.reset();
    f.reset();
}

void TestFrmMain::makeWindow()
{
    w = std::make_unique<TfrmMain>(f->Options());
}

void TestFrmMain::setUp()
{
    w->show();
    QTest::mouseClick(w->SettingsPage->btnSet, Qt::LeftButton);
    f->SwitchOn();
    QVERIFY(w->Core()->Modem()->LinkReady());
}

void TestFrmMain::addInbox(const QStringList &texts)
{
    int n = 0;
    for (const QString &t : texts)
        QVERIFY(StoreSql::InsertReceived(*w->Core()->Store(), QStringLiteral("8613800100500"),
            QStringLiteral("1390000000") + QString::number(n++), t, QDateTime::currentDateTime()));
    QVERIFY(w->Core()->Store()->RefreshDataSet(*w->Core()->View(TGatewayCore::ADODataSet1)));
}

qint64 TestFrmMain::count(const QString &table)
{
    TStoreQuery q(*w->Core()->Store());
    if (!q.open(QStringLiteral("SELECT COUNT(*) AS N FROM ") + table))
        return -1;
    return q.intField(QStringLiteral("N"));
}

void TestFrmMain::noConfigGivesDefaults()
{
    makeWindow();
    QCOMPARE(w->windowTitle(), QStringLiteral("Lumetra正式版"));
    QCOMPARE(w->size(), QSize(783, 522));
    QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
    QTabWidget *tabs = w->RzPageControl1;
    const QStringList captions { "新订单", "历史订单", "发送短信", "发信箱", "收信箱", "通讯组",
        "通讯录", "系统设置", "短信签名", "帮助" };
    QCOMPARE(tabs->count(), captions.size());
    for (int i = 0; i < tabs->count(); ++i) {
        QCOMPARE(tabs->tabText(i), captions[i]);
        QCOMPARE(tabs->isTabVisible(i), i != 0 && i != 1 && i != 9);
    }
    QVERIFY(!tabs->isTabEnabled(9));
    QCOMPARE(tabs->currentIndex(), 2);

    TSettingsPage *s = w->SettingsPage;
    QCOMPARE(s->cmbCom->count(), w->Core()->Ports().size());
    QCOMPARE(s->cmbCom->itemText(s->cmbCom->count() - 1), TSMSPDUproc::SimulatorPortName());
    // No port configured: the built-in simulator (the last entry, after any serial port).
    QCOMPARE(s->cmbCom->currentText(), TSMSPDUproc::SimulatorPortName());
    QCOMPARE(s->edtReSend->text(), QStringLiteral("3"));
    QCOMPARE(s->edtZFSB->text(), QStringLiteral("ZF"));
    QVERIFY(!s->edtZFSB->isEnabled());
    QVERIFY(s->cbAutoPlay->isChecked() && s->cbLongSend->isChecked());
    QVERIFY(!s->chbAutoInit->isChecked() && !s->chbDel->isChecked());
    QVERIFY(!w->SendPage->pnlUseATA->isVisibleTo(w.get()));

    w->show();
    QCOMPARE(w->SendPage->lblSize->text(), QStringLiteral("已经输入0字"));
    QVERIFY(!w->SendPage->btnSend->isEnabled());
    QCOMPARE(w->SendPage->shpState->Color(), QColor(255, 0, 0));
    QCOMPARE(w->SendPage->shpState->toolTip(), QStringLiteral("工作状态"));
    QVERIFY(!w->Core()->Modem()->Active());
    QVERIFY(!w->Core()->ConnTimer()->isActive());
    QVERIFY(!QFile::exists(f->ConfigPath())); // created by the first set-up
    QVERIFY(f->prompts.shown.isEmpty());
}

void TestFrmMain::setUpSucceeds()
{
    makeWindow();
    setUp();
    QVERIFY(!w->SettingsPage->gbSet->isEnabled());
    QVERIFY(w->SendPage->btnSend->isEnabled());
    QCOMPARE(w->SendPage->shpState->Color(), QColor(0, 128, 0));
    QVERIFY(w->Core()->ConnTimer()->isActive());
    QCOMPARE(w->Core()->ConnTimer()->interval(), 300000);
    QVERIFY(f->prompts.shown.isEmpty());
    QCOMPARE(f->modem->lastName, TSMSPDUproc::SimulatorPortName());
    QVERIFY(f->modem->writes.contains("at+cnmi=2,1,0,0,0\r"));
    QVERIFY(
        w->SendPage->memRevMonitor->toPlainText().contains(QStringLiteral("系统开始正常运行！")));
    const QByteArray ini = f->ConfigText();
    const QByteArray com = "COM=" + QByteArray::number(w->Core()->Ports().size() - 1);
    QVERIFY(ini.contains(com));
    for (const char *line : { "ReTry=3", "ZFSBM=ZF", "CHKZF=0", "ADel=0", "AutoInit=0" })
        QVERIFY2(ini.contains(line), line);
    QVERIFY(!ini.contains("UATA")); // never written
}

void TestFrmMain::setUpFails_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QString>("smsc");
    QTest::addColumn<QString>("reTry");
    QTest::addColumn<bool>("box"); // the "初始化失败！" box
    QTest::addColumn<bool>("modemOn"); // ApplyModemSettings went through
    QTest::addColumn<QString>("errorLog");

    QTest::newRow("retry count empty") << QByteArray() << "8613800100500"
                                       << "" << true << false << "";
    QTest::newRow("retry count in the file not a number") << QByteArray("ReTry=abc\n") << ""
                                                          << "" << true << false << "";
    QTest::newRow("empty centre number") << QByteArray() << " "
                                         << "3" << true << false << "";
    QTest::newRow("COM beyond the port list: the port cannot be opened")
        << QByteArray("COM=99\n") << ""
        << "" << false << true << QStringLiteral("串口： 无法打开!");
}

void TestFrmMain::setUpFails()
{
    QFETCH(QByteArray, config);
    QFETCH(QString, smsc);
    QFETCH(QString, reTry);
    QFETCH(bool, box);
    QFETCH(bool, modemOn);
    QFETCH(QString, errorLog);
    f->WriteConfig(config);
    makeWindow();
    w->show();
    if (!smsc.isEmpty())
        w->SettingsPage->edtSMSC->setText(smsc.trimmed());
    if (!reTry.isEmpty() || config.isEmpty())
        w->SettingsPage->edtReSend->setText(reTry);
    f->modem->openSucceeds = !w->SettingsPage->cmbCom->currentText().isEmpty();
    QTest::mouseClick(w->SettingsPage->btnSet, Qt::LeftButton);

    if (box) {
        QCOMPARE(f->prompts.shown.size(), 1);
        QCOMPARE(f->prompts.shown[0].kind, QStringLiteral("fail"));
        QCOMPARE(f->prompts.shown[0].caption, QStringLiteral("错误"));
        QCOMPARE(f->prompts.shown[0].text, QStringLiteral("初始化失败！"));
    } else {
        QVERIFY(f->prompts.shown.isEmpty());
    }
    QCOMPARE(w->SendPage->btnSend->isEnabled(), modemOn);
    QCOMPARE(w->SendPage->shpState->Color(), modemOn ? QColor(0, 128, 0) : QColor(255, 0, 0));
    QCOMPARE(w->SettingsPage->gbSet->isEnabled(), !modemOn);
    QVERIFY(w->Core()->ConnTimer()->isActive()); // steps 3 and 4 run all the same
    QVERIFY(f->ConfigText().contains("COM="));
    if (!errorLog.isEmpty()) {
        QVERIFY(w->SendPage->memErrMonitor->toPlainText().contains(errorLog));
        QVERIFY(f->ConfigText().contains("COM=-1"));
    }
    // A failed set-up can be repeated.
    if (box) {
        w->SettingsPage->edtSMSC->setText(QStringLiteral("8613800100500"));
        w->SettingsPage->edtReSend->setText(QStringLiteral("3"));
        QTest::mouseClick(w->SettingsPage->btnSet, Qt::LeftButton);
        QVERIFY(w->SendPage->btnSend->isEnabled());
        QVERIFY(!w->SettingsPage->gbSet->isEnabled());
    }
}

void TestFrmMain::portPositionFromTheFile()
{
    f->WriteConfig("COM=0\n");
    makeWindow();
    QCOMPARE(w->SettingsPage->cmbCom->currentIndex(), 0);
    QCOMPARE(w->SettingsPage->cmbCom->currentText(), w->Core()->Ports().first());
}

void TestFrmMain::autoInitSetsUpOnShow()
{
    f->WriteConfig("AutoInit=1\nUATA=1\n");
    makeWindow();
    QVERIFY(!w->Core()->Modem()->Active());
    w->show();
    QVERIFY(w->Core()->Modem()->Active());
    QVERIFY(w->SendPage->btnSend->isEnabled());
    QVERIFY(w->SendPage->pnlUseATA->isVisible());
    QVERIFY(w->Core()->Modem()->UseATA());
    QVERIFY(!w->SendPage->btnATA->isEnabled());
}

void TestFrmMain::inputFilters()
{
    makeWindow();
    w->show();
    QTest::keyClicks(w->SendPage->edtTel, QStringLiteral("12a, 3;4"));
    QCOMPARE(w->SendPage->edtTel->toPlainText(), QStringLiteral("12,34"));
    QTest::keyClick(w->SendPage->edtTel, Qt::Key_Backspace);
    QCOMPARE(w->SendPage->edtTel->toPlainText(), QStringLiteral("12,3"));
    w->SettingsPage->edtSMSC->clear();
    QTest::keyClicks(w->SettingsPage->edtSMSC, QStringLiteral("+86 13x8"));
    QCOMPARE(w->SettingsPage->edtSMSC->text(), QStringLiteral("86138"));
    w->SettingsPage->chbZFSB->setVisible(true);
    QTest::mouseClick(w->SettingsPage->chbZFSB, Qt::LeftButton);
    QVERIFY(w->SettingsPage->edtZFSB->isEnabled());
    w->SettingsPage->edtZFSB->clear();
    QTest::keyClicks(w->SettingsPage->edtZFSB, QStringLiteral("Z1f:"));
    QCOMPARE(w->SettingsPage->edtZFSB->text(), QStringLiteral("Zf"));
    w->SendPage->edtMsg->setPlainText(QStringLiteral("你好 ab"));
    QCOMPARE(w->SendPage->lblSize->text(), QStringLiteral("已经输入4字"));
}

void TestFrmMain::typedSendGoesOutInOrder()
{
    makeWindow();
    setUp();
    f->modem->writes.clear();
    QTest::keyClicks(w->SendPage->edtTel, QStringLiteral("13800000001,13800000002,13800000003"));
    // Two lines: joined without a space; 68 characters fill the first part.
    w->SendPage->edtMsg->setPlainText(Zh68.left(60) + u'\n' + Zh68.mid(60) + QStringLiteral("尾"));
    w->SignaturePage->edtName->setText(QStringLiteral("【签】"));
    QTest::mouseClick(w->SendPage->btnSend, Qt::LeftButton);

    // The first part is handed over at once, the rest as each one is confirmed.
    QCOMPARE(f->modem->Sends().size(), 1);
    QVERIFY(!w->SendPage->btnSend->isEnabled());
    f->modem->Flush();
    QCOMPARE(f->modem->Sends().size(), 6);
    // One part in flight at a time: every "at+cmgs=" is followed by its PDU before the next.
    for (int i = 0; i < f->modem->writes.size(); ++i)
        QCOMPARE(f->modem->writes[i].startsWith("at+cmgs="), i % 2 == 0);

    const QList<TSent> parts = sentParts(*f->modem);
    QCOMPARE(parts.size(), 6);
    const QString second = QStringLiteral("尾【签】");
    for (int r = 0; r < 3; ++r) {
        const QString number = QStringLiteral("1380000000") + QString::number(r + 1);
        QCOMPARE(parts[2 * r].number, number);
        QCOMPARE(parts[2 * r].text, Zh68);
        QCOMPARE(parts[2 * r + 1].number, number);
        QCOMPARE(parts[2 * r + 1].text, second);
    }
    QVERIFY(w->SendPage->btnSend->isEnabled());
    QCOMPARE(
        w->SendPage->edtTel->toPlainText(), QStringLiteral("13800000001,13800000002,13800000003"));
    QCOMPARE(w->SendPage->lblSize->text(), QStringLiteral("已经输入69字")); // without the signature
    QCOMPARE(count(QStringLiteral("SM_TO_SP_RC")), 6);
    const QString sentLog = w->SendPage->memSndMonitor->toPlainText();
    QCOMPARE(sentLog.count(QStringLiteral("发给")), 6);
    QVERIFY(sentLog.contains(QStringLiteral("13800000002的短信：\n") + second));
    QCOMPARE(w->lblProgress->text(), QStringLiteral("发送完成：已确认 6/6 条"));
    QVERIFY(w->SendPage->memErrMonitor->toPlainText().isEmpty());

    // The outbox shows them when its page is chosen.
    w->RzPageControl1->setCurrentIndex(TGatewayCore::pgOutbox);
    QCOMPARE(w->OutboxPage->RowCount(), 6);
    QCOMPARE(w->OutboxPage->footer->text(), QStringLiteral("记录数：6"));
}

void TestFrmMain::emptyFieldsAreRefused_data()
{
    QTest::addColumn<QString>("numbers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("no recipient") << ""
                                  << "abc" << QStringLiteral("请选择接收手机！");
    QTest::newRow("blank recipient") << " \n "
                                     << "abc" << QStringLiteral("请选择接收手机！");
    QTest::newRow("no text") << "13800000001"
                             << "" << QStringLiteral("请录入短信内容！");
    QTest::newRow("blank text") << "13800000001"
                                << " \n\t" << QStringLiteral("请录入短信内容！");
}

void TestFrmMain::emptyFieldsAreRefused()
{
    QFETCH(QString, numbers);
    QFETCH(QString, text);
    QFETCH(QString, message);
    makeWindow();
    setUp();
    f->modem->writes.clear();
    w->SendPage->edtTel->setPlainText(numbers);
    w->SendPage->edtMsg->setPlainText(text);
    w->SignaturePage->edtName->setText(QStringLiteral("签名"));
    QTest::mouseClick(w->SendPage->btnSend, Qt::LeftButton);
    QCOMPARE(f->prompts.texts(), QStringList { message });
    QVERIFY(f->modem->writes.isEmpty());
    QVERIFY(w->SendPage->btnSend->isEnabled());
}

void TestFrmMain::exportAndDeleteInbox()
{
    makeWindow();
    w->show();
    addInbox(
        { QStringLiteral("  第一条 "), QStringLiteral("第二条"), QStringLiteral("第三\r\n行") });
    w->RzPageControl1->setCurrentIndex(TGatewayCore::pgInbox);
    TMessageListPage *inbox = w->InboxPage;
    QCOMPARE(inbox->RowCount(), 3);
    QVERIFY(inbox->grid->isColumnHidden(inbox->grid->model()->columnCount() - 1));
    QCOMPARE(inbox->grid->model()
                 ->headerData(inbox->grid->horizontalHeader()->logicalIndex(1), Qt::Horizontal)
                 .toString(),
        QStringLiteral("手机号码"));

    // Nothing selected: a message, no file, no question.
    action(inbox, "N6")->trigger();
    action(inbox, "N8")->trigger();
    QCOMPARE(
        f->prompts.texts(), (QStringList { "请选择需要导出的短信！", "请选择需要删除的短信！" }));
    f->prompts.clear();

    // Newest first: rows 0 and 2 are the third and the first message.
    inbox->grid->selectionModel()->select(
        inbox->grid->model()->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    inbox->grid->selectionModel()->select(
        inbox->grid->model()->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    action(inbox, "N6")->trigger(); // the folder is missing
    QCOMPARE(f->prompts.shown.size(), 1);
    QCOMPARE(f->prompts.shown[0].kind, QStringLiteral("fail"));
    QVERIFY(f->prompts.opened.isEmpty());
    f->prompts.clear();
    QVERIFY(QDir(f->dir.path()).mkdir(QStringLiteral("exportfile")));
    action(inbox, "N6")->trigger();
    QCOMPARE(f->prompts.opened.size(), 1);
    const QString exported = f->prompts.opened[0];
    QVERIFY(QRegularExpression(QStringLiteral("/exportfile/\\d{14}\\.txt$"))
                .match(exported)
                .hasMatch());
    QFile file(exported);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), QStringLiteral("第三\r\n行\r\n第一条\r\n"));
    f->prompts.clear();

    // Deleting: No keeps the rows, Yes deletes the two selected.
    f->prompts.setNextAnswer(false);
    action(inbox, "N8")->trigger();
    QCOMPARE(f->prompts.shown.size(), 1);
    QCOMPARE(f->prompts.shown[0].kind, QStringLiteral("confirm"));
    QCOMPARE(f->prompts.shown[0].caption, QStringLiteral("提示"));
    QCOMPARE(f->prompts.shown[0].text, QStringLiteral("所选短信将被删除，是否确定？"));
    QCOMPARE(count(QStringLiteral("SP_TO_SM")), 3);
    f->prompts.clear();
    f->prompts.setNextAnswer(true);
    action(inbox, "N8")->trigger();
    QCOMPARE(
        f->prompts.texts(), (QStringList { "所选短信将被删除，是否确定？", "所选短信已经删除！" }));
    QCOMPARE(count(QStringLiteral("SP_TO_SM")), 1);
    QCOMPARE(inbox->RowCount(), 1);
    QCOMPARE(inbox->footer->text(), QStringLiteral("记录数：1"));
    QCOMPARE(inbox->SelectedValues(QStringLiteral("信息内容")), QStringList {});
    QCOMPARE(inbox->grid->model()->index(0, 2).data().toString(), QStringLiteral("第二条"));
    QVERIFY(!f->prompts.unexpected);
}

void TestFrmMain::deleteOutbox()
{
    makeWindow();
    setUp();
    w->SendPage->edtTel->setPlainText(QStringLiteral("13800000001,13800000002"));
    w->SendPage->edtMsg->setPlainText(QStringLiteral("hello"));
    QTest::mouseClick(w->SendPage->btnSend, Qt::LeftButton);
    f->modem->Flush();
    w->RzPageControl1->setCurrentIndex(TGatewayCore::pgOutbox);
    TMessageListPage *outbox = w->OutboxPage;
    QCOMPARE(outbox->RowCount(), 2);
    QVERIFY(action(outbox, "N9"));
    outbox->grid->selectRow(1);
    f->prompts.setNextAnswer(true);
    action(outbox, "N9")->trigger();
    QCOMPARE(
        f->prompts.texts(), (QStringList { "所选短信将被删除，是否确定？", "所选短信已经删除！" }));
    QCOMPARE(outbox->RowCount(), 1);
    QCOMPARE(outbox->grid->model()->index(0, 1).data().toString(), QStringLiteral("13800000002"));
}

void TestFrmMain::pageSwitchOpensOnlyTheFrontList()
{
    makeWindow();
    w->show();
    TGatewayCore *core = w->Core();
    auto open = [core](TGatewayCore::TDataSet d) { return core->View(d)->isOpen(); };
    using C = TGatewayCore;
    QVERIFY(open(C::ADODataSet4) && open(C::ADODataSet1) && open(C::ADODataSet2));
    QVERIFY(!open(C::ADODataSet3)); // only with its page
    QTabBar *bar = w->RzPageControl1->tabBar();
    auto click = [bar](int page) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
    };

    click(C::pgOutbox);
    QCOMPARE(w->RzPageControl1->currentIndex(), int(C::pgOutbox));
    QVERIFY(open(C::ADODataSet4) && !open(C::ADODataSet1) && !open(C::ADODataSet2));
    click(C::pgContacts);
    QVERIFY(open(C::ADODataSet3) && open(C::ADODataSet2) && !open(C::ADODataSet4));
    click(C::pgSettings); // leaves the lists alone
    QVERIFY(open(C::ADODataSet3) && open(C::ADODataSet2));
    click(C::pgInbox);
    QVERIFY(open(C::ADODataSet1) && !open(C::ADODataSet2) && !open(C::ADODataSet3));

    // The list in front is not reloaded by a click on its own tab; coming back to it is.
    addInbox({ QStringLiteral("新的") });
    const QSignalSpy reloads(core->View(C::ADODataSet1), &QAbstractItemModel::modelReset);
    click(C::pgInbox);
    QCOMPARE(reloads.size(), 0);
    click(C::pgSend);
    QVERIFY(open(C::ADODataSet1)); // the send page leaves the lists alone
    click(C::pgInbox);
    QVERIFY(reloads.size() > 0);
}

void TestFrmMain::signatureAndPrefill()
{
    makeWindow();
    w->show();
    w->SignaturePage->edtName->setText(QStringLiteral(" 【公司】 "));
    QTest::mouseClick(w->SignaturePage->btnSaveName, Qt::LeftButton);
    QCOMPARE(f->prompts.texts(), QStringList { "保存成功！" });
    QVERIFY(QString::fromUtf8(f->ConfigText()).contains(QStringLiteral("regName=【公司】")));

    w->RzPageControl1->setCurrentIndex(TGatewayCore::pgInbox);
    w->PrefillCompose(QStringLiteral("13800000002"), QStringLiteral("您的订单"));
    QCOMPARE(w->SendPage->edtTel->toPlainText(), QStringLiteral("13800000002"));
    w->PrefillCompose(QStringLiteral("13800000003"), QStringLiteral("第二"));
    QCOMPARE(w->SendPage->edtTel->toPlainText(), QStringLiteral("13800000002,13800000003"));
    w->SendPage->edtTel->setPlainText(QStringLiteral("1,"));
    w->PrefillCompose(QStringLiteral("2"), QStringLiteral("x"));
    QCOMPARE(w->SendPage->edtTel->toPlainText(), QStringLiteral("1,2"));
    QCOMPARE(w->RzPageControl1->currentIndex(), int(TGatewayCore::pgSend));
    QCOMPARE(w->SendPage->lblSize->text(), QStringLiteral("已经输入1字"));
    QCOMPARE(w->SendPage->edtMsg->textCursor().selectedText(), QStringLiteral("x"));
}

void TestFrmMain::closingAsksAndIsSafeDuringASend()
{
    makeWindow();
    setUp();
    QStringList numbers;
    for (int i = 0; i < 10; ++i)
        numbers << QStringLiteral("1380000001") + QString::number(i);
    w->SendPage->edtTel->setPlainText(numbers.join(u','));
    w->SendPage->edtMsg->setPlainText(QStringLiteral("长").repeated(200)); // three parts each
    w->SettingsPage->cbAutoPlay->setChecked(false);
    QTest::mouseClick(w->SendPage->btnSend, Qt::LeftButton);
    for (int i = 0; i < 6; ++i) // three parts confirmed
        QVERIFY(f->modem->Step());
    QCOMPARE(f->modem->Sends().size(), 4);
    QVERIFY(w->lblProgress->text().contains(QStringLiteral("3/30")));

    // Declining leaves everything running.
    f->prompts.setNextAnswer(false);
    QVERIFY(!w->close());
    QCOMPARE(f->prompts.texts(), QStringList { "是否真的退出系统？" });
    QVERIFY(w->Core()->Modem());
    QVERIFY(f->modem->Step() && f->modem->Step());
    QCOMPARE(f->modem->Sends().size(), 5);

    f->prompts.setNextAnswer(true);
    QVERIFY(w->close());
    QVERIFY(!w->Core()->Modem()); // released
    QVERIFY(!f->modem->isOpen());
    const qsizetype written = f->modem->writes.size();
    f->modem->Flush(); // late replies reach nobody
    QCOMPARE(f->modem->writes.size(), written);
    QVERIFY(!w->Core()->Store()->isOpen(TMessageStore::TConnection::Cmd));
    QVERIFY(f->ConfigText().contains("AutoPlay=0"));
    QVERIFY(!f->prompts.unexpected);
}

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
