#pragma once
// The export of the phone book to an .xlsx workbook in the import's own layout, so that the
// file can be edited and imported again.

#include "TMessageStore.h"

namespace Contacts {

inline QString ExportDoneText()
{
    return QStringLiteral("通讯录导出成功！");
}
inline QString ExportFailedText()
{
    return QStringLiteral("通讯录导出失败，请检查文件是否可以写入后重试！");
}

struct TExportResult {
    bool ok = false;
    QString message; // the one message to show
    QString reason; // why it failed (for the error log)
    qsizetype contacts = 0; // rows written below the header
};

// Writes the header row and one row per contact, in the order they were added, every value
// as text exactly as stored (an empty value as an empty cell). Reads on the command connection;
// a failing query is reported by the store.
TExportResult ExportPhoneBook(TMessageStore &store, const QString &path);

} // namespace Contacts
