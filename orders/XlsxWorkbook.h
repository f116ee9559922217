#pragma once
// A workbook file opened for editing in place: its worksheets in workbook order, the active
// sheet, and saving the parts that changed back into the same file.

#include "XlsxSheet.h"

#include <QString>
#include <deque>
#include <memory>
#include <string>
#include <vector>

struct zip;

namespace Xlsx {

class TXlsxWorkbook {
public:
    TXlsxWorkbook();
    ~TXlsxWorkbook(); // drops unsaved changes; the file stays as it was
    TXlsxWorkbook(const TXlsxWorkbook &) = delete;
    TXlsxWorkbook &operator=(const TXlsxWorkbook &) = delete;

    bool Open(const QString &path, QString *error);
    int SheetCount() const { return int(m_sheets.size()); }
    // The worksheet at `number` (1 = first in workbook order), read on first use. Null, with
    // the reason, when there is none or it cannot be read.
    TXlsxSheet *Sheet(int number, QString *error);
    // Makes `number` the active and only selected sheet.
    bool Activate(int number, QString *error);
    // Writes every sheet that was used, the workbook part (recalculation on opening) and closes
    // the file. On failure the file keeps its former content.
    bool Save(QString *error);

private:
    struct TSheetEntry {
        std::string part; // path inside the package
        bool isWorksheet = false;
        std::unique_ptr<TXlsxSheet> sheet;
    };
    bool ReadPart(const std::string &part, std::string *data, QString *error) const;
    bool ReplacePart(const std::string &part, std::string data, QString *error);
    bool DropCalcChain(QString *error);
    void Close();

    zip *m_zip = nullptr;
    QString m_path;
    std::string m_workbookPart;
    std::string m_workbookRelsPart;
    pugi::xml_document m_workbook;
    std::vector<TSheetEntry> m_sheets;
    std::deque<std::string> m_buffers; // the archive reads replaced parts from here on closing
};

} // namespace Xlsx
