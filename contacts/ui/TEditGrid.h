#pragma once
// An editable grid over one list with its navigator bar (insert, delete, edit, save, cancel).
// Cells edit in place; a row is saved when the operator saves or leaves it, after the rules of
// its list. A refusal shows its message and puts the cursor into the field it names.

#include "TContactCallbacks.h"
#include "TRowEditModel.h"

#include <QTableView>
#include <QWidget>

class QToolButton;

namespace Contacts {

class TGridDelegate;

// The table: Enter moves on like Tab; columns cannot be sorted, moved or resized.
class TEditTable final : public QTableView {
    Q_OBJECT
public:
    explicit TEditTable(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
};

class TEditGrid final : public QWidget {
    Q_OBJECT
public:
    struct TColumn {
        QString field;
        int width;
    };

    // `columns` are the shown fields with their widths; the others (the key) are hidden.
    TEditGrid(TStoreEditView *list, TRowEditModel::TChecker checker, const QList<TColumn> &columns,
        TContactCallbacks callbacks, QWidget *parent = nullptr);

    TEditTable *grid() const { return m_grid; }
    TRowEditModel *model() const { return m_model; }
    TGridDelegate *delegate() const { return m_delegate; }
    QToolButton *navButton(int which) const { return m_buttons.value(which); }
    enum TNavButton { nbInsert, nbDelete, nbEdit, nbPost, nbCancel };

    // The navigator's buttons.
    void Insert();
    void Delete();
    void Edit();
    bool Post(); // false when the row was refused (it stays in editing)
    void Cancel();

private:
    void applyColumns();
    void focusField(int row, const QString &field);
    void onCurrentRowChanged(const QModelIndex &current, const QModelIndex &previous);

    TRowEditModel *m_model;
    TEditTable *m_grid;
    TGridDelegate *m_delegate;
    QList<QToolButton *> m_buttons;
    QList<TColumn> m_columns;
    TContactCallbacks m_callbacks;
    bool m_refocusing = false;
};

} // namespace Contacts
