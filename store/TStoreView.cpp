#include "TStoreView.h"

#include "StoreText.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <atomic>

namespace {
std::atomic<int> g_viewCount { 0 };
}

TStoreView::TStoreView(
    TMessageStore &store, const QString &name, const QString &query, QObject *parent)
    : QSqlQueryModel(parent)
    , m_store(&store)
    , m_name(name)
    , m_queryText(query)
    , m_connectionName(store.connectionName(TMessageStore::TConnection::View)
          + QStringLiteral("-%1-%2").arg(name).arg(++g_viewCount))
{
    store.attachView(this);
}

TStoreView::~TStoreView()
{
    close();
    if (m_store)
        m_store->detachView(this);
    if (QSqlDatabase::contains(m_connectionName))
        QSqlDatabase::removeDatabase(m_connectionName);
}

bool TStoreView::open()
{
    if (m_open)
        return true;
    if (!m_store)
        return false;
    const QString shown = StoreText::ShowStatement(m_queryText, m_values);
    if (!m_store->isOpen(TMessageStore::TConnection::View)) {
        m_store->reportFailure(shown, QStringLiteral("the view connection is not open"));
        return false;
    }
    QSqlDatabase db = QSqlDatabase::contains(m_connectionName)
        ? QSqlDatabase::database(m_connectionName, false)
        : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(m_store->databasePath());
    db.setConnectOptions(
        QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(TMessageStore::BusyTimeoutMs));
    if (!db.open()) {
        m_store->reportFailure(shown, db.lastError().text());
        return false;
    }
    QSqlQuery query(db);
    bool ok = query.prepare(m_queryText);
    if (ok) {
        for (const QVariant &value : m_values)
            query.addBindValue(value);
        ok = query.exec();
    }
    if (!ok) {
        m_store->reportFailure(shown, query.lastError().text());
        query = QSqlQuery();
        db.close();
        return false;
    }
    setQuery(std::move(query));
    if (lastError().isValid()) {
        m_store->reportFailure(shown, lastError().text());
        clear();
        db.close();
        return false;
    }
    m_open = true;
    opened();
    return true;
}

void TStoreView::close()
{
    clear();
    m_open = false;
    if (QSqlDatabase::contains(m_connectionName)) {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
}

std::optional<qint64> TStoreView::footerCount()
{
    if (!m_open || !m_store)
        return std::nullopt;
    const QString counted = m_countColumn.isEmpty()
        ? QStringLiteral("*")
        : QLatin1Char('[') + m_countColumn + QLatin1Char(']');
    const QString statement = !m_countStatement.isEmpty()
        ? m_countStatement
        : QStringLiteral("SELECT COUNT(%1) FROM (%2)").arg(counted, m_queryText);
    // Same connection as the rows, so the count is taken on the snapshot the grid shows.
    QSqlQuery count(QSqlDatabase::database(m_connectionName, false));
    bool ok = count.prepare(statement);
    if (ok) {
        for (const QVariant &value : m_values)
            count.addBindValue(value);
        ok = count.exec() && count.next();
    }
    if (!ok) {
        m_store->reportFailure(
            StoreText::ShowStatement(statement, m_values), count.lastError().text());
        return std::nullopt;
    }
    return count.value(0).toLongLong();
}

int TStoreView::fieldIndex(const QString &field) const
{
    return record().indexOf(field);
}
