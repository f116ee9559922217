#include "uOrder.h"

#include "TMessageStore.h"
#include "TStoreQuery.h"

#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace Orders {

TForm1::TForm1(TMessageStore &store, TOrderHooks hooks, QWidget *parent)
    : QDialog(parent)
    , m_store(store)
    , m_hooks(std::move(hooks))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("订单维护"));
    setModal(true);
    memMsg = new QPlainTextEdit(this);
    memMsg->setObjectName(QStringLiteral("memMsg"));
    edtDate = new QLineEdit(this);
    edtDate->setObjectName(QStringLiteral("edtDate"));
    edtDate->setReadOnly(true);
    edtCustName = new QLineEdit(this);
    edtCustName->setObjectName(QStringLiteral("edtCustName"));
    edtCustName->setReadOnly(true);
    memProduct = new QPlainTextEdit(this);
    memProduct->setObjectName(QStringLiteral("memProduct"));
    memProduct->setReadOnly(true);
    memDemo = new QPlainTextEdit(this);
    memDemo->setObjectName(QStringLiteral("memDemo"));
    memDemo->setReadOnly(true);
    btnSave = new QPushButton(QStringLiteral("保存"), this);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnParse = new QPushButton(QStringLiteral("解析"), this);
    btnParse->setObjectName(QStringLiteral("btnParse"));

    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("信息内容"), memMsg);
    fields->addRow(QStringLiteral("发货日期"), edtDate);
    fields->addRow(QStringLiteral("客户名称"), edtCustName);
    fields->addRow(QStringLiteral("产品信息"), memProduct);
    fields->addRow(QStringLiteral("备注信息"), memDemo);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnParse);
    buttons->addWidget(btnSave);
    buttons->addWidget(btnCancel);
    auto *all = new QVBoxLayout(this);
    all->addLayout(fields);
    all->addLayout(buttons);
    setFixedSize(460, 420);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    connect(btnParse, &QPushButton::clicked, this, &TForm1::btnParseClick);
    connect(btnSave, &QPushButton::clicked, this, &TForm1::btnSaveClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TForm1::LoadOrder(const QString &fid)
{
    // Unsaved changes of an earlier edit are dropped here.
    m_row = SaleOrder();
    m_new = false;
    bool ok = false;
    m_row.FID = fid.trimmed().toLongLong(&ok);
    TStoreQuery q(m_store);
    if (ok
        && q.open(QStringLiteral("SELECT fid,fmsg,fdate,fcustname,fproduct,fdemo,fmobile,"
                                 "frevdate FROM SALE_ORDER WHERE FID=?"),
            { m_row.FID })
        && !q.atEnd()) {
        m_row.fmsg = q.textField(QStringLiteral("fmsg"));
        m_row.fdate = q.textField(QStringLiteral("fdate"));
        m_row.fcustname = q.textField(QStringLiteral("fcustname"));
        m_row.fproduct = q.textField(QStringLiteral("fproduct"));
        m_row.fdemo = q.textField(QStringLiteral("fdemo"));
        m_row.fmobile = q.textField(QStringLiteral("fmobile"));
        m_row.frevdate = q.textField(QStringLiteral("frevdate"));
        showRow();
        return true;
    }
    if (ok && q.atEnd() && q.errorText().isEmpty() && m_hooks.fail)
        m_hooks.fail(QStringLiteral("订单 ") + fid + QStringLiteral(" 不存在！"));
    showRow();
    return false;
}

void TForm1::NewOrderFromMessage(
    const QString &mobile, const QString &text, const QString &receivedAt)
{
    m_row = SaleOrder();
    m_new = true;
    m_row.fmobile = mobile;
    m_row.fmsg = text;
    m_row.frevdate = receivedAt;
    showRow();
}

void TForm1::showRow()
{
    memMsg->setPlainText(m_row.fmsg);
    edtDate->setText(m_row.fdate);
    edtCustName->setText(m_row.fcustname);
    memProduct->setPlainText(m_row.fproduct);
    memDemo->setPlainText(m_row.fdemo);
}

void TForm1::btnParseClick()
{
    m_row.fmsg = memMsg->toPlainText();
    const ParsedOrder parsed = ParseOrderText(m_row.fmsg);
    ApplyParsedOrder(m_row, parsed);
    showRow();
    if (parsed.pieceCount < 2 && m_hooks.inform)
        m_hooks.inform(ParseFailureMessage());
}

bool TForm1::btnSaveClick()
{
    btnParseClick();
    const QString failure = SaveRuleFailure(m_row);
    if (!failure.isEmpty()) {
        if (m_hooks.inform)
            m_hooks.inform(failure);
        return false;
    }
    if (!post())
        return false;
    accept();
    return true;
}

bool TForm1::post()
{
    TStoreQuery q(m_store);
    bool ok;
    if (m_new) {
        // fstatus is left to the column default: a new order.
        ok = q.open(QStringLiteral("INSERT INTO SALE_ORDER (fmsg,fmobile,frevdate,fdate,"
                                   "fcustname,fproduct,fdemo) VALUES (?,?,?,?,?,?,?)"),
            { m_row.fmsg, m_row.fmobile, m_row.frevdate, m_row.fdate, m_row.fcustname,
                m_row.fproduct, m_row.fdemo });
    } else {
        ok = q.open(QStringLiteral("UPDATE SALE_ORDER SET fmsg=?,fdate=?,fcustname=?,"
                                   "fproduct=?,fdemo=? WHERE FID=?"),
            { m_row.fmsg, m_row.fdate, m_row.fcustname, m_row.fproduct, m_row.fdemo, m_row.FID });
    }
    if (!ok) {
        if (m_hooks.fail)
            m_hooks.fail(q.errorText());
        return false;
    }
    if (m_new) {
        m_row.FID = q.open(QStringLiteral("SELECT last_insert_rowid() AS FID"))
            ? q.intField(QStringLiteral("FID"))
            : 0;
        m_new = false;
    }
    return true;
}

} // namespace Orders
