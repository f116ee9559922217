#include "SMSMain.h"

#include "MessageListPage.h"
#include "MessageParts.h"
#include "SendPage.h"
#include "SettingsPage.h"
#include "SignaturePage.h"
#include "StatusLight.h"
#include "TStoreView.h"
#include "UserPrompts.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>

namespace Gateway {

TfrmMain::TfrmMain(TGatewayCore::TOptions options, QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Lumetra正式版"));
    // Fixed size, minimise and close only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    QFont font;
    font.setFamilies({ QStringLiteral("宋体"), QStringLiteral("SimSun"),
        QStringLiteral("WenQuanYi Micro Hei") });
    font.setPixelSize(12);
    setFont(font);
    setFixedSize(783, 522);
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());

    if (!options.prompts) {
        m_ownPrompts = std::make_unique<TWidgetPrompts>(this);
        options.prompts = m_ownPrompts.get();
    }
    buildPages();
    m_core = std::make_unique<TGatewayCore>(std::move(options));
    connectSignals();

    // FormCreate: the core opens everything; the controls take the settings.
    const bool storeOpen = m_core->FormCreate();
    SettingsPage->cmbCom->addItems(m_core->Ports());
    const TGatewaySettings &s = m_core->Settings();
    SettingsPage->Show(s);
    SendPage->pnlUseATA->setVisible(s.UATA);
    SignaturePage->edtName->setText(s.regName);
    if (storeOpen) {
        OutboxPage->SetModel(m_core->View(TGatewayCore::ADODataSet4));
        InboxPage->SetModel(m_core->View(TGatewayCore::ADODataSet1));
    }
    RzPageControl1->setCurrentIndex(TGatewayCore::pgSend);
    m_frontPage = TGatewayCore::pgSend;
}

TfrmMain::~TfrmMain()
{
    // The core goes after the window's own parts: it reports nothing more to them, and the
    // grids let go of the lists before the core closes them.
    m_core->disconnect(this);
    OutboxPage->SetModel(nullptr);
    InboxPage->SetModel(nullptr);
}

QWidget *TfrmMain::Page(int index) const
{
    return m_pages.value(index);
}

void TfrmMain::buildPages()
{
    RzPageControl1 = new QTabWidget(this);
    RzPageControl1->setObjectName(QStringLiteral("RzPageControl1"));
    setCentralWidget(RzPageControl1);
    SendPage = new TSendPage;
    OutboxPage = new TMessageListPage(QStringLiteral("发送时间"), QStringLiteral("ID"));
    OutboxPage->setObjectName(QStringLiteral("tsSend"));
    InboxPage = new TMessageListPage(QStringLiteral("接收时间"), QStringLiteral("id"));
    InboxPage->setObjectName(QStringLiteral("TabSheet1"));
    SettingsPage = new TSettingsPage;
    SignaturePage = new TSignaturePage;
    auto blank = [](const char *name) {
        auto *w = new QWidget;
        w->setObjectName(QLatin1String(name));
        return w;
    };
    const struct {
        QWidget *page;
        const char *caption;
    } pages[] = { { blank("TabSheet7"), "新订单" }, { blank("TabSheet8"), "历史订单" },
        { SendPage, "发送短信" }, { OutboxPage, "发信箱" }, { InboxPage, "收信箱" },
        { blank("TabSheet2"), "通讯组" }, { blank("TabSheet3"), "通讯录" },
        { SettingsPage, "系统设置" }, { SignaturePage, "短信签名" },
        { blank("TabSheet5"), "帮助" } };
    for (const auto &p : pages) {
        RzPageControl1->addTab(p.page, QString::fromUtf8(p.caption));
        m_pages.append(p.page);
    }
    for (int hidden :
        { TGatewayCore::pgNewOrders, TGatewayCore::pgOldOrders, TGatewayCore::pgHelp })
        RzPageControl1->setTabVisible(hidden, false);
    RzPageControl1->setTabEnabled(TGatewayCore::pgHelp, false);

    QAction *toOrder = InboxPage->popup->addAction(QStringLiteral("短信转订单"));
    toOrder->setObjectName(QStringLiteral("N5"));
    toOrder->setVisible(false);
    QAction *n6 =
        InboxPage->popup->addAction(QStringLiteral("导出短信内容"), this, &TfrmMain::N6Click);
    n6->setObjectName(QStringLiteral("N6"));
    QAction *n8 =
        InboxPage->popup->addAction(QStringLiteral("删除所选短信"), this, &TfrmMain::N8Click);
    n8->setObjectName(QStringLiteral("N8"));
    QAction *n9 =
        OutboxPage->popup->addAction(QStringLiteral("删除所选短信"), this, &TfrmMain::N9Click);
    n9->setObjectName(QStringLiteral("N9"));

    lblLink = new QLabel(QStringLiteral("短信猫未连接"), this);
    lblProgress = new QLabel(this);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    statusBar()->addWidget(lblLink);
    statusBar()->addWidget(lblProgress, 1);
    statusBar()->setSizeGripEnabled(false);
}

void TfrmMain::connectSignals()
{
    TGatewayCore *core = m_core.get();
    TSendPage *send = SendPage;
    connect(core, &TGatewayCore::LogError, this,
        [send](const QString &t) { TSendPage::AppendLine(send->memErrMonitor, t); });
    connect(core, &TGatewayCore::LogSent, this,
        [send](const QString &t) { TSendPage::AppendLine(send->memSndMonitor, t); });
    connect(core, &TGatewayCore::LogTraffic, this,
        [send](const QString &t) { TSendPage::AppendLine(send->memRevMonitor, t); });
    connect(core, &TGatewayCore::LogReceived, this,
        [send](const QString &t) { TSendPage::AppendLine(send->memRecSMS, t); });
    connect(core, &TGatewayCore::ListReloaded, this, [this](int which) {
        if (which == TGatewayCore::ADODataSet4)
            OutboxPage->ModelReloaded();
        else if (which == TGatewayCore::ADODataSet1)
            InboxPage->ModelReloaded();
    });
    connect(core, &TGatewayCore::SetUpChanged, this, &TfrmMain::onSetUpChanged);
    connect(core, &TGatewayCore::SendProgress, this, &TfrmMain::onProgress);
    connect(core, &TGatewayCore::SendFinished, this, &TfrmMain::onFinished);
    connect(core, &TGatewayCore::SendHandedOver, this, [this](int job) {
        if (job == m_typedJob) {
            m_typedJob = 0;
            SendPage->btnSend->setEnabled(m_core->SetUpDone());
        }
    });
    connect(core, &TGatewayCore::SignalValue, this,
        [send](int v) { send->lblCSQValue->setText(QString::number(v)); });
    connect(core, &TGatewayCore::LinkState, this, [this](bool ready) {
        lblLink->setText(ready ? QStringLiteral("短信猫已就绪") : QStringLiteral("短信猫未连接"));
    });

    connect(core, &TGatewayCore::AnswerEnabledChanged, send->btnATA, &QPushButton::setEnabled);
    connect(SettingsPage->cbAutoPlay, &QCheckBox::toggled, core, &TGatewayCore::SetAutoPlay);
    connect(send->btnSend, &QPushButton::clicked, this, &TfrmMain::btnSendClick);
    connect(send->edtMsg, &QPlainTextEdit::textChanged, this, &TfrmMain::edtMsgChange);
    connect(send, &TSendPage::SignalLabelDoubleClicked, core, &TGatewayCore::RequestSignal);
    connect(SettingsPage->btnSet, &QPushButton::clicked, this, &TfrmMain::btnSetClick);
    connect(SignaturePage->btnSaveName, &QPushButton::clicked, this, &TfrmMain::SaveSignatureClick);
    connect(RzPageControl1, &QTabWidget::tabBarClicked, this, &TfrmMain::RzPageControl1TabClick);
    connect(RzPageControl1, &QTabWidget::currentChanged, this, &TfrmMain::RzPageControl1TabClick);
}

TGatewaySettings TfrmMain::controlSettings() const
{
    TGatewaySettings s = SettingsPage->Read(m_core->Settings());
    s.UATA = SendPage->pnlUseATA->isVisibleTo(this);
    s.regName = SignaturePage->edtName->text();
    return s;
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    edtMsgChange();
    if (SettingsPage->chbAutoInit->isChecked())
        btnSetClick();
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    if (m_closed) {
        event->accept();
        return;
    }
    if (!m_core->FormCloseQuery()) {
        event->ignore();
        return;
    }
    m_closed = true;
    m_core->FormClose(controlSettings());
    event->accept();
}

void TfrmMain::btnSetClick()
{
    SettingsPage->gbSet->setEnabled(false);
    m_core->btnSetClick(controlSettings());
}

void TfrmMain::onSetUpChanged(bool setUpDone, bool groupLocked)
{
    SettingsPage->gbSet->setEnabled(!groupLocked);
    if (setUpDone) {
        SendPage->btnSend->setEnabled(m_typedJob == 0);
        SendPage->shpState->SetColor(QColor(0, 128, 0));
    }
}

void TfrmMain::btnSendClick()
{
    SendPage->btnSend->setEnabled(false);
    m_typedJob = -1; // a hand-over during the call belongs to this send
    const int job = m_core->btnSendClick(TSendPage::FieldText(SendPage->edtTel),
        TSendPage::FieldText(SendPage->edtMsg), SignaturePage->edtName->text());
    if (m_typedJob == 0) // handed over at once
        return;
    m_typedJob = job;
    if (job == 0)
        SendPage->btnSend->setEnabled(true);
}

void TfrmMain::edtMsgChange()
{
    SendPage->lblSize->setText(CounterText(SendPage->edtMsg->toPlainText()));
}

void TfrmMain::PrefillCompose(const QString &numbers, const QString &text)
{
    const QString current = TSendPage::FieldText(SendPage->edtTel);
    QString tel;
    if (current.isEmpty())
        tel = numbers;
    else if (current.endsWith(u','))
        tel = current + numbers;
    else
        tel = current + u',' + numbers;
    SendPage->edtTel->setPlainText(
        QString(tel).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    SendPage->edtMsg->setPlainText(
        QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    RzPageControl1->setCurrentIndex(TGatewayCore::pgSend);
    SendPage->edtMsg->selectAll();
}

void TfrmMain::N6Click()
{
    m_core->ExportTexts(InboxPage->SelectedValues(QStringLiteral("信息内容")));
}

void TfrmMain::N8Click()
{
    m_core->DeleteMessages(
        TGatewayCore::ADODataSet1, InboxPage->SelectedValues(QStringLiteral("id")));
}

void TfrmMain::N9Click()
{
    m_core->DeleteMessages(
        TGatewayCore::ADODataSet4, OutboxPage->SelectedValues(QStringLiteral("ID")));
}

void TfrmMain::SaveSignatureClick()
{
    m_core->SaveSignature(SignaturePage->edtName->text());
}

void TfrmMain::RzPageControl1TabClick(int page)
{
    if (!RzPageControl1->isTabEnabled(page))
        return;
    const bool broughtToFront = page != m_frontPage;
    m_frontPage = page;
    m_core->PageShown(page, broughtToFront);
}

void TfrmMain::onProgress(int confirmed, int failed, int total)
{
    QString text = QStringLiteral("正在发送：已确认 ") + QString::number(confirmed) + u'/'
        + QString::number(total) + QStringLiteral(" 条");
    if (failed > 0)
        text += QStringLiteral("，失败 ") + QString::number(failed) + QStringLiteral(" 条");
    lblProgress->setText(text);
}

void TfrmMain::onFinished(int confirmed, int failed, int total)
{
    QString text = QStringLiteral("发送完成：已确认 ") + QString::number(confirmed) + u'/'
        + QString::number(total) + QStringLiteral(" 条");
    if (failed > 0)
        text += QStringLiteral("，失败 ") + QString::number(failed) + QStringLiteral(" 条");
    lblProgress->setText(text);
}

} // namespace Gateway
