#pragma once
// The page of the signature: "短信签名：" and its save button.

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace Gateway {

class TSignaturePage final : public QWidget {
    Q_OBJECT
public:
    explicit TSignaturePage(QWidget *parent = nullptr);
    QLineEdit *edtName;
    QPushButton *btnSaveName;
};

} // namespace Gateway
