#pragma once
// The import of contacts from a workbook: every row whose mobile number is not yet in the
// phone book is added, the groups the rows name are created once, existing contacts are left
// as they are. The result says what the window shows; nothing here shows anything.

#include "TMessageStore.h"
#include "TSheet.h"

namespace Contacts {

// The messages of the import.
inline QString ImportBadHeaderText()
{
    return QStringLiteral("导入的数据格式不符合要求，请检查后重新导入！");
}
inline QString ImportDoneText()
{
    return QStringLiteral("通讯录导入成功！");
}
inline QString ImportUnreadableText()
{
    return QStringLiteral("初始化Excel失败，可能没有装Excel或者其他错误，请重起再试");
}

enum class TImportOutcome {
    Imported, // ran to its end (rows whose insert failed are counted in `failed`)
    BadHeader, // nothing imported
    Unreadable // the file could not be read; nothing imported
};

struct TImportResult {
    TImportOutcome outcome = TImportOutcome::Imported;
    QString message; // the one message to show
    QString reason; // why the file could not be read (for the error log)
    qsizetype dataRows = 0; // rows 2 to the last row of the used range
    qsizetype imported = 0;
    qsizetype skippedBlank = 0; // no mobile number (blank rows included)
    qsizetype skippedDuplicate = 0; // mobile number already in the phone book
    qsizetype failed = 0; // the insert failed (reported by the store)
    qsizetype groupsCreated = 0;

    // The group and phone-book lists are reopened after an import that ran.
    bool reloadLists() const { return outcome == TImportOutcome::Imported; }
};

struct TImportOptions {
    // Rows are written in transactions of this many rows, so that a large import does not pay
    // a disk flush per row and no other writer waits long; 0 writes every row on its own.
    int rowsPerTransaction = 500;
};

// Adds one phone-book row with the texts as given, through ExecCmdSQL. False if the insert
// failed (reported by the store).
bool InsertContact(TMessageStore &store, const QString &name, const QString &mobile,
    const QString &phone, const QString &unit, const QString &title, const QString &remark,
    const QString &group);

// The import of a sheet already read: header rule, then rows 2 to the last.
TImportResult ImportRows(
    TMessageStore &store, const TSheet &sheet, const TImportOptions &options = {});

// Reads the first worksheet of the .xls or .xlsx file and imports it.
TImportResult ImportPhoneBook(
    TMessageStore &store, const QString &path, const TImportOptions &options = {});

} // namespace Contacts
