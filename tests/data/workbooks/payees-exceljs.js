// The payee workbook of the workbook tests, written with exceljs (run by make_workbooks.sh with
// exceljs installed in a temporary folder). The same cells and formats as payees.py.
const ExcelJS = require('exceljs');

const header = ['First Name', 'Middle', 'Last Name', 'Tax ID', 'Address 1', 'City', 'State',
    'Zip', 'Amount', 'Withheld', 'Paid On', 'Rate', 'Active', 'Note', 'Balance', 'Check'];
const d = (y, m, day) => new Date(Date.UTC(y, m - 1, day));
const rows = [
    ['John', 'A', 'Doe', [12345678, '000-00-0000'], '1 First Street', 'New York', 'NY',
        [2138, '00000'], [150000.5, '#,##0.00'], [15000.05, '"$"#,##0.00'],
        [d(2022, 1, 15), 'mm/dd/yyyy'], [0.24, '0.00%'], true, 'Pays\nquarterly',
        [-1234.5, '#,##0.00;(#,##0.00)'], [{formula: '1/0', result: {error: '#DIV/0!'}}, null]],
    null,
    ['John', 'B', 'Smith', [123456780, '000-00-0000'], '2 Second Street', 'LIC', 'NY',
        [111011234, '00000-0000'], [3700.25, '#,##0.00'], [0, '"$"#,##0.00'],
        [d(2022, 2, 28), 'd-mmm-yy'], [0.049, '0.0%'], false, 'Tab\there',
        [0.1 + 0.2, 'General'], [{formula: 'NA()', result: {error: '#N/A'}}, null]],
    ['Jane', 'A', 'Doe', [321456789, '000-00-0000'], '3 Third Street', 'Staten Island', 'NY',
        [10306, '00000'], [4500, '#,##0.00'], [450, '"$"#,##0.00'],
        [d(2022, 12, 31), 'yyyy-mm-dd'], [1, '0%'], true, '  kept blanks  ',
        [1234567.891, 'General'], null],
    ['Jürgen', '', 'Müller-Lüdenscheidt', [98765432, '00-0000000'], '4 Fourth Street',
        'Garden City', 'NY', [11512, '00000'], [16000, '#,##0.00'], [1600.4, '"$"#,##0.00'],
        [d(2000, 2, 29), 'mmmm d, yyyy'], [0.125, '0.000%'], false, '日本', [-250, '0'], null],
];

async function main(out) {
    const book = new ExcelJS.Workbook();
    const sheet = book.addWorksheet('Payees 2022');
    sheet.addRow(header);
    rows.forEach((row, r) => {
        if (!row)
            return;
        row.forEach((value, c) => {
            if (value === null || value === '')
                return;
            const cell = sheet.getCell(r + 2, c + 1);
            if (Array.isArray(value)) {
                cell.value = value[0];
                if (value[1])
                    cell.numFmt = value[1];
            } else {
                cell.value = value;
                if (typeof value === 'string' && value.includes('\n'))
                    cell.alignment = {wrapText: true};
            }
        });
    });
    const second = book.addWorksheet('Second');
    second.addRow(['Second sheet']);
    second.addRow(['a', 1, 2.5]);
    second.addRow(['b', 2, 1e-7]);
    second.mergeCells('A1:C1');
    const hidden = book.addWorksheet('Hidden', {state: 'hidden'});
    hidden.addRow(['hidden', 42]);
    await book.xlsx.writeFile(out);
}

main(process.argv[2]).catch((e) => {
    console.error(e);
    process.exit(1);
});
