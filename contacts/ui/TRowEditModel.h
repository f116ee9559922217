#pragma once
// The grid's side of an editable list: the row being edited (or appended) is held here until it
// is saved, so that the save rules can refuse it with everything typed still in place. Saving
// writes the changed cells (or inserts the new row) through the list.

#include "ContactRules.h"
#include "TStoreEditView.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QPointer>
#include <functional>

namespace Contacts {

class TRowEditModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    // The rules a row must pass: its values by field name, and its key (0 for a new row).
    using TChecker = std::function<TSaveCheck(const QVariantMap &values, qint64 key)>;

    TRowEditModel(TStoreEditView *list, TChecker checker, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Holds the value in the row's edit; another row being edited must be saved first.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    TStoreEditView *list() const { return m_list; }
    int fieldIndex(const QString &field) const;
    QVariant value(int row, const QString &field) const;

    bool isEditing() const { return m_editRow >= 0; }
    int editRow() const { return m_editRow; }
    bool isNewRow(int row) const { return m_appended && row == m_editRow; }
    // Appends an empty row in editing at the end; false while another row is in editing.
    bool appendRow();
    // Puts a row into editing without changing it (the navigator's edit).
    bool beginEdit(int row);
    // Runs the rules over the row in editing and writes it. A refusal names the message and
    // field; a failing write is reported by the store and refused with no message. The row
    // stays in editing after either.
    TSaveCheck post();
    // Drops the row's edit (an appended row disappears).
    void cancel();
    // Deletes the rows (an appended row in editing is dropped); no confirmation.
    bool removeRows(const QList<int> &rows);

private:
    void clearEdit();
    bool isKeyColumn(int column) const;

    QPointer<TStoreEditView> m_list;
    TChecker m_checker;
    int m_editRow = -1;
    bool m_appended = false;
    QHash<int, QVariant> m_buffer; // column -> value typed into the row in editing
};

} // namespace Contacts
