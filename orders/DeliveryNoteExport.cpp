#include "DeliveryNoteExport.h"

#include "XlsxWorkbook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace Orders {

namespace {

    // Pastes and fills every planned note into the opened copy.
    bool FillWorkbook(const QString &path, const TNoteLayoutInfo &layout, const QList<TNote> &notes,
        QString *error)
    {
        Xlsx::TXlsxWorkbook workbook;
        if (!workbook.Open(path, error))
            return false;
        Xlsx::TXlsxSheet *templateSheet = workbook.Sheet(2, error);
        Xlsx::TXlsxSheet *target = templateSheet ? workbook.Sheet(1, error) : nullptr;
        if (!target)
            return false;
        const Xlsx::TRange blockRange { { layout.blockFirstRow, 1 },
            { layout.blockFirstRow + layout.blockRows - 1, layout.blockColumns } };
        Xlsx::TCellBlock block;
        templateSheet->CopyBlock(blockRange, &block);
        for (const TNote &note : notes) {
            target->PasteBlock(block, note.anchorRow, 1);
            for (const TNoteCell &cell : note.cells) {
                if (cell.typed)
                    target->SetCellInput(cell.row, cell.column, cell.value);
                else
                    target->SetCellText(cell.row, cell.column, cell.value);
            }
        }
        return workbook.Activate(1, error) && workbook.Save(error);
    }

} // namespace

QString NothingToExportMessage()
{
    return QStringLiteral("没有需要导出的数据！");
}

QString ExportFileName(const QDateTime &now)
{
    return now.toString(QStringLiteral("yyyyMMddHHmmss")) + QStringLiteral(".xlsx");
}

bool CopyTemplate(
    const QString &appDir, const QString &templateName, const QString &exportName, QString *error)
{
    const QString source = appDir + QStringLiteral("templatefile/") + templateName;
    const QString target = appDir + QStringLiteral("exportfile/") + exportName;
    if (!QFileInfo(source).isFile()) {
        *error = QStringLiteral("找不到发货单模板：%1").arg(QDir::toNativeSeparators(source));
        return false;
    }
    if (!QFileInfo(appDir + QStringLiteral("exportfile")).isDir()) {
        *error = QStringLiteral("导出文件夹不存在：%1")
                     .arg(QDir::toNativeSeparators(appDir + QStringLiteral("exportfile/")));
        return false;
    }
    if (QFileInfo::exists(target)) {
        *error = QStringLiteral("导出文件已经存在：%1").arg(QDir::toNativeSeparators(target));
        return false;
    }
    QFile file(source);
    if (!file.copy(target)) {
        *error = QStringLiteral("发货单模板无法复制到%1：%2")
                     .arg(QDir::toNativeSeparators(target), file.errorString());
        return false;
    }
    // A template installed read-only must not give a read-only export.
    if (!QFile::setPermissions(
            target, QFile::permissions(target) | QFile::WriteOwner | QFile::ReadOwner)) {
        QFile::remove(target);
        *error = QStringLiteral("导出文件无法写入：%1").arg(QDir::toNativeSeparators(target));
        return false;
    }
    return true;
}

TExportResult WriteDeliveryNotes(
    const QString &appDir, NoteLayout layout, const QList<TNoteOrder> &orders, const QDateTime &now)
{
    TExportResult result;
    if (orders.isEmpty()) {
        result.error = NothingToExportMessage();
        return result;
    }
    const TNoteLayoutInfo &info = LayoutInfo(layout);
    TNotePlanner planner(layout);
    QList<qint64> ids;
    for (const TNoteOrder &order : orders) {
        if (!planner.WriteOrderNotes(order, &result.error))
            return result;
        ids.append(order.fid);
    }

    result.fileName = ExportFileName(now);
    result.filePath = appDir + QStringLiteral("exportfile/") + result.fileName;
    if (!CopyTemplate(appDir, info.templateName, result.fileName, &result.error))
        return result;
    if (!FillWorkbook(result.filePath, info, planner.Notes(), &result.error)) {
        QFile::remove(result.filePath); // only the untouched copy made above
        return result;
    }
    result.ok = true;
    result.exportedIds = ids;
    return result;
}

} // namespace Orders
