#pragma once
// Workbooks made for the tests by the project's script (with python3-xlwt and
// python3-openpyxl), and the script's independent reading of an .xlsx.

#include <QJsonDocument>
#include <QString>
#include <QTemporaryDir>
#include <optional>

class TestWorkbooks {
public:
    // Makes every workbook of the script in a temporary folder; false with the reason if the
    // script cannot run (a missing module is named).
    bool make(QString *error);
    QString path(const QString &fileName) const { return m_dir.filePath(fileName); }
    QString dirPath() const { return m_dir.path(); }

    // The first worksheet of an .xlsx as openpyxl reads it: {"sheet": name, "rows": [[...]]}.
    static std::optional<QJsonDocument> Dump(const QString &xlsxPath, QString *error);

private:
    QTemporaryDir m_dir;
};
