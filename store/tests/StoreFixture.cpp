#include "StoreFixture.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <atomic>

namespace {
std::atomic<int> g_fixtureCount { 0 };
}

StoreFixture::StoreFixture()
    : m_connection(QStringLiteral("store-fixture-%1").arg(++g_fixtureCount))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(path());
}

StoreFixture::~StoreFixture()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

std::unique_ptr<TMessageStore> StoreFixture::openStore()
{
    auto store = std::make_unique<TMessageStore>(path());
    QObject::connect(
        store.get(), &TMessageStore::dbError, [this](const QString &report, const QString &reason) {
            reports << report;
            reasons << reason;
        });
    store->open();
    return store;
}

QList<QVariantList> StoreFixture::rows(const QString &statement, const QVariantList &values)
{
    QList<QVariantList> result;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.isOpen() && !db.open()) {
        qWarning("fixture: %s", qPrintable(db.lastError().text()));
        return result;
    }
    {
        QSqlQuery query(db);
        bool ok = query.prepare(statement);
        for (const QVariant &value : values)
            query.addBindValue(value);
        ok = ok && query.exec();
        if (!ok)
            qWarning(
                "fixture: %s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
        while (ok && query.next()) {
            QVariantList row;
            for (int i = 0; i < query.record().count(); ++i)
                row << query.value(i);
            result << row;
        }
    }
    // Closed after every call, so the test's connection never holds a snapshot.
    db.close();
    return result;
}

bool StoreFixture::exec(const QString &statement, const QVariantList &values)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.isOpen() && !db.open())
        return false;
    bool ok = false;
    {
        QSqlQuery query(db);
        ok = query.prepare(statement);
        for (const QVariant &value : values)
            query.addBindValue(value);
        ok = ok && query.exec();
        if (!ok)
            qWarning(
                "fixture: %s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
    }
    db.close();
    return ok;
}

QVariant StoreFixture::scalar(const QString &statement, const QVariantList &values)
{
    const QList<QVariantList> result = rows(statement, values);
    return result.isEmpty() || result.first().isEmpty() ? QVariant() : result.first().first();
}

QStringList StoreFixture::tables()
{
    QStringList names;
    for (const QVariantList &row :
        rows(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' "
                            "AND name NOT LIKE 'sqlite_%' ORDER BY name")))
        names << row.first().toString();
    return names;
}
