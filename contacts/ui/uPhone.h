#pragma once
// TfSeleMan: the dialog "选择短信接收人", in which contacts of the phone book are picked; their
// mobile numbers, comma-separated, are the dialog's result. Created once, shown again for every
// selection; its list is open only while it is shown.

#include "TContactCallbacks.h"
#include "TMessageStore.h"

#include <QDialog>
#include <optional>

class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class TStoreView;

namespace Contacts {

class TfSeleMan final : public QDialog {
    Q_OBJECT
public:
    TfSeleMan(TMessageStore &store, TContactCallbacks callbacks, QWidget *parent = nullptr);

    // The picked numbers of the last showing, separated by commas; empty after a cancel.
    QString SelectedNumbers() const { return m_selectedNumbers; }

    // "确定": the numbers of the selected rows in the order the grid reports them.
    void Button1Click();
    // "取消".
    void Button2Click();

    // The 通讯组 column's header: sorting, and a filter on one group (nothing: all rows).
    void SortByGroup(Qt::SortOrder order);
    void FilterGroup(const std::optional<QString> &group);
    // The distinct groups of the list, as the header's filter offers them.
    QStringList GroupValues() const;

    TStoreView *ADODataSet1 = nullptr;
    QTableView *grid = nullptr;
    QSortFilterProxyModel *rows = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;

    void done(int result) override; // FormClose

protected:
    void showEvent(QShowEvent *event) override; // FormShow

private:
    void applyColumns();
    void groupHeaderMenu(const QPoint &at);
    int groupColumn() const;

    TContactCallbacks m_callbacks;
    QString m_selectedNumbers;
    Qt::SortOrder m_groupOrder = Qt::DescendingOrder;
};

} // namespace Contacts
