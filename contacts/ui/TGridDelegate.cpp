#include "TGridDelegate.h"

#include <QComboBox>
#include <QListView>

namespace Contacts {

TGridDelegate::TGridDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

void TGridDelegate::setGroupField(
    const QString &field, QAbstractItemModel *groups, const QString &nameField)
{
    m_groupField = field;
    m_groups = groups;
    m_nameField = nameField;
}

bool TGridDelegate::isGroupCell(const QModelIndex &index) const
{
    return !m_groupField.isEmpty() && index.isValid()
        && index.model()->headerData(index.column(), Qt::Horizontal).toString() == m_groupField;
}

QStringList TGridDelegate::groupNames() const
{
    QStringList names { QString() };
    if (!m_groups)
        return names;
    int column = -1;
    for (int c = 0; c < m_groups->columnCount(); ++c) {
        if (m_groups->headerData(c, Qt::Horizontal).toString() == m_nameField)
            column = c;
    }
    if (column < 0)
        return names;
    while (m_groups->canFetchMore({}))
        m_groups->fetchMore({});
    for (int r = 0; r < m_groups->rowCount(); ++r)
        names << m_groups->index(r, column).data(Qt::EditRole).toString();
    return names;
}

QWidget *TGridDelegate::createEditor(
    QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QWidget *editor = nullptr;
    if (isGroupCell(index)) {
        auto *combo = new QComboBox(parent);
        combo->setEditable(false); // a fixed list
        combo->setObjectName(QStringLiteral("groupDropDown"));
        combo->setView(new QListView(combo)); // a plain list: no header, no grid lines
        combo->addItems(groupNames());
        editor = combo;
    } else {
        editor = QStyledItemDelegate::createEditor(parent, option, index);
    }
    m_editor = editor;
    return editor;
}

void TGridDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *combo = qobject_cast<QComboBox *>(editor); combo && isGroupCell(index)) {
        // A name no longer in the list (a renamed group) is shown as it is stored.
        const QString current = index.data(Qt::EditRole).toString();
        int at = combo->findText(current, Qt::MatchExactly);
        if (at < 0) {
            combo->addItem(current);
            at = combo->count() - 1;
        }
        combo->setCurrentIndex(at);
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void TGridDelegate::setModelData(
    QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    if (auto *combo = qobject_cast<QComboBox *>(editor); combo && isGroupCell(index)) {
        model->setData(index, combo->currentText(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

bool TGridDelegate::commitOpenEditor()
{
    if (!m_editor)
        return false;
    Q_EMIT commitData(m_editor);
    return true;
}

} // namespace Contacts
