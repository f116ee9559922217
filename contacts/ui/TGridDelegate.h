#pragma once
// The cell editor of the contact grids: a text field, or for the group column a fixed
// drop-down over the group list (only a listed name, or nothing, can be chosen). It keeps the
// open editor, so that saving from the navigator takes what is typed in it.

#include <QPointer>
#include <QStyledItemDelegate>

class QAbstractItemModel;

namespace Contacts {

class TGridDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TGridDelegate(QObject *parent = nullptr);

    // The field (by its caption) edited with the drop-down, and the list and field its
    // names come from.
    void setGroupField(const QString &field, QAbstractItemModel *groups, const QString &nameField);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(
        QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

    // Writes the open editor's text into its cell; false when no editor is open.
    bool commitOpenEditor();
    QWidget *openEditor() const { return m_editor; }
    // The names offered by the drop-down: nothing first, then the group list in its order.
    QStringList groupNames() const;

private:
    bool isGroupCell(const QModelIndex &index) const;

    QString m_groupField;
    QPointer<QAbstractItemModel> m_groups;
    QString m_nameField;
    mutable QPointer<QWidget> m_editor;
};

} // namespace Contacts
