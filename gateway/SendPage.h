#pragma once
// The page "发送短信": compose area, send button, status light, signal, four logs, call panel.

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QLineEdit;
class QFrame;

namespace Gateway {

class TStatusLight;

class TSendPage final : public QWidget {
    Q_OBJECT
public:
    explicit TSendPage(QWidget *parent = nullptr);

    // The text of a multi-line field with the line breaks the stored texts use (CR LF).
    static QString FieldText(const QPlainTextEdit *field);
    // Appends one line to a log pane (never cleared) and keeps the end in view.
    static void AppendLine(QPlainTextEdit *log, const QString &line);

    QPlainTextEdit *edtTel;
    QPlainTextEdit *edtMsg;
    QLabel *lblSize;
    QPushButton *btnSend;
    TStatusLight *shpState;
    QLabel *lblCSQ; // "信号强度：", double-click asks again
    QLabel *lblCSQValue; // the value, "0" at start
    QPlainTextEdit *memErrMonitor;
    QPlainTextEdit *memSndMonitor;
    QPlainTextEdit *memRevMonitor;
    QPlainTextEdit *memRecSMS;
    QFrame *pnlUseATA;
    QLineEdit *edtCall;
    QPushButton *btnCall;
    QPushButton *btnATA;
    QPushButton *btnATH;

Q_SIGNALS:
    void SignalLabelDoubleClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace Gateway
