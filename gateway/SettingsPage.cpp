#include "SettingsPage.h"

#include "KeyFilter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Gateway {

namespace {

    template <typename W> W *named(W *w, const char *name)
    {
        w->setObjectName(QLatin1String(name));
        return w;
    }

    QGroupBox *reminderGroup(QWidget *parent, const QString &title, QCheckBox *&autoBox,
        QPlainTextEdit *&memo, const char *boxName, const char *memoName)
    {
        auto *g = new QGroupBox(title, parent);
        autoBox = named(new QCheckBox(QStringLiteral("自动"), g), boxName);
        memo = named(new QPlainTextEdit(g), memoName);
        memo->setFixedHeight(60);
        auto *l = new QVBoxLayout(g);
        l->addWidget(autoBox);
        l->addWidget(new QLabel(QStringLiteral("提醒内容"), g));
        l->addWidget(memo);
        return g;
    }

} // namespace

TSettingsPage::TSettingsPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet4"));
    gbSet = named(new QGroupBox(QStringLiteral("系统配置"), this), "gbSet");
    cmbCom = named(new QComboBox(gbSet), "cmbCom"); // a drop-down list: only its own items
    cmbCom->setEditable(false);
    cmbCom->setMinimumWidth(200);
    edtSMSC = named(new QLineEdit(gbSet), "edtSMSC");
    edtReSend = named(new QLineEdit(gbSet), "edtReSend");
    chbZFSB = named(new QCheckBox(QStringLiteral("转发识别码："), gbSet), "chbZFSB");
    edtZFSB = named(new QLineEdit(gbSet), "edtZFSB");
    chbDel = named(new QCheckBox(QStringLiteral("读出短信后删除"), gbSet), "chbDel");
    btnSet = named(new QPushButton(QStringLiteral("初始化"), gbSet), "btnSet");
    TKeyFilter::Install(edtSMSC, TKeyFilter::Digit);
    TKeyFilter::Install(edtReSend, TKeyFilter::Digit);
    TKeyFilter::Install(edtZFSB, TKeyFilter::Letter);
    connect(chbZFSB, &QCheckBox::clicked, this, &TSettingsPage::chbZFSBClick);

    auto *form = new QFormLayout(gbSet);
    form->addRow(QStringLiteral("串口号："), cmbCom);
    form->addRow(QStringLiteral("中心号码："), edtSMSC);
    auto *retryLabel = new QLabel(QStringLiteral("失败重试次数："), gbSet);
    form->addRow(retryLabel, edtReSend);
    form->addRow(chbZFSB, edtZFSB);
    form->addRow(chbDel);
    form->addRow(btnSet);
    // Kept in the file, not offered on screen.
    for (QWidget *w : { static_cast<QWidget *>(retryLabel), static_cast<QWidget *>(edtReSend),
             static_cast<QWidget *>(chbZFSB), static_cast<QWidget *>(edtZFSB),
             static_cast<QWidget *>(chbDel) })
        w->setVisible(false);

    chbAutoInit = named(new QCheckBox(QStringLiteral("自动初始化"), this), "chbAutoInit");
    cbAutoPlay = named(new QCheckBox(QStringLiteral("收到短信语音提醒"), this), "cbAutoPlay");
    cbLongSend = named(new QCheckBox(QStringLiteral("发送串联短信"), this), "cbLongSend");
    cbLongSend->setToolTip(QStringLiteral(
        "选中后可以发送串联短信，接收方收到后自动组成一条短信；但是如果在贵地区超长短信发送或接收"
        "不完整时，建议不启用此功能"));
    chbAutoRun = named(new QCheckBox(QStringLiteral("随系统启动"), this), "chbAutoRun");
    gbOk = reminderGroup(
        this, QStringLiteral("正确订单提醒设置"), cbAutoOk, memOk, "cbAutoOk", "memOk");
    gbErr = reminderGroup(
        this, QStringLiteral("错误订单提醒设置"), cbAutoErr, memErr, "cbAutoErr", "memErr");
    for (QWidget *w : { static_cast<QWidget *>(cbLongSend), static_cast<QWidget *>(chbAutoRun),
             static_cast<QWidget *>(gbOk), static_cast<QWidget *>(gbErr) })
        w->setVisible(false);

    auto *options = new QVBoxLayout;
    options->addWidget(chbAutoInit);
    options->addWidget(cbAutoPlay);
    options->addWidget(cbLongSend);
    options->addWidget(chbAutoRun);
    options->addWidget(gbOk);
    options->addWidget(gbErr);
    options->addStretch();
    auto *row = new QHBoxLayout;
    row->addWidget(gbSet);
    row->addSpacing(24);
    row->addLayout(options);
    row->addStretch();
    auto *page = new QVBoxLayout(this);
    page->addLayout(row);
    page->addStretch();
}

void TSettingsPage::chbZFSBClick()
{
    edtZFSB->setEnabled(chbZFSB->isChecked());
}

void TSettingsPage::Show(const TGatewaySettings &s)
{
    if (cmbCom->count() > 0)
        cmbCom->setCurrentIndex(s.COM >= 0 && s.COM < cmbCom->count() ? s.COM : -1);
    edtSMSC->setText(s.SMSC);
    edtReSend->setText(s.ReTry);
    chbZFSB->setChecked(s.CHKZF);
    chbZFSBClick();
    cbAutoOk->setChecked(s.AutoOk);
    cbAutoErr->setChecked(s.AutoErr);
    memOk->setPlainText(s.memOk);
    memErr->setPlainText(s.memErr);
    cbAutoPlay->setChecked(s.AutoPlay);
    edtZFSB->setText(s.ZFSBM);
    chbDel->setChecked(s.ADel);
    chbAutoRun->setChecked(s.AutoRun);
    cbLongSend->setChecked(s.LongSend);
    chbAutoInit->setChecked(s.AutoInit);
}

TGatewaySettings TSettingsPage::Read(const TGatewaySettings &base) const
{
    TGatewaySettings s = base;
    s.COM = cmbCom->currentIndex();
    s.SMSC = edtSMSC->text();
    s.ReTry = edtReSend->text();
    s.CHKZF = chbZFSB->isChecked();
    s.ZFSBM = edtZFSB->text();
    s.ADel = chbDel->isChecked();
    s.AutoRun = chbAutoRun->isChecked();
    s.AutoInit = chbAutoInit->isChecked();
    s.AutoOk = cbAutoOk->isChecked();
    s.AutoErr = cbAutoErr->isChecked();
    s.memOk = memOk->toPlainText();
    s.memErr = memErr->toPlainText();
    s.AutoPlay = cbAutoPlay->isChecked();
    s.LongSend = cbLongSend->isChecked();
    return s;
}

} // namespace Gateway
