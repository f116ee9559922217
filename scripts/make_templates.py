#!/usr/bin/env python3
"""Makes the two delivery-note templates in data/templatefile/ (or in the folder given).

Both have two worksheets: the first receives the notes and carries the page and column set-up,
the second holds the note block the export copies for every note. Fixed by the program are only
the block ranges and the filled cells; headings, borders, formulas and sizes are this script's.

    plain (订单模版.xlsx)        block A2:L16, 20 item lines: B C D and G H I of rows 6 to 15
    price (价格订单模版.xlsx)    block A2:J17, 10 item lines: B C D of rows 6 to 15

Run with Debian's python3 and python3-openpyxl; commit the files it writes.
"""

import os
import sys

from openpyxl import Workbook
from openpyxl.styles import Alignment, Border, Font, PatternFill, Side
from openpyxl.worksheet.page import PageMargins

FONT = "宋体"
THIN = Side(style="thin")
MEDIUM = Side(style="medium")
BOX = Border(left=THIN, right=THIN, top=THIN, bottom=THIN)
HEADING_FILL = PatternFill("solid", fgColor="DDDDDD")
CENTRE = Alignment(horizontal="center", vertical="center", wrap_text=True)
LEFT = Alignment(horizontal="left", vertical="center", wrap_text=True)
TOP_LEFT = Alignment(horizontal="left", vertical="top", wrap_text=True)


def font(size=10, bold=False):
    return Font(name=FONT, size=size, bold=bold)


def put(ws, ref, value=None, size=10, bold=False, align=LEFT, border=None, fill=None, fmt=None):
    cell = ws[ref]
    if value is not None:
        cell.value = value
    cell.font = font(size, bold)
    cell.alignment = align
    if border is not None:
        cell.border = border
    if fill is not None:
        cell.fill = fill
    if fmt is not None:
        cell.number_format = fmt
    return cell


def box(ws, first, last, **style):
    """Styles every cell of a rectangle (merged cells need their borders on every cell)."""
    for row in ws[f"{first}:{last}"]:
        for cell in row:
            put(ws, cell.coordinate, **style)


def title(ws, last_column):
    ws.merge_cells(f"A2:{last_column}2")
    put(ws, "A2", "发 货 单", size=18, bold=True, align=CENTRE)
    ws.row_dimensions[2].height = 30
    ws.merge_cells(f"A3:{last_column}3")
    put(ws, "A3", "（请核对货品数量，签收后交回一联）", size=9, align=CENTRE)
    ws.row_dimensions[3].height = 16


def header_label(ws, ref, text):
    put(ws, ref, text, bold=True, align=Alignment(horizontal="right", vertical="center"))


def header_value(ws, first, last):
    if first != last:
        ws.merge_cells(f"{first}:{last}")
    box(ws, first, last, border=Border(bottom=THIN), align=LEFT)


def item_rows(ws, first_col, last_col, number_col, first_number, formulas=None):
    for i in range(10):
        row = 6 + i
        for col in range(first_col, last_col + 1):
            ref = f"{chr(64 + col)}{row}"
            put(ws, ref, border=BOX, align=CENTRE if col == number_col else LEFT)
        put(ws, f"{chr(64 + number_col)}{row}", first_number + i, border=BOX, align=CENTRE)
        for col, text in (formulas or {}).items():
            put(ws, f"{col}{row}", text.format(r=row), border=BOX, align=CENTRE, fmt="0.00")
        ws.row_dimensions[row].height = 18


def plain_block(ws):
    """A2:L16: two columns of ten item lines, remark K6:L15, total quantity in D16."""
    title(ws, "L")
    header_label(ws, "A4", "客户：")
    header_value(ws, "B4", "D4")
    ws.merge_cells("E4:F4")
    header_label(ws, "E4", "发货日期：")
    header_value(ws, "G4", "H4")
    header_label(ws, "I4", "单号：")
    header_value(ws, "J4", "L4")
    ws.row_dimensions[4].height = 22

    headings = {"A": "序号", "B": "品名", "C": "规格", "D": "数量", "E": "实发",
                "F": "序号", "G": "品名", "H": "规格", "I": "数量", "J": "实发", "K": "备注"}
    for col, text in headings.items():
        put(ws, f"{col}5", text, bold=True, align=CENTRE, border=BOX, fill=HEADING_FILL)
    ws.merge_cells("K5:L5")
    box(ws, "K5", "L5", bold=True, align=CENTRE, border=BOX, fill=HEADING_FILL)
    ws.row_dimensions[5].height = 20

    item_rows(ws, 1, 5, 1, 1)
    item_rows(ws, 6, 10, 6, 11)
    ws.merge_cells("K6:L15")
    box(ws, "K6", "L15", border=BOX, align=TOP_LEFT)

    ws.merge_cells("A16:C16")
    box(ws, "A16", "C16", border=Border(left=THIN, top=THIN, bottom=MEDIUM), bold=True, align=CENTRE)
    put(ws, "A16", "合计数量", bold=True, align=CENTRE)
    put(ws, "D16", "=SUM(D6:D15)+SUM(I6:I15)", bold=True, align=CENTRE,
        border=Border(left=THIN, right=THIN, top=THIN, bottom=MEDIUM))
    ws.merge_cells("E16:F16")
    box(ws, "E16", "F16", border=Border(top=THIN, bottom=MEDIUM), bold=True,
        align=Alignment(horizontal="right", vertical="center"))
    put(ws, "E16", "签收人：", bold=True, align=Alignment(horizontal="right", vertical="center"))
    ws.merge_cells("G16:L16")
    box(ws, "G16", "L16", border=Border(top=THIN, bottom=MEDIUM, right=THIN), align=LEFT)
    ws.row_dimensions[16].height = 24
    widths = {"A": 5, "B": 16, "C": 10, "D": 8, "E": 6, "F": 5, "G": 16, "H": 10, "I": 8, "J": 6,
              "K": 9, "L": 9}
    return widths


def price_block(ws):
    """A2:J17: ten item lines with price and amounts, remark I6:J15, totals in row 16."""
    title(ws, "J")
    header_label(ws, "A4", "客户：")
    header_value(ws, "B4", "D4")
    header_label(ws, "E4", "发货日期：")
    header_value(ws, "F4", "F4")
    header_label(ws, "G4", "单号：")
    header_value(ws, "H4", "J4")
    ws.row_dimensions[4].height = 22

    headings = {"A": "序号", "B": "品名", "C": "规格", "D": "数量", "E": "单价", "F": "金额",
                "G": "实发", "H": "实发金额", "I": "备注"}
    for col, text in headings.items():
        put(ws, f"{col}5", text, bold=True, align=CENTRE, border=BOX, fill=HEADING_FILL)
    ws.merge_cells("I5:J5")
    box(ws, "I5", "J5", bold=True, align=CENTRE, border=BOX, fill=HEADING_FILL)
    ws.row_dimensions[5].height = 20

    item_rows(ws, 1, 8, 1, 1, formulas={
        "F": '=IF(E{r}="","",D{r}*E{r})',
        "H": '=IF(OR(E{r}="",G{r}=""),"",G{r}*E{r})',
    })
    ws.merge_cells("I6:J15")
    box(ws, "I6", "J15", border=BOX, align=TOP_LEFT)

    ws.merge_cells("A16:C16")
    box(ws, "A16", "C16", border=BOX, bold=True, align=CENTRE)
    put(ws, "A16", "合计", bold=True, align=CENTRE)
    for col in "DFGH":
        put(ws, f"{col}16", f"=SUM({col}6:{col}15)", bold=True, align=CENTRE, border=BOX,
            fmt="0.00" if col in "FH" else None)
    put(ws, "E16", border=BOX)
    ws.merge_cells("I16:J16")
    box(ws, "I16", "J16", border=BOX)
    ws.row_dimensions[16].height = 22

    ws.merge_cells("A17:B17")
    put(ws, "A17", "制单：", bold=True, align=Alignment(horizontal="right", vertical="center"))
    ws.merge_cells("C17:D17")
    box(ws, "C17", "D17", border=Border(bottom=THIN))
    put(ws, "E17", "送货：", bold=True, align=Alignment(horizontal="right", vertical="center"))
    put(ws, "F17", border=Border(bottom=THIN))
    put(ws, "G17", "签收：", bold=True, align=Alignment(horizontal="right", vertical="center"))
    ws.merge_cells("H17:J17")
    box(ws, "H17", "J17", border=Border(bottom=THIN))
    ws.row_dimensions[17].height = 26
    widths = {"A": 5, "B": 16, "C": 10, "D": 8, "E": 8, "F": 10, "G": 7, "H": 10, "I": 9, "J": 9}
    return widths


def make(path, block):
    wb = Workbook()
    notes = wb.active
    notes.title = "发货单"
    model = wb.create_sheet("模板")
    widths = block(model)
    for ws in (notes, model):
        for col, width in widths.items():
            ws.column_dimensions[col].width = width
        ws.sheet_format.defaultRowHeight = 15
        ws.page_setup.paperSize = ws.PAPERSIZE_A4
        ws.page_setup.orientation = ws.ORIENTATION_PORTRAIT
        ws.page_margins = PageMargins(left=0.4, right=0.4, top=0.5, bottom=0.5)
        ws.sheet_properties.pageSetUpPr.fitToPage = True
        ws.page_setup.fitToWidth = 1
        ws.page_setup.fitToHeight = 0
    wb.active = 0
    wb.save(path)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "templatefile")
    os.makedirs(folder, exist_ok=True)
    make(os.path.join(folder, "订单模版.xlsx"), plain_block)
    make(os.path.join(folder, "价格订单模版.xlsx"), price_block)


if __name__ == "__main__":
    main()
