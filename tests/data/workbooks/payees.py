"""The payee workbook of the workbook tests, written with openpyxl or XlsxWriter.

Usage: payees.py openpyxl|xlsxwriter|xlsxwriter-inline|single OUT.xlsx

Every writer gets the same cells and number formats: TINs and zip codes as numbers with zero
patterns, amounts with grouping and currency formats, dates, percentages, booleans, a wrapped
cell, an error value, a merged title, a hidden sheet, an empty row, non-ASCII names.
"""
import datetime
import sys

HEADER = ["First Name", "Middle", "Last Name", "Tax ID", "Address 1", "City", "State", "Zip",
          "Amount", "Withheld", "Paid On", "Rate", "Active", "Note", "Balance", "Check"]

# (value, number format) per column; None is an empty cell. Row 3 is left empty.
ROWS = [
    ["John", "A", "Doe", (12345678, "000-00-0000"), "1 First Street", "New York", "NY",
     (2138, "00000"), (150000.5, "#,##0.00"), (15000.05, '"$"#,##0.00'),
     (datetime.date(2022, 1, 15), "mm/dd/yyyy"), (0.24, "0.00%"), True,
     "Pays\nquarterly", (-1234.5, "#,##0.00;(#,##0.00)"), ("=1/0", "#DIV/0!")],
    None,
    ["John", "B", "Smith", (123456780, "000-00-0000"), "2 Second Street", "LIC", "NY",
     (111011234, "00000-0000"), (3700.25, "#,##0.00"), (0, '"$"#,##0.00'),
     (datetime.date(2022, 2, 28), "d-mmm-yy"), (0.049, "0.0%"), False,
     "Tab\there", (0.1 + 0.2, "General"), ("=NA()", "#N/A")],
    ["Jane", "A", "Doe", (321456789, "000-00-0000"), "3 Third Street", "Staten Island", "NY",
     (10306, "00000"), (4500, "#,##0.00"), (450, '"$"#,##0.00'),
     (datetime.date(2022, 12, 31), "yyyy-mm-dd"), (1, "0%"), True,
     "  kept blanks  ", (1234567.891, "General"), None],
    ["Jürgen", "", "Müller-Lüdenscheidt", (98765432, "00-0000000"), "4 Fourth Street",
     "Garden City", "NY", (11512, "00000"), (16000, "#,##0.00"), (1600.4, '"$"#,##0.00'),
     (datetime.date(2000, 2, 29), "mmmm d, yyyy"), (0.125, "0.000%"), False, "日本",
     (-250, "0"), None],
]
SECOND = [["Second sheet", None, None], ["a", 1, 2.5], ["b", 2, 1e-7]]
HIDDEN = [["hidden", 42]]


def cells(row):
    for value in row:
        if isinstance(value, tuple):
            yield value
        else:
            yield value, None


def with_openpyxl(path):
    import openpyxl
    from openpyxl.styles import Alignment
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = "Payees 2022"
    sheet.append(HEADER)
    for r, row in enumerate(ROWS, start=2):
        if row is None:
            continue
        for c, (value, fmt) in enumerate(cells(row), start=1):
            if value is None:
                continue
            if fmt in ("#DIV/0!", "#N/A"):
                # openpyxl stores no results of formulas: the error as a value instead.
                cell = sheet.cell(row=r, column=c, value=fmt)
                cell.data_type = "e"
                continue
            cell = sheet.cell(row=r, column=c, value=value)
            if fmt:
                cell.number_format = fmt
            if isinstance(value, str) and "\n" in value:
                cell.alignment = Alignment(wrap_text=True)
    second = book.create_sheet("Second")
    for row in SECOND:
        second.append(row)
    second.merge_cells("A1:C1")
    hidden = book.create_sheet("Hidden")
    hidden.sheet_state = "hidden"
    for row in HIDDEN:
        hidden.append(row)
    book.save(path)


def with_xlsxwriter(path, inline):
    import xlsxwriter
    book = xlsxwriter.Workbook(path, {"constant_memory": inline})
    sheet = book.add_worksheet("Payees 2022")
    formats = {}

    def fmt_of(code, wrap=False):
        key = (code, wrap)
        if key not in formats:
            props = {}
            if code:
                props["num_format"] = code
            if wrap:
                props["text_wrap"] = True
            formats[key] = book.add_format(props) if props else None
        return formats[key]

    date_formats = {}
    sheet.write_row(0, 0, HEADER)
    for r, row in enumerate(ROWS, start=1):
        if row is None:
            continue
        for c, (value, code) in enumerate(cells(row)):
            if value is None:
                continue
            if code in ("#DIV/0!", "#N/A"):
                sheet.write_formula(r, c, value, None, code)
            elif isinstance(value, datetime.date):
                sheet.write_datetime(r, c, datetime.datetime.combine(value, datetime.time()),
                                     fmt_of(code))
            elif isinstance(value, bool):
                sheet.write_boolean(r, c, value)
            elif isinstance(value, str):
                sheet.write_string(r, c, value, fmt_of(None, "\n" in value))
            else:
                sheet.write_number(r, c, value, fmt_of(code))
    del date_formats
    second = book.add_worksheet("Second")
    second.merge_range("A1:C1", SECOND[0][0])
    for r, row in enumerate(SECOND[1:], start=1):
        second.write_row(r, 0, row)
    hidden = book.add_worksheet("Hidden")
    hidden.write_row(0, 0, HIDDEN[0])
    hidden.hide()
    book.close()


if __name__ == "__main__":
    writer, out = sys.argv[1], sys.argv[2]
    if writer == "openpyxl":
        with_openpyxl(out)
    elif writer == "single":
        import xlsxwriter
        book = xlsxwriter.Workbook(out)
        only = book.add_worksheet("Only")
        only.write_row(0, 0, ["Name", "TIN"])
        only.write_row(1, 0, ["Ann", "123-45-6789"])
        book.close()
    else:
        with_xlsxwriter(out, writer == "xlsxwriter-inline")
