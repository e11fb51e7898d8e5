"""Damaged and refused workbooks for the tests, made from the good ones beside this script.

Usage: make_bad.py OUTDIR
"""
import io
import os
import sys
import zipfile

WORKBOOK_XML = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                '<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
                'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
                '<sheets/></workbook>')
ROOT_RELS = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
             '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
             '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/'
             'relationships/officeDocument" Target="xl/workbook.%s"/></Relationships>')
BILLION_LAUGHS = ('<?xml version="1.0"?>\n<!DOCTYPE lolz [<!ENTITY lol "lol">'
                  + ''.join('<!ENTITY lol%d "%s">' % (i, ('&lol%d;' % (i - 1) if i > 1 else '&lol;') * 10)
                            for i in range(1, 10))
                  + ']>\n<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
                  '<sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>&lol9;</t></is></c></row>'
                  '</sheetData></worksheet>')
DEEP = ('<?xml version="1.0"?>\n<worksheet xmlns="http://schemas.openxmlformats.org/'
        'spreadsheetml/2006/main"><sheetData>' + '<row>' * 100000 + '</sheetData></worksheet>')
BAD_SHARED = ('<?xml version="1.0"?>\n<worksheet xmlns="http://schemas.openxmlformats.org/'
              'spreadsheetml/2006/main"><sheetData><row r="1"><c r="A1" t="s"><v>999</v></c>'
              '</row></sheetData></worksheet>')


def replaced(source, target, parts, drop=()):
    """Copies the zip source to target with some parts replaced or dropped."""
    with zipfile.ZipFile(source) as zin, zipfile.ZipFile(target, 'w', zipfile.ZIP_DEFLATED) as zout:
        for item in zin.infolist():
            if item.filename in drop:
                continue
            data = parts.get(item.filename, None)
            zout.writestr(item.filename, data if data is not None else zin.read(item.filename))
        for name, data in parts.items():
            if name not in zin.namelist():
                zout.writestr(name, data)


def write_zip(target, parts):
    with zipfile.ZipFile(target, 'w', zipfile.ZIP_DEFLATED) as z:
        for name, data in parts.items():
            z.writestr(name, data)


def corrupt(source, target):
    """Flips bytes in the middle of the first sheet's compressed data."""
    data = bytearray(open(source, 'rb').read())
    with zipfile.ZipFile(source) as z:
        info = z.getinfo('xl/worksheets/sheet1.xml')
    header = info.header_offset
    name_len = int.from_bytes(data[header + 26:header + 28], 'little')
    extra_len = int.from_bytes(data[header + 28:header + 30], 'little')
    start = header + 30 + name_len + extra_len
    for i in range(start + info.compress_size // 3, start + info.compress_size // 3 + 16):
        data[i] ^= 0x5A
    open(target, 'wb').write(bytes(data))


def utf16_name(name):
    raw = name.encode('utf-16-le') + b'\0\0'
    return raw.ljust(64, b'\0'), len(raw)


def rename_stream(source, target, old, new):
    """A compound file with one directory entry renamed (the allocation is left as it is)."""
    data = bytearray(open(source, 'rb').read())
    old_raw, _ = utf16_name(old)
    at = data.find(old_raw[:len(old) * 2 + 2])
    new_raw, length = utf16_name(new)
    data[at:at + 64] = new_raw
    data[at + 64:at + 66] = length.to_bytes(2, 'little')
    open(target, 'wb').write(bytes(data))


def protect_xls(source, target):
    """Turns the record after the first BOF into FILEPASS, as an encrypted .xls has it."""
    data = bytearray(open(source, 'rb').read())
    bof = data.find(bytes([0x09, 0x08, 0x10, 0x00, 0x00, 0x06]))
    following = bof + 4 + 16
    data[following:following + 2] = (0x002F).to_bytes(2, 'little')
    open(target, 'wb').write(bytes(data))


def main(out):
    os.makedirs(out, exist_ok=True)
    good = open('xlsxwriter.xlsx', 'rb').read()
    open(os.path.join(out, 'truncated.xlsx'), 'wb').write(good[:len(good) * 3 // 5])
    corrupt('xlsxwriter.xlsx', os.path.join(out, 'corrupt.xlsx'))
    write_zip(os.path.join(out, 'notabook.xlsx'), {'readme.txt': 'just a zip archive\n'})
    write_zip(os.path.join(out, 'nosheets.xlsx'), {'_rels/.rels': ROOT_RELS % 'xml',
                                                   'xl/workbook.xml': WORKBOOK_XML})
    write_zip(os.path.join(out, 'binary.xlsb'), {'_rels/.rels': ROOT_RELS % 'bin',
                                                 'xl/workbook.bin': b'\x83\x01\x00'})
    rename_stream('libreoffice.xls', os.path.join(out, 'protected.xlsx'), 'Workbook',
                  'EncryptedPackage')
    protect_xls('libreoffice.xls', os.path.join(out, 'protected.xls'))
    write_zip(os.path.join(out, 'protected.ods'), {
        'mimetype': 'application/vnd.oasis.opendocument.spreadsheet',
        'content.xml': b'\x8f\x12encrypted',
        'META-INF/manifest.xml': '<manifest:manifest xmlns:manifest="urn:oasis:names:tc:'
                                 'opendocument:xmlns:manifest:1.0"><manifest:file-entry '
                                 'manifest:full-path="content.xml"><manifest:encryption-data/>'
                                 '</manifest:file-entry></manifest:manifest>'})
    replaced('xlsxwriter.xlsx', os.path.join(out, 'entities.xlsx'),
             {'xl/worksheets/sheet1.xml': BILLION_LAUGHS})
    replaced('xlsxwriter.xlsx', os.path.join(out, 'deep.xlsx'), {'xl/worksheets/sheet1.xml': DEEP})
    replaced('xlsxwriter.xlsx', os.path.join(out, 'badshared.xlsx'),
             {'xl/worksheets/sheet1.xml': BAD_SHARED})
    replaced('xlsxwriter.xlsx', os.path.join(out, 'missingpart.xlsx'), {},
             drop=('xl/worksheets/sheet1.xml',))


if __name__ == '__main__':
    main(sys.argv[1])
