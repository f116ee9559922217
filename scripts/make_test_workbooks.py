#!/usr/bin/env python3
"""Workbooks for the contacts tests, made with Debian's python3-xlwt and python3-openpyxl.

    make_test_workbooks.py make OUTDIR   writes the workbooks listed in make() into OUTDIR
    make_test_workbooks.py dump FILE     prints the first worksheet of an .xlsx as JSON, read
                                         by openpyxl (an independent check of written files)

Exits with 3 when a module is missing, so that a test can say what to install.
"""

import datetime
import json
import os
import sys
import zipfile

try:
    import openpyxl
    import xlwt
    from openpyxl.styles import Font
except ImportError as missing:
    sys.stderr.write("needs python3-openpyxl and python3-xlwt: %s\n" % missing)
    sys.exit(3)

HEADER = ["姓名", "手机号码", "电话", "工作单位", "职务", "备注", "通讯组"]

# The import scenario, row by row from row 1. None is a cell never written; "" a written empty
# cell. STYLED_BLANK marks a row of formatted empty cells, which still counts for the used range.
STYLED_BLANK = object()
CONTACTS = [
    HEADER,
    ["张三", 13800138000, "010-62345678", "北方公司", "经理", "老客户", "同事"],
    None,
    ["李四", "", "021-1234", "单位", "职员", "备注", "无号码组"],
    ["王五", "   ", "", "", "", "", "空白组"],
    ["赵六", "13900139000 ", "", "", "", "", "同事"],
    ["钱七", "13800138000", "", "", "", "", "朋友"],
    ["孙八", 13700137000, "", "", "", "", "朋友"],
    None,
    ["", "1360013600", "", "", "", "", ""],
    ["周九", "13500135000", "", "", "", "", "家人"],
    ["吴十", "13300133000", "x", "", "", "", "家人", "第八列不读"],
    ["郑一", 13200132000, 12345, "", "", "", " 同事"],
    STYLED_BLANK,
]

BAD_HEADER = [["姓名", "手机号码", "电话号码", "工作单位", "职务", "备注", "通讯组"],
              ["张三", "13800138000", "", "", "", "", "同事"]]

HEADER_ONLY = [HEADER]

# Cells of every kind, for the readers. Row 3 is left out.
CELLS = [
    [13800138000.0, 100, 3.5, 0.1, -2, 1e20, 12345678901],
    [" 两边有空格 ", "   ", "", "中文", "a\nb"],
    None,
    [datetime.date(2024, 6, 1), datetime.datetime(2024, 6, 1, 12, 30, 5)],
]


def write_xls(path, rows, second_sheet=True):
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("通讯录")
    date_style = xlwt.easyxf(num_format_str="YYYY-MM-DD")
    datetime_style = xlwt.easyxf(num_format_str="YYYY-MM-DD HH:MM:SS")
    bold = xlwt.easyxf("font: bold on")
    for r, row in enumerate(rows):
        if row is None:
            continue
        if row is STYLED_BLANK:
            for c in range(7):
                sheet.write(r, c, "", bold)
            continue
        for c, value in enumerate(row):
            if isinstance(value, datetime.datetime):
                sheet.write(r, c, value, datetime_style)
            elif isinstance(value, datetime.date):
                sheet.write(r, c, value, date_style)
            else:
                sheet.write(r, c, value)
    if second_sheet:
        other = book.add_sheet("其他")
        other.write(0, 0, "不读")
    book.save(path)


def write_xlsx(path, rows, second_sheet=True):
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = "通讯录"
    for r, row in enumerate(rows, start=1):
        if row is None:
            continue
        if row is STYLED_BLANK:
            for c in range(1, 8):
                sheet.cell(row=r, column=c).font = Font(bold=True)
            continue
        for c, value in enumerate(row, start=1):
            cell = sheet.cell(row=r, column=c, value=value)
            if isinstance(value, datetime.datetime):
                cell.number_format = "yyyy-mm-dd hh:mm:ss"
            elif isinstance(value, datetime.date):
                cell.number_format = "yyyy-mm-dd"
    if second_sheet:
        book.create_sheet("其他").cell(row=1, column=1, value="不读")
    book.save(path)


def write_handmade_xlsx(path):
    """An .xlsx as spreadsheet programs write it, with what openpyxl never writes: shared
    strings (rich text runs, phonetic hints, a blank-only item, an escaped carriage return),
    relative targets, a first sheet stored in sheet2.xml, prefixed element names, numbers in
    exponent form, cells without references, booleans and formula texts."""
    ns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
    rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
    pkg = "http://schemas.openxmlformats.org/package/2006/relationships"
    parts = {
        "[Content_Types].xml":
            '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
            '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
            '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.'
            'relationships+xml"/><Default Extension="xml" ContentType="application/xml"/>'
            '</Types>',
        "_rels/.rels":
            '<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="%s">'
            '<Relationship Id="rId1" Type="%s/officeDocument" Target="xl/workbook.xml"/>'
            '</Relationships>' % (pkg, rel),
        "xl/workbook.xml":
            '<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="%s" xmlns:r="%s">'
            '<sheets><sheet name="通讯录" sheetId="2" r:id="rId2"/>'
            '<sheet name="其他" sheetId="1" r:id="rId1"/></sheets></workbook>' % (ns, rel),
        "xl/_rels/workbook.xml.rels":
            '<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="%s">'
            '<Relationship Id="rId1" Type="%s/worksheet" Target="worksheets/sheet1.xml"/>'
            '<Relationship Id="rId2" Type="%s/worksheet" Target="worksheets/sheet2.xml"/>'
            '<Relationship Id="rId3" Type="%s/sharedStrings" Target="sharedStrings.xml"/>'
            '</Relationships>' % (pkg, rel, rel, rel),
        "xl/sharedStrings.xml":
            ('<?xml version="1.0" encoding="UTF-8"?><sst xmlns="%s" count="10" uniqueCount="10">'
             % ns)
            + "".join("<si><t>%s</t></si>" % h for h in HEADER)
            + '<si><r><t>张</t></r><r><rPr><b/></rPr><t xml:space="preserve">三 </t></r>'
            '<rPh sb="0" eb="1"><t>zhang</t></rPh></si>'
            '<si><t xml:space="preserve">  </t></si>'
            '<si><t>行一_x000D_\n行二</t></si>'
            '</sst>',
        "xl/worksheets/sheet1.xml":
            '<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="%s"><sheetData>'
            '<row r="1"><c r="A1" t="inlineStr"><is><t>不读</t></is></c></row>'
            '</sheetData></worksheet>' % ns,
        "xl/worksheets/sheet2.xml":
            ('<?xml version="1.0" encoding="UTF-8"?><x:worksheet xmlns:x="%s"><x:sheetData>'
             '<x:row r="1">' % ns)
            + "".join('<x:c r="%s1" t="s"><x:v>%d</x:v></x:c>' % ("ABCDEFG"[i], i)
                      for i in range(7))
            + '</x:row>'
            '<x:row r="2"><x:c r="A2" t="s"><x:v>7</x:v></x:c>'
            '<x:c r="B2"><x:v>1.3800138E10</x:v></x:c>'
            '<x:c r="C2" t="s"><x:v>8</x:v></x:c>'
            '<x:c r="D2" t="s"><x:v>9</x:v></x:c>'
            '<x:c r="E2" t="b"><x:v>1</x:v></x:c>'
            '<x:c r="F2" t="str"><x:f>"a"&amp;"b"</x:f><x:v>ab</x:v></x:c>'
            '<x:c r="G2" t="inlineStr"><x:is><x:t>组_x005F_x0041_</x:t></x:is></x:c></x:row>'
            '<x:row r="4"><x:c t="inlineStr"><x:is><x:t>无引用</x:t></x:is></x:c>'
            '<x:c><x:v>13900139000</x:v></x:c></x:row>'
            '</x:sheetData></x:worksheet>',
    }
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, text in parts.items():
            archive.writestr(name, text.encode("utf-8"))


def make(outdir):
    os.makedirs(outdir, exist_ok=True)
    for name, rows in (("contacts", CONTACTS), ("bad_header", BAD_HEADER),
                       ("header_only", HEADER_ONLY), ("cells", CELLS)):
        write_xls(os.path.join(outdir, name + ".xls"), rows)
        write_xlsx(os.path.join(outdir, name + ".xlsx"), rows)
    write_handmade_xlsx(os.path.join(outdir, "handmade.xlsx"))


def dump(path):
    book = openpyxl.load_workbook(path, read_only=False)
    sheet = book.worksheets[0]
    rows = []
    for row in sheet.iter_rows(values_only=True):
        rows.append(["" if v is None else v for v in row])
    json.dump({"sheet": sheet.title, "rows": rows}, sys.stdout, ensure_ascii=False)


def main(argv):
    if len(argv) == 3 and argv[1] == "make":
        make(argv[2])
    elif len(argv) == 3 and argv[1] == "dump":
        dump(argv[2])
    else:
        sys.stderr.write(__doc__)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
