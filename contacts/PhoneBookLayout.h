#pragma once
// The layout of a phone-book workbook, shared by the import and the export: the first
// worksheet, a header row of seven fixed texts, one contact per row below it.

#include <QStringList>

namespace Contacts {

// Columns of the sheet, counted from 1.
enum TImportColumn {
    ColName = 1, // 姓名 -> fname
    ColMobile, // 手机号码 -> fmobile
    ColPhone, // 电话 -> fphone
    ColUnit, // 工作单位 -> funit
    ColTitle, // 职务 -> ftitle
    ColRemark, // 备注 -> fdemo
    ColGroup, // 通讯组 -> fgroup
    ImportColumnCount = ColGroup
};

// "姓名", "手机号码", "电话", "工作单位", "职务", "备注", "通讯组".
QStringList ImportHeader();

// True exactly when the texts are the seven header texts in order, compared exactly (case and
// blanks count). Cells right of the seventh are not looked at.
bool ImportHeaderOK(const QStringList &header);

} // namespace Contacts
