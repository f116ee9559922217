#include "PhoneBookExport.h"

#include "PhoneBookLayout.h"
#include "XlsxWriter.h"

#include <QSqlError>
#include <QSqlQuery>

namespace Contacts {

namespace {

    // The columns in the import's order.
    QString ExportStatement()
    {
        return QStringLiteral(
            "select fname,fmobile,fphone,funit,ftitle,fdemo,fgroup from phone_book order by ID");
    }

    // Column widths in characters, wide enough for the usual values.
    QList<double> ColumnWidths()
    {
        return { 12, 16, 16, 30, 12, 30, 14 };
    }

    // The stored texts, untrimmed: the export must give back exactly what is stored.
    std::optional<QList<QStringList>> ContactRows(TMessageStore &store, QString *reason)
    {
        QList<QStringList> rows;
        const QString statement = ExportStatement();
        QSqlQuery query(store.database(TMessageStore::TConnection::Cmd));
        query.setForwardOnly(true);
        bool ok = query.exec(statement);
        while (ok && query.next()) {
            QStringList row;
            for (int c = 0; c < ImportColumnCount; ++c)
                row << query.value(c).toString();
            rows << row;
        }
        ok = ok && !query.lastError().isValid();
        if (!ok) {
            *reason = query.lastError().text();
            if (reason->trimmed().isEmpty())
                *reason = QStringLiteral("the connection is not open");
            store.reportFailure(statement, *reason);
            return std::nullopt;
        }
        return rows;
    }

} // namespace

TExportResult ExportPhoneBook(TMessageStore &store, const QString &path)
{
    TExportResult result;
    std::optional<QList<QStringList>> contacts = ContactRows(store, &result.reason);
    if (!contacts) {
        result.message = ExportFailedText();
        return result;
    }
    QList<QStringList> rows;
    rows.reserve(contacts->size() + 1);
    rows << ImportHeader();
    rows += *contacts;
    if (!XlsxWriter::WriteWorkbook(
            path, QStringLiteral("通讯录"), rows, ColumnWidths(), &result.reason)) {
        result.message = ExportFailedText();
        return result;
    }
    result.ok = true;
    result.contacts = contacts->size();
    result.message = ExportDoneText();
    return result;
}

} // namespace Contacts
