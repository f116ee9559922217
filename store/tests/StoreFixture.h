#pragma once
// A store on a fresh file in a temporary folder, the failure reports it emitted, and a
// connection of the test's own to look at the file behind the store's back.

#include "TMessageStore.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <memory>

class StoreFixture {
public:
    StoreFixture();
    ~StoreFixture();

    QString path() const { return m_dir.filePath(QStringLiteral("SMS.db")); }
    QString dirPath() const { return m_dir.path(); }

    // A new store on path(), opened; its reports are collected in `reports` and `reasons`.
    std::unique_ptr<TMessageStore> openStore();

    // Statements on the test's own connection (no busy wait: a lock held by the store fails).
    bool exec(const QString &statement, const QVariantList &values = {});
    QVariant scalar(const QString &statement, const QVariantList &values = {});
    QList<QVariantList> rows(const QString &statement, const QVariantList &values = {});
    QStringList tables();

    QStringList reports;
    QStringList reasons;

private:
    QTemporaryDir m_dir;
    QString m_connection;
};
