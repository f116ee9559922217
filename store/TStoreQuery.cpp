#include "TStoreQuery.h"

#include "StoreText.h"
#include "untPublic.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>

TStoreQuery::TStoreQuery(TMessageStore &store, TMessageStore::TConnection connection)
    : m_store(store)
    , m_query(store.database(connection))
{
}

TStoreQuery::~TStoreQuery()
{
    close();
}

bool TStoreQuery::open(const QString &statement, const QVariantList &values, TReport report)
{
    close();
    m_shown = StoreText::ShowStatement(statement, values);
    bool ok = m_query.prepare(statement);
    if (ok) {
        for (const QVariant &value : values)
            m_query.addBindValue(value);
        ok = m_query.exec();
    }
    if (!ok) {
        if (report == TReport::Report)
            m_store.reportFailure(m_shown, errorText());
        return false;
    }
    m_onRow = m_query.next();
    if (!m_onRow && m_query.lastError().isValid()) {
        // A row that fails to step is a failure of the statement, not an empty result.
        if (report == TReport::Report)
            m_store.reportFailure(m_shown, errorText());
        return false;
    }
    return true;
}

bool TStoreQuery::next()
{
    m_onRow = m_onRow && m_query.next();
    return m_onRow;
}

QVariant TStoreQuery::field(const QString &name, bool *ok) const
{
    const int index = m_query.record().indexOf(name);
    if (ok)
        *ok = index >= 0;
    if (index < 0 || !m_onRow)
        return {};
    return m_query.value(index);
}

qint64 TStoreQuery::intField(const QString &name, bool *ok) const
{
    bool known = false;
    const QVariant value = field(name, &known);
    bool converted = true;
    const qint64 result = value.isNull() ? 0 : value.toLongLong(&converted);
    if (ok)
        *ok = known && converted;
    return converted ? result : 0;
}

QString TStoreQuery::textField(const QString &name, bool *ok) const
{
    return untPublic::TrimText(field(name, ok).toString());
}

void TStoreQuery::close()
{
    m_onRow = false;
    m_query.finish();
}

QString TStoreQuery::errorText() const
{
    if (!m_query.driver() || !m_query.driver()->isOpen())
        return QStringLiteral("the connection is not open");
    return m_query.lastError().text();
}
