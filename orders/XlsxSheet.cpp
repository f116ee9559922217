#include "XlsxSheet.h"

#include "XlsxCellInput.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

namespace Xlsx {

namespace {

    constexpr unsigned ParseFlags =
        pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_declaration;

    int ColumnOf(pugi::xml_node cell)
    {
        int column = 0;
        for (const char *p = cell.attribute("r").value(); *p; ++p) {
            const char c = char(*p & ~0x20);
            if (c < 'A' || c > 'Z')
                break;
            column = column * 26 + (c - 'A' + 1);
        }
        return column;
    }

    // Inserts a child where the schema's element order wants it: before the first of the elements
    // that must follow it, or at the end.
    pugi::xml_node InsertInOrder(
        pugi::xml_node parent, const char *name, std::initializer_list<const char *> followers)
    {
        for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
            if (child.type() != pugi::node_element)
                continue;
            for (const char *follower : followers)
                if (std::strcmp(child.name(), follower) == 0)
                    return parent.insert_child_before(name, child);
        }
        return parent.append_child(name);
    }

    struct TStringWriter : pugi::xml_writer {
        std::string *out;
        explicit TStringWriter(std::string *target)
            : out(target)
        {
        }
        void write(const void *data, size_t size) override
        {
            out->append(static_cast<const char *>(data), size);
        }
    };

} // namespace

bool TXlsxSheet::Load(const char *data, size_t size, QString *error)
{
    const pugi::xml_parse_result parsed = m_doc.load_buffer(data, size, ParseFlags);
    if (!parsed) {
        *error = QStringLiteral("工作表无法读取：%1").arg(QString::fromUtf8(parsed.description()));
        return false;
    }
    m_root = m_doc.child("worksheet");
    m_sheetData = m_root.child("sheetData");
    if (!m_root || !m_sheetData) {
        *error = QStringLiteral("工作表无法读取：缺少单元格数据。");
        return false;
    }
    if (m_doc.first_child().type() != pugi::node_declaration) {
        pugi::xml_node declaration = m_doc.prepend_child(pugi::node_declaration);
        declaration.append_attribute("version") = "1.0";
        declaration.append_attribute("encoding") = "UTF-8";
        declaration.append_attribute("standalone") = "yes";
    }

    // Rows and cells may leave out their position; give every one of them its "r", so that
    // the rest of the code can rely on it.
    int lastRow = 0;
    for (pugi::xml_node row = m_sheetData.child("row"); row; row = row.next_sibling("row")) {
        pugi::xml_attribute r = row.attribute("r");
        int number = r.as_int(0);
        if (number <= 0 || number > MaxRows) {
            number = lastRow + 1;
            (r ? r : row.prepend_attribute("r")).set_value(number);
        }
        lastRow = number;
        m_rows[number] = row;
        int lastColumn = 0;
        for (pugi::xml_node cell = row.child("c"); cell; cell = cell.next_sibling("c")) {
            pugi::xml_attribute cr = cell.attribute("r");
            TCellPos pos;
            if (!cr || !ParseCellRef(cr.value(), &pos)) {
                pos = { number, lastColumn + 1 };
                (cr ? cr : cell.prepend_attribute("r"))
                    .set_value(CellRef(number, pos.column).c_str());
            }
            lastColumn = pos.column;
        }
    }
    for (pugi::xml_node merge = m_root.child("mergeCells").child("mergeCell"); merge;
         merge = merge.next_sibling("mergeCell")) {
        TRange range;
        if (ParseRange(merge.attribute("ref").value(), &range))
            m_merges.emplace(range.last.row, TMerge { range, merge });
    }
    return true;
}

std::string TXlsxSheet::Save()
{
    UpdateDimension();
    pugi::xml_node mergeCells = m_root.child("mergeCells");
    if (mergeCells) {
        if (m_merges.empty())
            m_root.remove_child(mergeCells); // an empty list is not allowed
        else
            (mergeCells.attribute("count") ? mergeCells.attribute("count")
                                           : mergeCells.append_attribute("count"))
                .set_value(static_cast<unsigned long long>(m_merges.size()));
    }
    std::string out;
    TStringWriter writer(&out);
    m_doc.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return out;
}

void TXlsxSheet::CopyBlock(const TRange &range, TCellBlock *block) const
{
    block->m_range = range;
    block->m_store.reset();
    block->m_rows.clear();
    block->m_merges.clear();

    // Shared formulas: the master cell holds the text for the cells sharing its index.
    struct TMaster {
        TCellPos pos;
        std::string text;
    };
    std::map<int, TMaster> masters;
    bool mastersRead = false;
    const auto readMasters = [&] {
        mastersRead = true;
        for (const auto &[number, row] : m_rows)
            for (pugi::xml_node cell = row.child("c"); cell; cell = cell.next_sibling("c")) {
                pugi::xml_node f = cell.child("f");
                if (std::strcmp(f.attribute("t").value(), "shared") == 0 && f.attribute("ref")
                    && *f.text().get())
                    masters[f.attribute("si").as_int()] = { { number, ColumnOf(cell) },
                        f.text().get() };
            }
    };

    for (auto it = m_rows.lower_bound(range.first.row);
         it != m_rows.end() && it->first <= range.last.row; ++it) {
        TCellBlock::TRow row;
        row.rowOffset = it->first - range.first.row;
        row.node = block->m_store.append_child("row");
        for (pugi::xml_attribute a = it->second.first_attribute(); a; a = a.next_attribute())
            if (std::strcmp(a.name(), "r") != 0 && std::strcmp(a.name(), "spans") != 0)
                row.node.append_attribute(a.name()) = a.value();
        for (pugi::xml_node cell = it->second.child("c"); cell; cell = cell.next_sibling("c")) {
            const int column = ColumnOf(cell);
            if (column < range.first.column || column > range.last.column)
                continue;
            TCellBlock::TCell copy;
            copy.node = row.node.append_copy(cell);
            copy.columnOffset = column - range.first.column;
            if (pugi::xml_node f = copy.node.child("f")) {
                if (std::strcmp(f.attribute("t").value(), "shared") == 0) {
                    if (!mastersRead)
                        readMasters();
                    const auto master = masters.find(f.attribute("si").as_int());
                    if (master != masters.end()) {
                        copy.formula = ShiftFormula(master->second.text,
                            it->first - master->second.pos.row, column - master->second.pos.column);
                        f.remove_attribute("t");
                        f.remove_attribute("si");
                        f.remove_attribute("ref");
                        f.text().set(copy.formula.c_str());
                    }
                } else {
                    copy.formula = f.text().get();
                }
                // The result belongs to the old position; the workbook recalculates.
                copy.node.remove_child("v");
                copy.node.remove_attribute("t");
            }
            row.cells.push_back(std::move(copy));
        }
        block->m_rows.push_back(std::move(row));
    }
    for (const auto &[lastRow, merge] : m_merges)
        if (range.Contains(merge.range.first) && range.Contains(merge.range.last))
            block->m_merges.push_back(merge.range.Moved(-range.first.row, -range.first.column));
}

void TXlsxSheet::PasteBlock(const TCellBlock &block, int row, int column)
{
    const TRange &source = block.m_range;
    const int rowShift = row - source.first.row;
    const int columnShift = column - source.first.column;
    const TRange target = source.Moved(rowShift, columnShift);
    const int rowCount = source.last.row - source.first.row + 1;

    auto sourceRow = block.m_rows.begin();
    for (int offset = 0; offset < rowCount; ++offset) {
        const TCellBlock::TRow *from = nullptr;
        if (sourceRow != block.m_rows.end() && sourceRow->rowOffset == offset)
            from = &*sourceRow++;
        const int number = row + offset;
        pugi::xml_node rowNode = Row(number, from != nullptr);
        if (!rowNode)
            continue;
        ClearColumns(rowNode, target.first.column, target.last.column);
        if (!from)
            continue;

        // The block's row formats (height and the like) replace the target row's.
        std::vector<std::string> formats;
        for (pugi::xml_attribute a = rowNode.first_attribute(); a; a = a.next_attribute())
            if (std::strcmp(a.name(), "r") != 0)
                formats.emplace_back(a.name());
        for (const std::string &name : formats)
            rowNode.remove_attribute(name.c_str());
        for (pugi::xml_attribute a = from->node.first_attribute(); a; a = a.next_attribute())
            rowNode.append_attribute(a.name()) = a.value();

        pugi::xml_node before = rowNode.child("c");
        while (before && ColumnOf(before) <= target.last.column)
            before = before.next_sibling("c");
        for (const TCellBlock::TCell &cell : from->cells) {
            pugi::xml_node copy = before ? rowNode.insert_copy_before(cell.node, before)
                                         : rowNode.append_copy(cell.node);
            copy.attribute("r").set_value(CellRef(number, column + cell.columnOffset).c_str());
            if (cell.formula.empty() || (rowShift == 0 && columnShift == 0))
                continue;
            pugi::xml_node f = copy.child("f");
            f.text().set(ShiftFormula(cell.formula, rowShift, columnShift).c_str());
            if (pugi::xml_attribute ref = f.attribute("ref")) { // an array formula's range
                TRange range;
                if (ParseRange(ref.value(), &range))
                    ref.set_value(RangeRef(range.Moved(rowShift, columnShift)).c_str());
            }
        }
    }

    // Merged ranges: whatever overlaps the rectangle gives way to the block's.
    pugi::xml_node mergeCells = MergeCells();
    for (auto it = m_merges.lower_bound(target.first.row); it != m_merges.end();) {
        if (it->second.range.Intersects(target)) {
            mergeCells.remove_child(it->second.node);
            it = m_merges.erase(it);
        } else {
            ++it;
        }
    }
    for (const TRange &relative : block.m_merges) {
        const TRange range = relative.Moved(row, column);
        pugi::xml_node node = mergeCells.append_child("mergeCell");
        node.append_attribute("ref") = RangeRef(range).c_str();
        m_merges.emplace(range.last.row, TMerge { range, node });
    }
}

pugi::xml_node TXlsxSheet::ClearedCell(int row, int column)
{
    pugi::xml_node cell = Cell(Row(row, true), row, column, true);
    cell.remove_attribute("t");
    while (pugi::xml_node child = cell.first_child())
        cell.remove_child(child);
    return cell;
}

void TXlsxSheet::SetCellInput(int row, int column, QStringView text)
{
    if (const std::optional<double> number = TypedNumber(text)) {
        ClearedCell(row, column).append_child("v").text().set(NumberText(*number).c_str());
        return;
    }
    SetCellText(row, column, text);
}

void TXlsxSheet::SetCellText(int row, int column, QStringView text)
{
    pugi::xml_node cell = ClearedCell(row, column);
    if (text.isEmpty())
        return;
    cell.append_attribute("t") = "inlineStr";
    pugi::xml_node t = cell.append_child("is").append_child("t");
    if (NeedsPreserve(text))
        t.append_attribute("xml:space") = "preserve";
    t.text().set(EscapeCellText(text).c_str());
}

void TXlsxSheet::SetTabSelected(bool selected)
{
    for (pugi::xml_node view = m_root.child("sheetViews").child("sheetView"); view;
         view = view.next_sibling("sheetView")) {
        if (selected)
            (view.attribute("tabSelected") ? view.attribute("tabSelected")
                                           : view.append_attribute("tabSelected"))
                .set_value("1");
        else
            view.remove_attribute("tabSelected");
    }
}

pugi::xml_node TXlsxSheet::Row(int row, bool create)
{
    const auto found = m_rows.find(row);
    if (found != m_rows.end())
        return found->second;
    if (!create)
        return {};
    const auto next = m_rows.upper_bound(row);
    pugi::xml_node node = next != m_rows.end()
        ? m_sheetData.insert_child_before("row", next->second)
        : m_sheetData.append_child("row");
    node.append_attribute("r") = row;
    m_rows.emplace(row, node);
    return node;
}

pugi::xml_node TXlsxSheet::Cell(pugi::xml_node rowNode, int row, int column, bool create)
{
    pugi::xml_node cell = rowNode.child("c");
    while (cell && ColumnOf(cell) < column)
        cell = cell.next_sibling("c");
    if (cell && ColumnOf(cell) == column)
        return cell;
    if (!create)
        return {};
    pugi::xml_node node = cell ? rowNode.insert_child_before("c", cell) : rowNode.append_child("c");
    node.append_attribute("r") = CellRef(row, column).c_str();
    return node;
}

void TXlsxSheet::ClearColumns(pugi::xml_node rowNode, int firstColumn, int lastColumn)
{
    pugi::xml_node cell = rowNode.child("c");
    while (cell) {
        const pugi::xml_node next = cell.next_sibling("c");
        const int column = ColumnOf(cell);
        if (column > lastColumn)
            break;
        if (column >= firstColumn)
            rowNode.remove_child(cell);
        cell = next;
    }
}

void TXlsxSheet::UpdateDimension()
{
    TRange used { { 0, 0 }, { 0, 0 } };
    for (const auto &[number, row] : m_rows) {
        for (pugi::xml_node cell = row.child("c"); cell; cell = cell.next_sibling("c")) {
            const int column = ColumnOf(cell);
            if (used.first.row == 0) {
                used = { { number, column }, { number, column } };
                continue;
            }
            used.last.row = number;
            used.first.column = std::min(used.first.column, column);
            used.last.column = std::max(used.last.column, column);
        }
    }
    if (used.first.row == 0)
        used = { { 1, 1 }, { 1, 1 } };
    pugi::xml_node dimension = m_root.child("dimension");
    if (!dimension)
        dimension = InsertInOrder(
            m_root, "dimension", { "sheetViews", "sheetFormatPr", "cols", "sheetData" });
    (dimension.attribute("ref") ? dimension.attribute("ref") : dimension.append_attribute("ref"))
        .set_value(RangeRef(used).c_str());
}

pugi::xml_node TXlsxSheet::MergeCells()
{
    if (pugi::xml_node existing = m_root.child("mergeCells"))
        return existing;
    return InsertInOrder(m_root, "mergeCells",
        { "phoneticPr", "conditionalFormatting", "dataValidations", "hyperlinks", "printOptions",
            "pageMargins", "pageSetup", "headerFooter", "rowBreaks", "colBreaks",
            "customProperties", "cellWatches", "ignoredErrors", "smartTags", "drawing",
            "legacyDrawing", "legacyDrawingHF", "drawingHF", "picture", "oleObjects", "controls",
            "webPublishItems", "tableParts", "extLst" });
}

} // namespace Xlsx
