#pragma once
// The delivery-note export as a file operation: a time-stamped copy of the layout's template in
// AppDir + "exportfile/", one pasted and filled note block per note on worksheet 1. Marking the
// orders, reopening the lists and opening the file are the caller's.

#include "DeliveryNotePlan.h"
#include "NoteLayout.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace Orders {

struct TExportResult {
    bool ok = false;
    QString error; // for the operator when !ok
    QString fileName; // "yyyymmddhhmmss.xlsx"
    QString filePath; // AppDir + "exportfile/" + fileName
    QList<qint64> exportedIds; // every exported order, in the order written; empty when !ok
};

// "没有需要导出的数据！"
QString NothingToExportMessage();

// The export's file name for a moment: "yyyymmddhhmmss.xlsx".
QString ExportFileName(const QDateTime &now);

// Copies AppDir + "templatefile/" + templateName to AppDir + "exportfile/" + exportName. False,
// with the reason, when the template or the folder is missing or the target already exists.
bool CopyTemplate(
    const QString &appDir, const QString &templateName, const QString &exportName, QString *error);

// Writes the notes of `orders` in the order given (the new-order list passes its selection from
// the last entry to the first). `appDir` ends with a separator. Nothing is left behind when it
// fails: an unreadable time of receipt is found before any file is made, and a file that could
// not be completed is removed.
TExportResult WriteDeliveryNotes(const QString &appDir, NoteLayout layout,
    const QList<TNoteOrder> &orders, const QDateTime &now);

} // namespace Orders
