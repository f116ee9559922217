#pragma once
// TForm1 "订单维护": one order row, parsed, checked and saved. The operator edits the order
// text alone; the parsed fields change only by parsing.

#include "OrderHooks.h"
#include "SaleOrder.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TMessageStore;

namespace Orders {

class TForm1 final : public QDialog {
    Q_OBJECT
public:
    TForm1(TMessageStore &store, TOrderHooks hooks, QWidget *parent = nullptr);

    // Reads the order with this FID (the list's text); false, reported, when it cannot be read.
    bool LoadOrder(const QString &fid);
    // A new row, stored only when saved.
    void NewOrderFromMessage(const QString &mobile, const QString &text, const QString &receivedAt);

    // 解析: parses the text into the row; nothing is stored.
    void btnParseClick();
    // 保存: parses, applies the save rules, stores the row and closes; stays open on a failure.
    bool btnSaveClick();

    // The row as the dialog holds it.
    const SaleOrder &Row() const { return m_row; }
    bool IsNewRow() const { return m_new; }

    QPlainTextEdit *memMsg;
    QLineEdit *edtDate;
    QLineEdit *edtCustName;
    QPlainTextEdit *memProduct;
    QPlainTextEdit *memDemo;
    QPushButton *btnSave;
    QPushButton *btnCancel;
    QPushButton *btnParse;

private:
    void showRow();
    bool post();

    TMessageStore &m_store;
    TOrderHooks m_hooks;
    SaleOrder m_row;
    bool m_new = false;
};

} // namespace Orders
