#include "TRowEditModel.h"

#include <QSqlRecord>

namespace Contacts {

namespace {
    // Both lists are keyed by ID, which is never typed into.
    const QString KeyField = QStringLiteral("ID");
} // namespace

TRowEditModel::TRowEditModel(TStoreEditView *list, TChecker checker, QObject *parent)
    : QAbstractTableModel(parent)
    , m_list(list)
    , m_checker(std::move(checker))
{
    // Any change of the list's rows (opened, closed, read afresh, rows fetched) drops the edit:
    // the row numbers it refers to are no longer those of the list.
    connect(list, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        beginResetModel();
        clearEdit();
    });
    connect(list, &QAbstractItemModel::modelReset, this, [this] { endResetModel(); });
    connect(list, &QAbstractItemModel::rowsInserted, this, [this] {
        beginResetModel();
        clearEdit();
        endResetModel();
    });
    connect(list, &QAbstractItemModel::dataChanged, this,
        [this](const QModelIndex &from, const QModelIndex &to) {
            Q_EMIT dataChanged(index(from.row(), from.column()), index(to.row(), to.column()));
        });
}

void TRowEditModel::clearEdit()
{
    m_editRow = -1;
    m_appended = false;
    m_buffer.clear();
}

int TRowEditModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_list)
        return 0;
    return m_list->rowCount() + (m_appended ? 1 : 0);
}

int TRowEditModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_list ? 0 : m_list->columnCount();
}

int TRowEditModel::fieldIndex(const QString &field) const
{
    return m_list ? m_list->fieldIndex(field) : -1;
}

bool TRowEditModel::isKeyColumn(int column) const
{
    return m_list && m_list->record().fieldName(column).compare(KeyField, Qt::CaseInsensitive) == 0;
}

QVariant TRowEditModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_list || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    if (index.row() == m_editRow) {
        const auto typed = m_buffer.constFind(index.column());
        if (typed != m_buffer.constEnd())
            return *typed;
    }
    if (index.row() >= m_list->rowCount())
        return {};
    return m_list->data(m_list->index(index.row(), index.column()), role);
}

QVariant TRowEditModel::headerData(int section, Qt::Orientation o, int role) const
{
    return m_list ? m_list->headerData(section, o, role) : QVariant();
}

Qt::ItemFlags TRowEditModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!isKeyColumn(index.column()))
        result |= Qt::ItemIsEditable;
    return result;
}

QVariant TRowEditModel::value(int row, const QString &field) const
{
    const int column = fieldIndex(field);
    return column < 0 ? QVariant() : data(index(row, column), Qt::EditRole);
}

bool TRowEditModel::beginEdit(int row)
{
    if (row < 0 || row >= rowCount())
        return false;
    if (m_editRow >= 0)
        return m_editRow == row;
    m_editRow = row;
    return true;
}

bool TRowEditModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    if (!beginEdit(index.row()))
        return false;
    if (data(index, Qt::EditRole) == value && !m_buffer.contains(index.column()))
        return true; // unchanged: nothing to write
    m_buffer.insert(index.column(), value);
    Q_EMIT dataChanged(index, index, { Qt::DisplayRole, Qt::EditRole });
    return true;
}

bool TRowEditModel::appendRow()
{
    if (m_editRow >= 0 || !m_list || m_list->columnCount() == 0)
        return false;
    const int row = m_list->rowCount();
    beginInsertRows({}, row, row);
    m_appended = true;
    m_editRow = row;
    endInsertRows();
    return true;
}

TSaveCheck TRowEditModel::post()
{
    if (m_editRow < 0 || !m_list)
        return TSaveCheck::Accept();
    if (!m_appended && m_buffer.isEmpty()) {
        clearEdit(); // nothing changed: nothing to check or write
        return TSaveCheck::Accept();
    }
    QVariantMap values;
    const QSqlRecord fields = m_list->record();
    for (int c = 0; c < fields.count(); ++c) {
        if (!isKeyColumn(c))
            values.insert(fields.fieldName(c), data(index(m_editRow, c), Qt::EditRole));
    }
    const qint64 key = m_appended ? 0 : m_list->keyOf(m_editRow);
    const TSaveCheck check = m_checker ? m_checker(values, key) : TSaveCheck::Accept();
    if (!check.accepted)
        return check;

    if (m_appended) {
        QVariantMap typed; // only what was typed: the other columns keep their defaults
        for (auto it = m_buffer.constBegin(); it != m_buffer.constEnd(); ++it)
            typed.insert(fields.fieldName(it.key()), it.value());
        // A successful insert reads the list afresh, which ends the edit.
        if (!m_list->insertRecord(typed))
            return TSaveCheck::Refuse({}, {});
        return TSaveCheck::Accept();
    }
    const int row = m_editRow;
    const QHash<int, QVariant> typed = m_buffer;
    for (auto it = typed.constBegin(); it != typed.constEnd(); ++it) {
        if (!m_list->setData(m_list->index(row, it.key()), it.value()))
            return TSaveCheck::Refuse({}, {}); // reported by the store; the rest stays typed
        m_buffer.remove(it.key());
    }
    clearEdit();
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
    return TSaveCheck::Accept();
}

void TRowEditModel::cancel()
{
    if (m_editRow < 0)
        return;
    const int row = m_editRow;
    if (m_appended) {
        beginRemoveRows({}, row, row);
        clearEdit();
        endRemoveRows();
        return;
    }
    clearEdit();
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

bool TRowEditModel::removeRows(const QList<int> &rows)
{
    if (!m_list)
        return false;
    QList<qint64> keys;
    for (int row : rows) {
        if (isNewRow(row))
            continue;
        if (const qint64 key = m_list->keyOf(row); key > 0)
            keys.append(key);
    }
    if (m_editRow >= 0 && (m_appended || rows.contains(m_editRow)))
        cancel();
    if (keys.isEmpty())
        return true;
    return m_list->removeKeys(keys);
}

} // namespace Contacts
