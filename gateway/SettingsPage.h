#pragma once
// The page "系统设置": the set-up group "系统配置" and the options around it. Controls the
// user never sees are still here: their values come from Config.ini and go back to it.

#include "GatewaySettings.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace Gateway {

class TSettingsPage final : public QWidget {
    Q_OBJECT
public:
    explicit TSettingsPage(QWidget *parent = nullptr);

    // Fills the controls (the port list must be filled first; COM selects by position).
    void Show(const TGatewaySettings &s);
    // The settings as the controls hold them; keys without a control on this page (UATA,
    // regName) are taken from `base`.
    TGatewaySettings Read(const TGatewaySettings &base) const;
    void chbZFSBClick();

    QGroupBox *gbSet;
    QComboBox *cmbCom;
    QLineEdit *edtSMSC;
    QLineEdit *edtReSend;
    QCheckBox *chbZFSB;
    QLineEdit *edtZFSB;
    QCheckBox *chbDel;
    QPushButton *btnSet;
    QCheckBox *chbAutoInit;
    QCheckBox *cbAutoPlay;
    QCheckBox *cbLongSend;
    QCheckBox *chbAutoRun;
    QGroupBox *gbOk;
    QGroupBox *gbErr;
    QCheckBox *cbAutoOk;
    QCheckBox *cbAutoErr;
    QPlainTextEdit *memOk;
    QPlainTextEdit *memErr;
};

} // namespace Gateway
