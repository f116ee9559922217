#pragma once
// A read-only list over one query of the store, for a grid. Opening runs the query and shows
// its first rows at once; further rows are read as the grid scrolls (fetchMore), so a list of a
// million rows opens without reading them all. The rows are a snapshot: they show the store as
// it was when the list was opened, until it is opened again.
//
// Each open list reads through a connection of its own to the store's file. Its pending read
// holds that connection's snapshot, which must never be the connection that writes (a write
// there fails once another connection has written since the snapshot began).

#include "TMessageStore.h"

#include <QSqlQueryModel>
#include <optional>

class TStoreView : public QSqlQueryModel {
    Q_OBJECT
public:
    // `name` identifies the list in connection names (e.g. "ADODataSet1").
    TStoreView(
        TMessageStore &store, const QString &name, const QString &query, QObject *parent = nullptr);
    ~TStoreView() override;

    QString name() const { return m_name; }
    QString queryText() const { return m_queryText; }
    // Values for the query's ? placeholders, bound at every open.
    void setValues(const QVariantList &values) { m_values = values; }
    // The footer counts the non-empty values of this column; all rows when it is empty.
    void setCountColumn(const QString &alias) { m_countColumn = alias; }
    // A statement that gives the same count faster than counting over the query (it runs on
    // the list's snapshot, with the list's values bound).
    void setCountStatement(const QString &statement) { m_countStatement = statement; }

    // Runs the query afresh and shows its first rows; an open list is left as it is. Needs the
    // store's view connection open. A failure is reported and leaves the list closed.
    bool open();
    void close();
    bool isOpen() const { return m_open; }

    // The footer count, by COUNT over the query on this list's snapshot (never by reading all
    // rows). Empty when the list is closed or the count fails (reported).
    std::optional<qint64> footerCount();

    // Column of a field name of the query (an alias such as "手机号码"); -1 if absent.
    int fieldIndex(const QString &field) const;

protected:
    TMessageStore *store() const { return m_store; }
    // Runs after a successful open, before the rows are shown.
    virtual void opened() { }

private:
    QPointer<TMessageStore> m_store;
    QString m_name;
    QString m_queryText;
    QString m_connectionName;
    QVariantList m_values;
    QString m_countColumn;
    QString m_countStatement;
    bool m_open = false;
};
