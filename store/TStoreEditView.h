#pragma once
// An editable list over one table (the groups and the phone book): cells are written back to
// the table by its key as they are edited, rows are added and deleted by statements. The list
// is read whole on opening (such lists are short), so it holds no pending read.

#include "TStoreView.h"

#include <QHash>
#include <QVariantMap>

class TStoreEditView : public TStoreView {
    Q_OBJECT
public:
    // A field of the query and the table column it shows.
    struct TField {
        QString alias;
        QString column;
    };

    // `key` is the field (and column) that identifies a row, e.g. "ID"; it is never edited.
    TStoreEditView(TMessageStore &store, const QString &name, const QString &query,
        const QString &table, const QString &key, const QList<TField> &fields,
        QObject *parent = nullptr);

    QString table() const { return m_table; }

    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // Writes the value to its column of the row's record at once (through the view
    // connection, values bound as they are). A failure is reported and the cell keeps its value.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // Adds a record from values by field name; then the list is opened afresh.
    bool insertRecord(const QVariantMap &values);
    // Deletes the records with these keys; then the list is opened afresh.
    bool removeKeys(const QList<qint64> &keys);
    // The key of a row, 0 if there is none.
    qint64 keyOf(int row) const;

protected:
    void opened() override;

private:
    QString columnOf(const QString &alias) const;

    QString m_table;
    QString m_key;
    QList<TField> m_fields;
    QHash<quint64, QVariant> m_written; // values saved since the list was opened
};
