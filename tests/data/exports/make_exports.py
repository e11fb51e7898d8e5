#!/usr/bin/env python3
"""Writes the payee files of this folder as spreadsheet users export them, with Python's csv
module (the writer of each file is named here; run with /usr/bin/python3 from this folder):
  payees-comma.csv      csv.writer, excel dialect (comma, CR LF, quotes where needed): a name
                        with a comma, a wrapped address cell, a blank row, an amount in
                        parentheses, a decimal comma, blank-separated digits, a short row, a
                        two-digit year, a lower-case state and a zip extension of 3 digits
  payees-semicolon.csv  csv.writer, excel dialect with ";" as the delimiter and decimal commas,
                        as spreadsheets of many regions write CSV
  payees-libreoffice.csv  LibreOffice headless: the rows of payees-comma.csv typed as text cells
                        of a workbook (openpyxl), saved as CSV (comma, UTF-8, as shown); a
                        spreadsheet writes every row to the width of the sheet
"""
import csv
import os
import shutil
import subprocess
import tempfile

import openpyxl

HEADER = ["Name", "TIN", "Address", "Amount", "State", "Zip", "Zip ext"]
ROWS = [
    ["Ann Lee", "101-23-4567", "1 Oak St", "1,250.00", "NY", "10012", "0001"],
    ["Smith, John", "101-23-4568", "1 Main St\nApt 2", "($250.00)", "ny", "10013", "123"],
    ["", "", "", "", "", "", ""],
    ["Bo Poe", "10-1234569", "2 Elm St", "980,50", "CA", "90210", "1234"],
    ["Cy Roe", "10-1234560", "3 Pine St", "1 234.56"],
]

with open("payees-comma.csv", "w", newline="", encoding="utf-8") as f:
    writer = csv.writer(f)
    writer.writerow(HEADER)
    writer.writerows(ROWS)

with open("payees-semicolon.csv", "w", newline="", encoding="utf-8") as f:
    writer = csv.writer(f, delimiter=";")
    writer.writerow(HEADER)
    writer.writerow(["Ann Lee", "101-23-4567", "1 Oak St", "1.250,00", "NY", "10012", "0001"])

with tempfile.TemporaryDirectory() as tmp:
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.append(HEADER)
    for row in ROWS:
        sheet.append(row)
    book.save(os.path.join(tmp, "payees-libreoffice.xlsx"))
    subprocess.run(["soffice", "-env:UserInstallation=file://" + tmp + "/profile", "--headless",
                    "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,"
                    "true,false,false", "--outdir", tmp,
                    os.path.join(tmp, "payees-libreoffice.xlsx")],
                   check=True, stdout=subprocess.DEVNULL)
    shutil.copy(os.path.join(tmp, "payees-libreoffice.csv"), "payees-libreoffice.csv")
