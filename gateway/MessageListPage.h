#pragma once
// A message list page (发信箱, 收信箱): a read-only grid over a view model, several rows
// selectable, rows as high as their text, a footer with the number of rows, a context menu.

#include <QStringList>
#include <QWidget>

class QAbstractItemModel;
class TStoreView;
class QLabel;
class QMenu;
class QTableView;

namespace Gateway {

class TMessageListPage final : public QWidget {
    Q_OBJECT
public:
    // `timeCaption` is the alias of the time column (接收时间 or 发送时间), `keyCaption` that
    // of the hidden key (id or ID).
    TMessageListPage(
        const QString &timeCaption, const QString &keyCaption, QWidget *parent = nullptr);

    // Shows a list whose columns carry the view's aliases as header captions.
    void SetModel(TStoreView *view);
    // Re-applies the column layout and the footer after the model was reloaded.
    void ModelReloaded();

    // The trimmed values of one column of the selected rows, in selection order.
    QStringList SelectedValues(const QString &caption) const;
    // The same, each followed by "," (empty when nothing is selected).
    QString JoinSelectedValues(const QString &caption) const;
    // The footer's count (all rows of the list, not only those read so far).
    int RowCount() const;

    QTableView *grid;
    QLabel *footer;
    QMenu *popup;

private:
    int column(const QString &caption) const;

    QString m_timeCaption;
    QString m_keyCaption;
    TStoreView *m_view = nullptr;
};

} // namespace Gateway
