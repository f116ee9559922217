#pragma once
// One worksheet part of a workbook, edited in place: copying a block of cells with everything it
// carries, pasting it elsewhere, and typing values into cells.

#include "XlsxRef.h"

#include <QString>
#include <map>
#include <pugixml.hpp>
#include <string>
#include <vector>

namespace Xlsx {

// Cells of a rectangle with their styles, values and formulas, the formats of their rows and
// the merged ranges lying inside it, as a copy holds them.
class TCellBlock {
    friend class TXlsxSheet;
    struct TCell {
        pugi::xml_node node; // in m_store
        int columnOffset = 0;
        std::string formula; // plain formula text to be moved, empty when none
    };
    struct TRow {
        int rowOffset = 0;
        pugi::xml_node node; // in m_store, holding the row's attributes
        std::vector<TCell> cells;
    };
    TRange m_range;
    pugi::xml_document m_store;
    std::vector<TRow> m_rows;
    std::vector<TRange> m_merges; // relative to the block's top-left cell
};

class TXlsxSheet {
public:
    bool Load(const char *data, size_t size, QString *error);
    std::string Save();

    // Copies the cells of `range`. Shared formulas are written out in full for each cell, cached
    // results of formulas are dropped (the workbook recalculates on opening).
    void CopyBlock(const TRange &range, TCellBlock *block) const;

    // Pastes with the block's top-left cell at (row, column): the rectangle's cells are replaced
    // (empty ones of the block clear theirs), the block's row formats replace the target rows',
    // merged ranges overlapping the rectangle give way to the block's, relative references of
    // formulas move by the offset.
    void PasteBlock(const TCellBlock &block, int row, int column);

    // Stores `text` as typed input: a plain decimal as a number, an empty text as no value, any
    // other text as an inline string. The cell keeps its style.
    void SetCellInput(int row, int column, QStringView text);
    // Stores `text` as a string whatever it looks like (an empty text as no value).
    void SetCellText(int row, int column, QStringView text);

    void SetTabSelected(bool selected);

private:
    pugi::xml_node ClearedCell(int row, int column);
    pugi::xml_node Row(int row, bool create);
    pugi::xml_node Cell(pugi::xml_node rowNode, int row, int column, bool create);
    void ClearColumns(pugi::xml_node rowNode, int firstColumn, int lastColumn);
    void UpdateDimension();
    pugi::xml_node MergeCells();

    pugi::xml_document m_doc;
    pugi::xml_node m_root;
    pugi::xml_node m_sheetData;
    std::map<int, pugi::xml_node> m_rows;
    struct TMerge {
        TRange range;
        pugi::xml_node node;
    };
    std::multimap<int, TMerge> m_merges; // by last row: a paste below them all looks at none
};

} // namespace Xlsx
