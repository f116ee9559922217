#!/usr/bin/env python3
"""Reads an exported delivery-note workbook with openpyxl and prints what the tests check, as JSON.

    check_workbook.py FILE BLOCK ANCHOR...      e.g. check_workbook.py out.xlsx A2:L16 2 23

Prints {"sheets", "active", "values", "merged", "outside", "problems"}:
values    every cell of worksheet 1 that holds something (formulas as "=..." texts)
merged    the merged ranges of worksheet 1
outside   cells of worksheet 1 holding something outside every copy of the block
problems  per anchor, where the copy differs from the block of worksheet 2: style, fixed value,
          formula (compared with openpyxl's own translation), merged range, row height
"""

import json
import sys

from openpyxl import load_workbook
from openpyxl.formula.translate import Translator
from openpyxl.utils import get_column_letter, range_boundaries


def style(cell):
    f, b, a = cell.font, cell.border, cell.alignment
    return {
        "font": (f.name, f.sz, bool(f.b)),
        "border": tuple(getattr(getattr(b, side), "style", None)
                        for side in ("left", "right", "top", "bottom")),
        "fill": (cell.fill.fill_type, cell.fill.fgColor.rgb),
        "align": (a.horizontal, a.vertical, bool(a.wrap_text)),
        "format": cell.number_format,
    }


def main():
    path, block = sys.argv[1], sys.argv[2]
    anchors = [int(a) for a in sys.argv[3:]]
    wb = load_workbook(path)
    notes, model = wb.worksheets[0], wb.worksheets[1]
    c0, r0, c1, r1 = range_boundaries(block)
    height = r1 - r0 + 1
    inside = [m for m in model.merged_cells.ranges
              if m.min_row >= r0 and m.max_row <= r1 and m.min_col >= c0 and m.max_col <= c1]
    merged = {str(m) for m in notes.merged_cells.ranges}

    problems = {}
    for anchor in anchors:
        found = []
        shift = anchor - r0
        for r in range(r0, r1 + 1):
            for c in range(c0, c1 + 1):
                src = model.cell(row=r, column=c)
                dst = notes.cell(row=r + shift, column=c)
                if style(src) != style(dst):
                    found.append(f"style {dst.coordinate}: {style(dst)} != {style(src)}")
                if isinstance(src.value, str) and src.value.startswith("="):
                    want = Translator(src.value, origin=src.coordinate).translate_formula(dst.coordinate)
                    if dst.value != want:
                        found.append(f"formula {dst.coordinate}: {dst.value!r} != {want!r}")
                elif src.value is not None and dst.value != src.value:
                    found.append(f"value {dst.coordinate}: {dst.value!r} != {src.value!r}")
            want_height = model.row_dimensions[r].height
            got_height = notes.row_dimensions[r + shift].height
            if want_height != got_height:
                found.append(f"height of row {r + shift}: {got_height} != {want_height}")
        for m in inside:
            moved = f"{get_column_letter(m.min_col)}{m.min_row + shift}:" \
                    f"{get_column_letter(m.max_col)}{m.max_row + shift}"
            if moved not in merged:
                found.append(f"merged range {moved} missing")
        problems[str(anchor)] = found

    values, outside = {}, []
    for row in notes.iter_rows():
        for cell in row:
            if cell.value is None:
                continue
            values[cell.coordinate] = cell.value
            if not any(anchor <= cell.row < anchor + height and c0 <= cell.column <= c1
                       for anchor in anchors):
                outside.append(cell.coordinate)

    json.dump({
        "sheets": wb.sheetnames,
        "active": wb.index(wb.active),
        "values": values,
        "merged": sorted(merged),
        "blockMerges": len(inside),
        "outside": outside,
        "problems": problems,
    }, sys.stdout, ensure_ascii=False, default=str)


if __name__ == "__main__":
    main()
