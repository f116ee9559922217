#pragma once
// A short-lived query of its own on one of the store's connections: open it, read the fields of
// the current row by name, move on, and let it go. The statement is finished when the object
// goes, so no read stays pending on the connection (a pending read would make the
// connection's next write fail once another connection has written).

#include "TMessageStore.h"

#include <QSqlQuery>

class TStoreQuery {
public:
    explicit TStoreQuery(TMessageStore &store,
        TMessageStore::TConnection connection = TMessageStore::TConnection::Cmd);
    ~TStoreQuery();
    TStoreQuery(const TStoreQuery &) = delete;
    TStoreQuery &operator=(const TStoreQuery &) = delete;

    // Runs the statement with the values bound to its ? placeholders and moves to the first
    // row. On failure the standard report goes out (unless Silent) and false is returned. The
    // statement is run as given: no double-quote replacement.
    bool open(const QString &statement, const QVariantList &values = {},
        TReport report = TReport::Report);
    // True when there is no current row (an empty result, or past the last row).
    bool atEnd() const { return !m_onRow; }
    // Moves to the next row; false at the end.
    bool next();
    // Field of the current row by name (names compare without regard to case). An empty
    // value, or no current row, reads as 0 / the empty text. `ok` is false for a name the
    // result does not have or a value that is not an integer.
    qint64 intField(const QString &name, bool *ok = nullptr) const;
    QString textField(const QString &name, bool *ok = nullptr) const; // trimmed
    // Ends the statement early.
    void close();

    // The statement as the failure report shows it.
    QString shownStatement() const { return m_shown; }
    QString errorText() const;

private:
    QVariant field(const QString &name, bool *ok) const;

    TMessageStore &m_store;
    QSqlQuery m_query;
    QString m_shown;
    bool m_onRow = false;
};
