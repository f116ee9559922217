#pragma once
// The cells of one worksheet as texts, as a spreadsheet reader yields them.

#include <QList>
#include <QStringList>

struct TSheet {
    // rows[0] is row 1; a row holds its cells from column A on, as read (not trimmed). The
    // list ends with the last row of the sheet's used range; rows with no cells are empty.
    QList<QStringList> rows;

    // The last row of the used range, counted from 1 (0 for an empty sheet).
    qsizetype lastRow() const { return rows.size(); }
    // The text of a cell, row and column counted from 1; the empty text outside the sheet.
    QString cell(qsizetype row, qsizetype column) const
    {
        if (row < 1 || row > rows.size())
            return {};
        const QStringList &cells = rows.at(row - 1);
        return column >= 1 && column <= cells.size() ? cells.at(column - 1) : QString();
    }
};
