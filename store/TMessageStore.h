#pragma once
// The message store: the command connection ADOConnection, the view connection ADOConnection1,
// the routines every statement runs through, and the views opened on the store.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

class TStoreView;

// Whether a failing statement is reported through dbError or left to the caller.
enum class TReport { Report, Silent };

class TMessageStore : public QObject {
    Q_OBJECT
public:
    enum class TConnection {
        Cmd, // ADOConnection: commands and the code's own queries
        View // ADOConnection1: the views' side, ExecViewSQL
    };

    // How long a statement waits for another writer (this program or another) before failing.
    static constexpr int BusyTimeoutMs = 5000;

    // `databasePath` is relative to the current folder at open(), as the program's SMS.db is.
    explicit TMessageStore(
        const QString &databasePath = QStringLiteral("SMS.db"), QObject *parent = nullptr);
    ~TMessageStore() override;

    // Opens ADOConnection, then ADOConnection1. A missing (or empty) file is created from the
    // built-in schema; a present one is used as it is. Failures are reported; false if either
    // connection is not open afterwards.
    bool open();
    // Closes every view, then ADOConnection, then ADOConnection1.
    void close();
    bool isOpen(TConnection connection) const;
    // For the reconnection timer: closes and reopens each connection that is not open.
    bool reopen();

    // Run one statement on ADOConnection / ADOConnection1. Every ASCII double quote in the
    // statement and in each text value becomes “; the values are bound to the ? placeholders
    // in order. A failure is reported as "数据库操作出错！", a line break and the statement with
    // the values in place.
    bool ExecCmdSQL(const QString &statement, const QVariantList &values = {});
    bool ExecViewSQL(const QString &statement, const QVariantList &values = {});
    // The same without the double-quote replacement, for statements the code runs on its own.
    bool Run(TConnection connection, const QString &statement, const QVariantList &values = {},
        TReport report = TReport::Report);

    // Closes the view and opens it again, so that it shows the store as it is now.
    bool RefreshDataSet(TStoreView &view);

    // The absolute path of the file (known once open() has run).
    QString databasePath() const { return m_path; }
    QString connectionName(TConnection connection) const;
    QSqlDatabase database(TConnection connection) const;

    // Emits dbError with the standard report for a statement as shown, and the engine's reason.
    void reportFailure(const QString &shownStatement, const QString &reason);

    // Views register themselves so that close() closes them before the connections.
    void attachView(TStoreView *view);
    void detachView(TStoreView *view);

Q_SIGNALS:
    // `report` is "数据库操作出错！\n" + the statement; `reason` is the engine's message.
    void dbError(const QString &report, const QString &reason);

private:
    bool openConnection(TConnection connection);
    void closeConnection(TConnection connection);
    bool createTables();

    QString m_givenPath;
    QString m_path;
    QString m_namePrefix;
    QList<QPointer<TStoreView>> m_views;
};
