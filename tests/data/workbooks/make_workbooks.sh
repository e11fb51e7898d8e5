#!/usr/bin/env bash
# Writes the test workbooks of this folder and the "as shown" CSV export of each sheet:
#   openpyxl.xlsx            openpyxl (shared strings, relationships by absolute paths)
#   xlsxwriter.xlsx          XlsxWriter (shared strings)
#   xlsxwriter-inline.xlsx   XlsxWriter in constant-memory mode (inline strings)
#   single.xlsx              XlsxWriter: one sheet of two rows
#   exceljs.xlsx             exceljs (npm, installed into a temporary folder)
#   libreoffice.xlsx/.ods/.xls   LibreOffice headless, converted from xlsxwriter.xlsx
#   expected/KIND-SHEET.csv  LibreOffice headless: each workbook's sheets as CSV, UTF-8, values
#                            "as shown"
#   bad/                     damaged and refused files (made here with Python's zipfile)
# Needs python3-openpyxl, python3-xlsxwriter, libreoffice-calc-nogui and npm; the tests need
# only the files, which are committed.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here"
python=/usr/bin/python3
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

"$python" payees.py openpyxl openpyxl.xlsx
"$python" payees.py xlsxwriter xlsxwriter.xlsx
"$python" payees.py xlsxwriter-inline xlsxwriter-inline.xlsx
"$python" payees.py single single.xlsx
(cd "$tmp" && npm install --silent --no-audit --no-fund exceljs@4 >/dev/null)
NODE_PATH="$tmp/node_modules" node payees-exceljs.js exceljs.xlsx

profile="file://$tmp/profile"
for kind in xlsx ods xls; do
    soffice -env:UserInstallation="$profile" --headless --convert-to "$kind" --outdir "$tmp" \
        xlsxwriter.xlsx >/dev/null
    mv "$tmp/xlsxwriter.$kind" "libreoffice.$kind"
done

# CSV: comma, double quote, UTF-8, from line 1, "as shown", every sheet (-1) to its own file.
rm -rf expected
mkdir -p expected
csv='csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true,false,false,-1'
for book in openpyxl.xlsx xlsxwriter.xlsx xlsxwriter-inline.xlsx exceljs.xlsx \
    libreoffice.xlsx libreoffice.ods libreoffice.xls; do
    soffice -env:UserInstallation="$profile" --headless --convert-to "$csv" --outdir "$tmp/csv" \
        "$book" >/dev/null
    for sheet in "Payees 2022" Second; do
        mv "$tmp/csv/${book%.*}-$sheet.csv" "expected/${book/./-}-$sheet.csv"
    done
    rm -f "$tmp"/csv/*
done

"$python" make_bad.py bad
