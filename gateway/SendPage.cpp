#include "SendPage.h"

#include "KeyFilter.h"
#include "StatusLight.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace Gateway {

namespace {

    QPlainTextEdit *memo(QWidget *parent, const char *name, bool readOnly)
    {
        auto *m = new QPlainTextEdit(parent);
        m->setObjectName(QLatin1String(name));
        m->setReadOnly(readOnly);
        m->setLineWrapMode(QPlainTextEdit::NoWrap); // both scroll bars, as the logs have them
        m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        return m;
    }

    QPushButton *button(QWidget *parent, const QString &caption, const char *name)
    {
        auto *b = new QPushButton(caption, parent);
        b->setObjectName(QLatin1String(name));
        return b;
    }

} // namespace

TSendPage::TSendPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("tsSmsDo"));
    edtTel = memo(this, "edtTel", false);
    edtTel->setToolTip(QStringLiteral("多个手机号之间用英文逗号分割"));
    edtTel->setFixedHeight(48);
    TKeyFilter::Install(edtTel, TKeyFilter::DigitOrComma);
    edtMsg = memo(this, "edtMsg", false);
    edtMsg->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    edtMsg->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    edtMsg->setFixedHeight(84);
    lblSize = new QLabel(this);
    lblSize->setObjectName(QStringLiteral("lblSize"));
    btnSend = button(this, QStringLiteral("发送"), "btnSend");
    btnSend->setEnabled(false);
    btnSend->setMinimumWidth(90);
    shpState = new TStatusLight(this);
    shpState->setObjectName(QStringLiteral("shpState"));
    lblCSQ = new QLabel(QStringLiteral("信号强度："), this);
    lblCSQ->setObjectName(QStringLiteral("lblCSQ"));
    lblCSQ->setToolTip(QStringLiteral("双击重新检测"));
    lblCSQ->installEventFilter(this);
    lblCSQValue = new QLabel(QStringLiteral("0"), this);
    lblCSQValue->setObjectName(QStringLiteral("lblCSQValue"));

    auto *compose = new QGridLayout;
    compose->addWidget(new QLabel(QStringLiteral("接收手机："), this), 0, 0, Qt::AlignTop);
    compose->addWidget(edtTel, 0, 1);
    compose->addWidget(new QLabel(QStringLiteral("发送内容："), this), 1, 0, Qt::AlignTop);
    compose->addWidget(edtMsg, 1, 1);
    auto *bar = new QHBoxLayout;
    bar->addWidget(lblSize);
    bar->addStretch();
    bar->addWidget(lblCSQ);
    bar->addWidget(lblCSQValue);
    bar->addSpacing(12);
    bar->addWidget(shpState);
    bar->addSpacing(12);
    bar->addWidget(btnSend);
    compose->addLayout(bar, 2, 1);

    memErrMonitor = memo(this, "memErrMonitor", true);
    memSndMonitor = memo(this, "memSndMonitor", true);
    memRevMonitor = memo(this, "memRevMonitor", true);
    memRecSMS = memo(this, "memRecSMS", true);
    auto *logs = new QGridLayout;
    const struct {
        const char *caption;
        QPlainTextEdit *pane;
    } panes[] = { { "报错内容：", memErrMonitor }, { "发送内容：", memSndMonitor },
        { "发收内容：", memRevMonitor }, { "接收内容：", memRecSMS } };
    for (int i = 0; i < 4; ++i) {
        logs->addWidget(new QLabel(QString::fromUtf8(panes[i].caption), this), (i / 2) * 2, i % 2);
        logs->addWidget(panes[i].pane, (i / 2) * 2 + 1, i % 2);
    }

    pnlUseATA = new QFrame(this);
    pnlUseATA->setObjectName(QStringLiteral("pnlUseATA"));
    pnlUseATA->setFrameShape(QFrame::StyledPanel);
    edtCall = new QLineEdit(pnlUseATA);
    edtCall->setObjectName(QStringLiteral("edtCall"));
    TKeyFilter::Install(edtCall, TKeyFilter::Digit);
    btnCall = button(pnlUseATA, QStringLiteral("拨号(&C)"), "btnCall");
    btnATA = button(pnlUseATA, QStringLiteral("接"), "btnATA");
    btnATA->setEnabled(false);
    btnATH = button(pnlUseATA, QStringLiteral("挂"), "btnATH");
    auto *call = new QHBoxLayout(pnlUseATA);
    call->setContentsMargins(4, 2, 4, 2);
    call->addWidget(new QLabel(QStringLiteral("呼叫号码："), pnlUseATA));
    call->addWidget(edtCall);
    call->addWidget(btnCall);
    call->addWidget(btnATA);
    call->addWidget(btnATH);
    call->addStretch();
    pnlUseATA->setVisible(false);

    auto *page = new QVBoxLayout(this);
    page->addLayout(compose);
    page->addLayout(logs, 1);
    page->addWidget(pnlUseATA);
}

QString TSendPage::FieldText(const QPlainTextEdit *field)
{
    return field->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
}

void TSendPage::AppendLine(QPlainTextEdit *log, const QString &line)
{
    log->appendPlainText(line);
    log->verticalScrollBar()->setValue(log->verticalScrollBar()->maximum());
}

bool TSendPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lblCSQ && event->type() == QEvent::MouseButtonDblClick) {
        Q_EMIT SignalLabelDoubleClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace Gateway
