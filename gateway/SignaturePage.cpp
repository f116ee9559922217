#include "SignaturePage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Gateway {

TSignaturePage::TSignaturePage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("tsSign"));
    edtName = new QLineEdit(this);
    edtName->setObjectName(QStringLiteral("edtName"));
    edtName->setMinimumWidth(360);
    btnSaveName = new QPushButton(QStringLiteral("保存签名"), this);
    btnSaveName->setObjectName(QStringLiteral("btnSaveName"));
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("短信签名："), this));
    row->addWidget(edtName);
    row->addWidget(btnSaveName);
    row->addStretch();
    auto *page = new QVBoxLayout(this);
    page->addLayout(row);
    page->addWidget(new QLabel(QStringLiteral("签名附加在每条从本页发送的短信之后。"), this));
    page->addStretch();
}

} // namespace Gateway
