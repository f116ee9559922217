#include "TStoreEditView.h"

#include "StoreStatements.h"

#include <QSqlRecord>

namespace {
quint64 CellKey(int row, int column)
{
    return (quint64(quint32(row)) << 32) | quint32(column);
}
} // namespace

TStoreEditView::TStoreEditView(TMessageStore &store, const QString &name, const QString &query,
    const QString &table, const QString &key, const QList<TField> &fields, QObject *parent)
    : TStoreView(store, name, query, parent)
    , m_table(table)
    , m_key(key)
    , m_fields(fields)
{
}

void TStoreEditView::opened()
{
    m_written.clear();
    while (canFetchMore())
        fetchMore();
}

QString TStoreEditView::columnOf(const QString &alias) const
{
    for (const TField &field : m_fields) {
        if (field.alias.compare(alias, Qt::CaseInsensitive) == 0)
            return field.column;
    }
    return {};
}

Qt::ItemFlags TStoreEditView::flags(const QModelIndex &index) const
{
    Qt::ItemFlags result = TStoreView::flags(index);
    if (index.isValid() && !columnOf(record().fieldName(index.column())).isEmpty())
        result |= Qt::ItemIsEditable;
    return result;
}

QVariant TStoreEditView::data(const QModelIndex &index, int role) const
{
    if (index.isValid() && (role == Qt::DisplayRole || role == Qt::EditRole)) {
        const auto written = m_written.constFind(CellKey(index.row(), index.column()));
        if (written != m_written.constEnd())
            return *written;
    }
    return TStoreView::data(index, role);
}

qint64 TStoreEditView::keyOf(int row) const
{
    const int column = fieldIndex(m_key);
    if (column < 0 || row < 0 || row >= rowCount())
        return 0;
    return TStoreView::data(index(row, column)).toLongLong();
}

bool TStoreEditView::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !store())
        return false;
    const QString column = columnOf(record().fieldName(index.column()));
    const qint64 key = keyOf(index.row());
    if (column.isEmpty() || key <= 0)
        return false;
    const QString statement =
        QStringLiteral("UPDATE %1 SET %2=? WHERE %3=?").arg(m_table, column, m_key);
    if (!store()->Run(TMessageStore::TConnection::View, statement, { value, key }))
        return false;
    m_written.insert(CellKey(index.row(), index.column()), value);
    Q_EMIT dataChanged(index, index, { Qt::DisplayRole, Qt::EditRole });
    return true;
}

bool TStoreEditView::insertRecord(const QVariantMap &values)
{
    if (!store())
        return false;
    QStringList columns;
    QStringList marks;
    QVariantList bound;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        const QString column = columnOf(it.key());
        if (column.isEmpty()) {
            store()->reportFailure(QStringLiteral("INSERT INTO %1").arg(m_table),
                QStringLiteral("no field %1 in this list").arg(it.key()));
            return false;
        }
        columns << column;
        marks << QStringLiteral("?");
        bound << it.value();
    }
    const QString statement = columns.isEmpty()
        ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(m_table)
        : QStringLiteral("INSERT INTO %1 (%2) VALUES(%3)")
              .arg(m_table, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    const bool ok = store()->Run(TMessageStore::TConnection::View, statement, bound);
    if (ok)
        store()->RefreshDataSet(*this);
    return ok;
}

bool TStoreEditView::removeKeys(const QList<qint64> &keys)
{
    if (!store())
        return false;
    const bool ok = StoreSql::RunForKeys(*store(), TMessageStore::TConnection::View,
        QStringLiteral("DELETE FROM %1 WHERE %2 IN (").arg(m_table, m_key), keys);
    store()->RefreshDataSet(*this);
    return ok;
}
