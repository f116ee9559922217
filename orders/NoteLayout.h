#pragma once
// The two delivery-note layouts: which template, where the note block lies on its second
// worksheet and which cells of a pasted note receive what.

#include <QList>
#include <QString>
#include <array>

namespace Orders {

enum class NoteLayout { Plain, Price };

struct TNoteLayoutInfo {
    QString templateName; // in AppDir + "templatefile/"
    int blockFirstRow = 2; // the block starts at column A of this row of worksheet 2
    int blockRows = 0;
    int blockColumns = 0;
    int linesPerNote = 0;
    // Columns (1 = A) of the header row (block row 3) and of the first item row (block row 5).
    int customerColumn = 0;
    int dateColumn = 0;
    int numberColumn = 0;
    int remarkColumn = 0;
    // One entry per group of ten item lines: the columns of part 1, part 3 and part 2.
    QList<std::array<int, 3>> lineColumns;
};

inline constexpr int ItemRowsPerNote = 10;

const TNoteLayoutInfo &LayoutInfo(NoteLayout layout);

} // namespace Orders
