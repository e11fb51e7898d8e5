"""Hostile workbooks for measuring how the reader ends on them (time and peak memory):

  bomb.xlsx      a sheet part of 1 GB of blanks (deflated about 1000 times)
  lies.xlsx      a sheet part of 256 MB whose zip directory declares 1 MB
  laughs.xlsx    a sheet with nested entity declarations ("billion laughs")
  deep.xlsx      a sheet whose elements nest 10 million levels deep
  strings.xlsx   600 MB of shared strings for a sheet of one cell
  corner.xlsx    a sheet of two cells, A1 and XFD1048576 (17 GB of text if padded)

Usage: hostile_workbooks.py OUTDIR; then time `impmap-cli convert` on each.
"""
import os
import struct
import sys
import zlib

RELS = ('<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
        '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/'
        'relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>')
BOOK = ('<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
        'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
        '<sheets><sheet name="S" sheetId="1" r:id="rId1"/></sheets></workbook>')
BOOK_RELS = ('<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
             '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/'
             'relationships/worksheet" Target="worksheets/sheet1.xml"/>'
             '<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/'
             'relationships/sharedStrings" Target="sharedStrings.xml"/></Relationships>')


def deflate(pieces):
    """Deflates an iterable of byte pieces: (compressed, size, crc)."""
    z = zlib.compressobj(9, zlib.DEFLATED, -15)
    out, size, crc = [], 0, 0
    for piece in pieces:
        size += len(piece)
        crc = zlib.crc32(piece, crc)
        out.append(z.compress(piece))
    out.append(z.flush())
    return b''.join(out), size, crc


def write_zip(path, parts, declared=None):
    """parts: name -> iterable of bytes pieces; declared: name -> size written instead."""
    declared = declared or {}
    body, directory = b'', b''
    for name, pieces in parts.items():
        data, size, crc = deflate(pieces)
        size = declared.get(name, size)
        raw = name.encode()
        offset = len(body)
        body += struct.pack('<IHHHHHIIIHH', 0x04034b50, 20, 0, 8, 0, 0, crc, len(data), size,
                            len(raw), 0) + raw + data
        directory += struct.pack('<IHHHHHHIIIHHHHHII', 0x02014b50, 20, 20, 0, 8, 0, 0, crc,
                                 len(data), size, len(raw), 0, 0, 0, 0, 0, offset) + raw
    end = struct.pack('<IHHHHIIH', 0x06054b50, 0, 0, len(parts), len(parts), len(directory),
                      len(body), 0)
    with open(path, 'wb') as f:
        f.write(body + directory + end)


def book(path, sheet, shared=(b'<sst/>',), declared=None):
    write_zip(path, {'_rels/.rels': [RELS.encode()], 'xl/workbook.xml': [BOOK.encode()],
                     'xl/_rels/workbook.xml.rels': [BOOK_RELS.encode()],
                     'xl/worksheets/sheet1.xml': sheet, 'xl/sharedStrings.xml': shared},
              declared)


def repeated(head, piece, count, tail):
    yield head
    for _ in range(count):
        yield piece
    yield tail


def main(out):
    os.makedirs(out, exist_ok=True)
    mb = 1 << 20
    book(os.path.join(out, 'bomb.xlsx'),
         repeated(b'<worksheet><sheetData>', b' ' * mb, 1024, b'</sheetData></worksheet>'))
    book(os.path.join(out, 'lies.xlsx'),
         repeated(b'<worksheet><sheetData>', os.urandom(mb // 2).hex().encode(), 256,
                  b'</sheetData></worksheet>'),
         declared={'xl/worksheets/sheet1.xml': mb})
    laughs = ('<?xml version="1.0"?><!DOCTYPE lolz [<!ENTITY lol "lol">'
              + ''.join('<!ENTITY lol%d "%s">' % (i, ('&lol%d;' % (i - 1) if i > 1 else '&lol;') * 10)
                        for i in range(1, 10))
              + ']><worksheet><sheetData><row><c t="inlineStr"><is><t>&lol9;</t></is></c></row>'
              '</sheetData></worksheet>')
    book(os.path.join(out, 'laughs.xlsx'), [laughs.encode()])
    book(os.path.join(out, 'deep.xlsx'),
         repeated(b'<worksheet><sheetData>', b'<row>' * 1000000, 10, b''))
    book(os.path.join(out, 'strings.xlsx'),
         [b'<worksheet><sheetData><row r="1"><c r="A1" t="s"><v>0</v></c></row></sheetData>'
          b'</worksheet>'],
         repeated(b'<sst>', b'<si><t>' + os.urandom(mb // 2).hex().encode() + b'</t></si>', 600,
                  b'</sst>'))
    book(os.path.join(out, 'corner.xlsx'),
         [b'<worksheet><sheetData><row r="1"><c r="A1"><v>1</v></c></row>'
          b'<row r="1048576"><c r="XFD1048576"><v>2</v></c></row></sheetData></worksheet>'])


if __name__ == '__main__':
    main(sys.argv[1])
