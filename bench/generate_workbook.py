"""A large payee workbook for the workbook benchmark: ROWS rows (default 100,000) of 37 columns
after a header row, written by XlsxWriter in constant-memory mode (inline strings, about 200 MB
of sheet XML for 100,000 rows), with the map file that runs it onto 1099-MISC.

Usage: generate_workbook.py [ROWS] [OUTDIR]
"""
import os
import random
import sys

import xlsxwriter

FIRST = ["John", "Jane", "Maria", "Wei", "Ahmed", "Olga", "Luis", "Aisha", "Tom", "Ruth"]
LAST = ["Doe", "Smith", "Garcia", "Chen", "Khan", "Ivanova", "Lopez", "Okafor", "Brown", "Cohen"]
CITIES = [("New York", "NY"), ("Boston", "MA"), ("Chicago", "IL"), ("Austin", "TX"),
          ("Denver", "CO"), ("Seattle", "WA"), ("Miami", "FL"), ("Albany", "NY")]
# Column kinds: text, tin (000-00-0000), zip (00000), amount (#,##0.00), date, percent.
COLUMNS = (["First Name", "Last Name", "Address", "City", "State", "Zip", "Tax ID", "Account"]
           + ["Box %d" % i for i in range(1, 18)]
           + ["Note %d" % i for i in range(1, 11)] + ["Paid On", "Rate"])


def main(rows, out):
    os.makedirs(out, exist_ok=True)
    path = os.path.join(out, "payees.xlsx")
    book = xlsxwriter.Workbook(path, {"constant_memory": True})
    sheet = book.add_worksheet("Payees")
    tin = book.add_format({"num_format": "000-00-0000"})
    zipcode = book.add_format({"num_format": "00000"})
    amount = book.add_format({"num_format": "#,##0.00"})
    date = book.add_format({"num_format": "mm/dd/yyyy"})
    percent = book.add_format({"num_format": "0.00%"})
    rnd = random.Random(2022)
    sheet.write_row(0, 0, COLUMNS)
    for r in range(1, rows + 1):
        city, state = CITIES[r % len(CITIES)]
        sheet.write_string(r, 0, FIRST[r % 10])
        sheet.write_string(r, 1, LAST[(r // 10) % 10])
        sheet.write_string(r, 2, "%d Main Street, Apt %d" % (r % 9000 + 1, r % 97))
        sheet.write_string(r, 3, city)
        sheet.write_string(r, 4, state)
        sheet.write_number(r, 5, rnd.randint(1001, 99950), zipcode)
        sheet.write_number(r, 6, rnd.randint(1000000, 899999999), tin)
        sheet.write_string(r, 7, "ACCT-%08d" % r)
        for c in range(8, 25):
            sheet.write_number(r, c, rnd.randint(0, 5000000) / 100, amount)
        for c in range(25, 35):
            sheet.write_string(r, c, "note %d for payee %d" % (c - 24, r))
        sheet.write_number(r, 35, 44562 + r % 365, date)
        sheet.write_number(r, 36, rnd.randint(0, 10000) / 10000, percent)
    book.close()
    with open(os.path.join(out, "payees.MAP"), "w", newline="\r\n") as m:
        # 1099-MISC: names merged, address, city, state, zip, TIN, account, rents, royalties,
        # other income.
        fields = {1: 1, 3: 3, 5: 4, 6: 5, 7: 6, 12: 7, 14: 8, 18: 9, 19: 10, 20: 11}
        m.write("[Source]\nFileSpec=payees.xlsx\nSheet=Payees\nDecimal=0\nDelimiter=0\n"
                "Header=1\nTrace=1\n[Destination]\nForm=1099-MISC\nMap=")
        m.write("".join("%03d" % fields.get(i, 0) for i in range(1, 60)) + "\n")
        m.write("[Merge]\n001=2\n")


if __name__ == "__main__":
    main(int(sys.argv[1]) if len(sys.argv) > 1 else 100000,
         sys.argv[2] if len(sys.argv) > 2 else "/tmp/impmap-bench-workbook")
