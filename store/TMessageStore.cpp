#include "TMessageStore.h"

#include "StoreSchema.h"
#include "StoreText.h"
#include "TStoreView.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>

namespace {

std::atomic<int> g_storeCount { 0 };

QString ReasonOf(const QSqlQuery &query, const QSqlDatabase &db)
{
    if (!db.isOpen())
        return QStringLiteral("the connection is not open");
    return query.lastError().text();
}

} // namespace

TMessageStore::TMessageStore(const QString &databasePath, QObject *parent)
    : QObject(parent)
    , m_givenPath(databasePath)
    , m_path(QFileInfo(databasePath).absoluteFilePath())
    , m_namePrefix(QStringLiteral("lumetra-store-%1").arg(++g_storeCount))
{
}

TMessageStore::~TMessageStore()
{
    close();
    for (const TConnection c : { TConnection::Cmd, TConnection::View }) {
        if (QSqlDatabase::contains(connectionName(c)))
            QSqlDatabase::removeDatabase(connectionName(c));
    }
}

QString TMessageStore::connectionName(TConnection connection) const
{
    return m_namePrefix
        + (connection == TConnection::Cmd ? QStringLiteral("-ADOConnection")
                                          : QStringLiteral("-ADOConnection1"));
}

QSqlDatabase TMessageStore::database(TConnection connection) const
{
    return QSqlDatabase::database(connectionName(connection), false);
}

bool TMessageStore::isOpen(TConnection connection) const
{
    return QSqlDatabase::contains(connectionName(connection)) && database(connection).isOpen();
}

bool TMessageStore::open()
{
    if (isOpen(TConnection::Cmd) && isOpen(TConnection::View))
        return true;
    // The path is fixed here, so that views opened later find the same file whatever the
    // current folder has become.
    const QFileInfo file(m_givenPath);
    m_path = file.absoluteFilePath();
    // An empty file is what a second program sees while the first is still creating the
    // tables; both take the creation path, and the transaction in createTables() sorts it out.
    const bool fresh = !file.exists() || file.size() == 0;

    if (!openConnection(TConnection::Cmd))
        return false;
    // A failed creation is reported; the connection stays open for whatever does work.
    if (fresh)
        createTables();

    // Write-ahead logging lets another program insert queue rows while the views are read.
    QSqlQuery pragma(database(TConnection::Cmd));
    const QString statement = QStringLiteral("PRAGMA journal_mode=WAL");
    if (!pragma.exec(statement) || !pragma.next())
        reportFailure(statement, pragma.lastError().text());
    else if (pragma.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
        reportFailure(
            statement, QStringLiteral("journal mode stays %1").arg(pragma.value(0).toString()));
    pragma.finish();

    return openConnection(TConnection::View);
}

bool TMessageStore::openConnection(TConnection connection)
{
    const QString name = connectionName(connection);
    QSqlDatabase db = QSqlDatabase::contains(name)
        ? QSqlDatabase::database(name, false)
        : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(m_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    if (db.open())
        return true;
    reportFailure(m_path, db.lastError().text());
    return false;
}

bool TMessageStore::createTables()
{
    const QStringList statements = StoreSchema::SplitStatements(StoreSchema::Text());
    if (statements.isEmpty()) {
        reportFailure(QStringLiteral(":/lumetra/schema.sql"),
            QStringLiteral("the built-in schema is missing"));
        return false;
    }
    // The write lock is taken first: of two programs creating the same new file, the second
    // waits here and then finds the tables made.
    if (!Run(TConnection::Cmd, QStringLiteral("BEGIN IMMEDIATE")))
        return false;
    bool ok = true;
    {
        QSqlQuery count(database(TConnection::Cmd));
        const QString countStatement = QStringLiteral("SELECT COUNT(*) FROM sqlite_master");
        if (!count.exec(countStatement) || !count.next()) {
            reportFailure(countStatement, count.lastError().text());
            ok = false;
        } else if (count.value(0).toLongLong() == 0) {
            count.finish();
            for (const QString &statement : statements) {
                if (!Run(TConnection::Cmd, statement)) {
                    ok = false;
                    break;
                }
            }
        }
    }
    if (ok && Run(TConnection::Cmd, QStringLiteral("COMMIT")))
        return true;
    Run(TConnection::Cmd, QStringLiteral("ROLLBACK"));
    return false;
}

void TMessageStore::closeConnection(TConnection connection)
{
    if (!QSqlDatabase::contains(connectionName(connection)))
        return;
    QSqlDatabase db = database(connection);
    db.close();
}

void TMessageStore::close()
{
    const auto views = m_views;
    for (const QPointer<TStoreView> &view : views) {
        if (view)
            view->close();
    }
    closeConnection(TConnection::Cmd);
    closeConnection(TConnection::View);
}

bool TMessageStore::reopen()
{
    bool ok = true;
    for (const TConnection c : { TConnection::Cmd, TConnection::View }) {
        if (isOpen(c))
            continue;
        closeConnection(c);
        ok = openConnection(c) && ok;
    }
    return ok;
}

bool TMessageStore::Run(
    TConnection connection, const QString &statement, const QVariantList &values, TReport report)
{
    const QSqlDatabase db = database(connection);
    QSqlQuery query(db);
    bool ok = db.isOpen() && query.prepare(statement);
    if (ok) {
        for (const QVariant &value : values)
            query.addBindValue(value);
        ok = query.exec();
    }
    if (!ok && report == TReport::Report)
        reportFailure(StoreText::ShowStatement(statement, values), ReasonOf(query, db));
    return ok;
}

bool TMessageStore::ExecCmdSQL(const QString &statement, const QVariantList &values)
{
    return Run(TConnection::Cmd, StoreText::ReplaceDoubleQuotes(statement),
        StoreText::ReplaceDoubleQuotes(values));
}

bool TMessageStore::ExecViewSQL(const QString &statement, const QVariantList &values)
{
    return Run(TConnection::View, StoreText::ReplaceDoubleQuotes(statement),
        StoreText::ReplaceDoubleQuotes(values));
}

bool TMessageStore::RefreshDataSet(TStoreView &view)
{
    view.close();
    return view.open();
}

void TMessageStore::reportFailure(const QString &shownStatement, const QString &reason)
{
    Q_EMIT dbError(StoreText::FailureHeading() + QLatin1Char('\n') + shownStatement, reason);
}

void TMessageStore::attachView(TStoreView *view)
{
    m_views.removeAll(nullptr);
    if (!m_views.contains(view))
        m_views.append(view);
}

void TMessageStore::detachView(TStoreView *view)
{
    m_views.removeAll(view);
    m_views.removeAll(nullptr);
}
