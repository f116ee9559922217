#include "PhoneBookImport.h"

#include "ContactStore.h"
#include "PhoneBookLayout.h"
#include "SpreadsheetReader.h"
#include "StoreStatements.h"
#include "StoreText.h"
#include "untPublic.h"

namespace Contacts {

namespace {

    // Groups the rows into transactions on the command connection. If a transaction cannot
    // be started the rows are written one by one; if one cannot be committed its rows are
    // counted as failed.
    class TImportBatch {
    public:
        TImportBatch(TMessageStore &store, int rowsPerTransaction, TImportResult &result)
            : m_store(store)
            , m_rowsPerTransaction(rowsPerTransaction)
            , m_result(result)
        {
        }

        void rowDone(bool imported, bool groupCreated)
        {
            m_imported += imported ? 1 : 0;
            m_groups += groupCreated ? 1 : 0;
            if (m_open && ++m_rows >= m_rowsPerTransaction)
                commit();
        }

        void begin()
        {
            m_imported = m_groups = m_rows = 0;
            m_open = m_rowsPerTransaction > 0
                && m_store.Run(TMessageStore::TConnection::Cmd, QStringLiteral("BEGIN IMMEDIATE"));
        }

        void commit()
        {
            if (!m_open)
                return;
            if (!m_store.Run(TMessageStore::TConnection::Cmd, QStringLiteral("COMMIT"))) {
                // The failed commit is reported; what the engine kept of the transaction, if
                // anything, is undone so that the counts tell the truth. A rollback of a
                // transaction the engine already ended fails and says nothing new.
                m_store.Run(TMessageStore::TConnection::Cmd, QStringLiteral("ROLLBACK"), {},
                    TReport::Silent);
                m_result.imported -= m_imported;
                m_result.failed += m_imported;
                m_result.groupsCreated -= m_groups;
            }
            m_open = false;
            begin();
        }

        void finish()
        {
            if (!m_open)
                return;
            m_rowsPerTransaction = 0; // no new transaction after this one
            commit();
        }

    private:
        TMessageStore &m_store;
        int m_rowsPerTransaction;
        TImportResult &m_result;
        bool m_open = false;
        int m_rows = 0;
        qsizetype m_imported = 0;
        qsizetype m_groups = 0;
    };

    // The contact is in the phone book when its mobile number is there without the blanks
    // around it, or exactly as this row would store it (blanks kept, double quotes as the
    // exec routine stores them); otherwise importing the same file twice would add it twice.
    bool AlreadyInPhoneBook(TMessageStore &store, const QString &mobile, const QString &trimmed)
    {
        if (MobileExists(store, trimmed))
            return true;
        const QString stored = StoreText::ReplaceDoubleQuotes(mobile);
        return stored != trimmed && MobileExists(store, stored);
    }

} // namespace

bool InsertContact(TMessageStore &store, const QString &name, const QString &mobile,
    const QString &phone, const QString &unit, const QString &title, const QString &remark,
    const QString &group)
{
    return StoreSql::ImportContact(store, { name, mobile, phone, unit, title, remark, group });
}

TImportResult ImportRows(TMessageStore &store, const TSheet &sheet, const TImportOptions &options)
{
    TImportResult result;
    QStringList header;
    for (int c = 1; c <= ImportColumnCount; ++c)
        header << sheet.cell(1, c);
    if (!ImportHeaderOK(header)) {
        result.outcome = TImportOutcome::BadHeader;
        result.message = ImportBadHeaderText();
        return result;
    }

    TImportBatch batch(store, options.rowsPerTransaction, result);
    batch.begin();
    for (qsizetype r = 2; r <= sheet.lastRow(); ++r) {
        ++result.dataRows;
        const QString mobile = sheet.cell(r, ColMobile);
        const QString trimmed = untPublic::TrimText(mobile);
        if (trimmed.isEmpty()) {
            ++result.skippedBlank;
            continue;
        }
        if (AlreadyInPhoneBook(store, mobile, trimmed)) {
            ++result.skippedDuplicate;
            continue;
        }
        // The texts go in as read: a mobile number keeps the blanks its cell held.
        const QString group = sheet.cell(r, ColGroup);
        const bool inserted =
            InsertContact(store, sheet.cell(r, ColName), mobile, sheet.cell(r, ColPhone),
                sheet.cell(r, ColUnit), sheet.cell(r, ColTitle), sheet.cell(r, ColRemark), group);
        if (inserted)
            ++result.imported;
        else
            ++result.failed;
        bool groupCreated = false;
        if (!untPublic::TrimText(group).isEmpty()) {
            groupCreated = EnsureGroup(store, group) == TGroupOutcome::Created;
            if (groupCreated)
                ++result.groupsCreated;
        }
        batch.rowDone(inserted, groupCreated);
    }
    batch.finish();
    result.message = ImportDoneText();
    return result;
}

TImportResult ImportPhoneBook(
    TMessageStore &store, const QString &path, const TImportOptions &options)
{
    QString reason;
    const std::optional<TSheet> sheet = SpreadsheetReader::ReadFirstWorksheet(path, &reason);
    if (!sheet) {
        TImportResult result;
        result.outcome = TImportOutcome::Unreadable;
        result.message = ImportUnreadableText();
        result.reason = reason;
        return result;
    }
    return ImportRows(store, *sheet, options);
}

} // namespace Contacts
