#!/usr/bin/env python3
"""Checks a workbook as a reader of .xlsx files would, and prints its sheets.

  workbook_sheets.py FILE

Every member must inflate with its CRC-32 (as `unzip -t` checks), every sheet must be
well-formed XML (sheets too large to parse in reasonable time are only scanned), and
then each sheet's name and row count are printed, one sheet a line, in the workbook's
order. Exit status 1 with the fault on stderr when the workbook is not whole.
Independent of the program: only Python's own zip and XML readers.
"""

import re
import sys
import xml.etree.ElementTree as ElementTree
import zipfile

# Sheets larger than this are scanned for their rows, not parsed.
PARSE_LIMIT = 32 << 20


def rows_of(archive, member):
    info = archive.getinfo(member)
    count, carry = 0, b""
    with archive.open(member) as data:
        if info.file_size <= PARSE_LIMIT:
            parser = ElementTree.XMLPullParser(events=("end",))
        else:
            parser = None
        while True:
            chunk = data.read(1 << 20)
            if not chunk:
                break
            if parser is not None:
                parser.feed(chunk)
                for _ in parser.read_events():
                    pass
            # A tag split between pieces begins in the 4 bytes carried over (too
            # few to hold a whole one, so none is counted twice).
            joined = carry + chunk
            count += joined.count(b"<row ")
            carry = joined[-4:]
        if parser is not None:
            parser.close()
    return count


def main():
    path = sys.argv[1]
    try:
        with zipfile.ZipFile(path) as archive:
            bad = archive.testzip()
            if bad is not None:
                raise ValueError(f"{bad}: CRC-32 differs")
            workbook = archive.read("xl/workbook.xml").decode("utf-8")
            names = re.findall(r'<sheet name="([^"]*)"', workbook)
            for index, name in enumerate(names, 1):
                print(name, rows_of(archive, f"xl/worksheets/sheet{index}.xml"))
    except (zipfile.BadZipFile, ValueError, KeyError, ElementTree.ParseError,
            OSError, EOFError) as fault:
        print(f"{path}: not a whole workbook: {fault}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
