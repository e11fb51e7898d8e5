#!/usr/bin/env python3
"""Writes a large invented payee source file and its map file for the benchmarks.

  generate_source.py {1099-MISC|W-2} RECORDS OUTDIR

Names, addresses, numbers and amounts are made up from small word lists with a fixed seed, so
the same arguments always give the same bytes. A few taxpayer numbers are deliberately bad.
"""
import random
import sys
from pathlib import Path

FIRST = ["Ada", "Bram", "Cleo", "Dario", "Edda", "Fenn", "Gita", "Hollis", "Ines", "Jory",
         "Kasi", "Lorne", "Mira", "Nils", "Odile", "Pax", "Quill", "Rhea", "Soren", "Tamsin"]
LAST = ["Abernathy", "Brightwater", "Calloway", "Dunmore", "Ellery", "Fairweather", "Galloway",
        "Hartwell", "Ingram", "Juniper", "Kestrel", "Lindqvist", "Marchetti", "Northcott",
        "Oakhurst", "Pemberton", "Quarry", "Rosewood", "Stirling", "Thistlewood"]
STREETS = ["Maple", "Cedar", "Harbor", "Lantern", "Orchard", "Quarry", "Willow", "Summit"]
KINDS = ["St", "Ave", "Rd", "Ln", "Way", "Ct"]
CITIES = [("Millbrook", "NY"), ("Ashford", "CT"), ("Pine Hollow", "PA"), ("Riverbend", "OH"),
          ("Copper Falls", "MI"), ("Eastvale", "CA"), ("Stonebridge", "TX"), ("Glenmoor", "WA")]
COMPANIES = ["Lantern Works", "Harbor Freight Lines", "Orchard & Vine", "Summit Tooling",
             "Copper Kettle Cafe", "Northwind Analytics"]


def quoted(text):
    return '"' + text.replace('"', '""') + '"' if any(c in text for c in ',"') else text


def money(rng, top):
    cents = rng.randrange(0, top * 100)
    if rng.random() < 0.35:
        return ""
    text = f"{cents // 100:,}.{cents % 100:02d}"
    return "$" + text if rng.random() < 0.7 else text


def tin(rng, record):
    if record > 1 and rng.random() < 0.0005:
        return rng.choice(["12-34567", "ABC-DE-FGHI", "1234567890123"])  # bad ones
    if rng.random() < 0.2:
        d = f"{rng.randrange(10**8, 10**9):09d}"
        return f"{d[:2]}-{d[2:]}"
    d = f"{rng.randrange(10**8, 10**9):09d}"
    return f"{d[:3]}-{d[3:5]}-{d[5:]}"


def person(rng):
    first, last = rng.choice(FIRST), rng.choice(LAST)
    if rng.random() < 0.15:
        return f"{rng.choice(COMPANIES)}", f"Attn: {first} {last}"
    if rng.random() < 0.3:
        return f"{last}, {first} {chr(65 + rng.randrange(26))}.", ""
    return f"{first} {last}", ""


def address(rng):
    street = f"{rng.randrange(1, 9999)} {rng.choice(STREETS)} {rng.choice(KINDS)}"
    line2 = f"Apt {rng.randrange(1, 400)}" if rng.random() < 0.2 else ""
    city, state = rng.choice(CITIES)
    zipcode = f"{rng.randrange(10000, 99999)}"
    if rng.random() < 0.3:
        zipcode += f"-{rng.randrange(1000, 9999)}"
    return street, line2, city, state, zipcode


def yes_no(rng, p):
    return rng.choice(["Y", "1", "TRUE", "X"]) if rng.random() < p else rng.choice(["", "N", "0"])


def misc_record(rng, record):
    name1, name2 = person(rng)
    street, line2, city, state, zipcode = address(rng)
    fields = [name1, name2, street, line2, city, state, zipcode,
              str(rng.randrange(10, 99)) if rng.random() < 0.1 else "", yes_no(rng, 0.01), "",
              tin(rng, record), f"ACCT-{rng.randrange(10**6, 10**7)}", "", yes_no(rng, 0.02),
              yes_no(rng, 0.01)]
    fields += [money(rng, 50000), money(rng, 20000), money(rng, 30000), money(rng, 8000),
               money(rng, 5000), money(rng, 40000), yes_no(rng, 0.05), money(rng, 3000),
               money(rng, 9000), money(rng, 60000), money(rng, 7000), money(rng, 10000),
               money(rng, 20000), money(rng, 15000), state, money(rng, 50000), money(rng, 4000),
               "", "", "", yes_no(rng, 0.01), f"payee{record}@example.test"]
    return fields


# 1099-MISC: 40 rows; rows 11 (TIN type) and 13 (name control) stay unmapped, 40 is fixed.
MISC_HEADER = ["Name", "Name 2", "Address", "Address 2", "City", "State", "Zip", "DPBC",
               "Foreign", "Foreign City", "TIN", "Account", "CFSP", "2nd TIN", "FATCA",
               "Rents", "Royalties", "Other", "Fed WH", "Fishing", "Medical", "Direct sales",
               "Substitute", "Crop", "Attorney", "Fish", "409A", "Parachute", "NQDC",
               "State 1", "State 1 income", "State 1 WH", "State 2", "State 2 income",
               "State 2 WH", "Do not print", "E-Mail"]
MISC_ROWS = list(range(1, 11)) + [0, 11, 0] + list(range(12, 38)) + [0]


def w2_record(rng, record):
    first, last = rng.choice(FIRST), rng.choice(LAST)
    street, line2, city, state, zipcode = address(rng)
    ssn = f"{rng.randrange(10**8, 10**9):09d}"  # a bad SSN would stop a W-2 run
    if rng.random() < 0.8:
        ssn = f"{ssn[:3]}-{ssn[3:5]}-{ssn[5:]}"
    wages = rng.randrange(1500000, 25000000)
    def m(v):
        return f"${v // 100:,}.{v % 100:02d}"
    fields = [f"E{record:07d}", first, chr(65 + rng.randrange(26)), last, "", street, line2,
              city, state, zipcode[:5], zipcode[6:], "", "", ssn, m(wages), m(wages // 7),
              m(wages), m(wages * 62 // 1000), m(wages), m(wages * 145 // 10000), "", "",
              money(rng, 5000), "", rng.choice(["", "D", "DD"]), money(rng, 20000),
              yes_no(rng, 0.02), yes_no(rng, 0.5), state, m(wages), m(wages // 20), "", "",
              "", "", f"{first.lower()}.{last.lower()}@example.test"]
    return fields


W2_HEADER = ["File no", "First", "MI", "Last", "Suffix", "Street", "Street 2", "City",
             "State", "Zip", "Zip ext", "DPBC", "Foreign", "SSN", "Wages", "Fed WH", "SS wages",
             "SS tax", "Medicare wages", "Medicare tax", "SS tips", "Alloc tips", "Dep care",
             "NQ plans", "12a code", "12a amount", "Statutory", "Retirement", "State 1",
             "State 1 wages", "State 1 WH", "Loc 1 wages", "Loc 1 WH", "Locality 1",
             "Loc 1 type", "E-Mail"]
# 64 rows; field numbers of the columns above, 0 for rows left unmapped.
W2_ROWS = [1, 2, 3, 4, 5, 0, 6, 7, 8, 9, 10, 11, 12, 13, 0, 0, 0, 0, 14, 15, 16, 17, 18, 19,
           20, 21, 22, 23, 24, 25, 26, 0, 0, 0, 0, 0, 0, 27, 28, 0, 0, 0, 0, 0, 29, 30, 31, 32,
           33, 34, 35, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 36, 0]


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in ("1099-MISC", "W-2"):
        sys.exit(__doc__)
    form, count, outdir = sys.argv[1], int(sys.argv[2]), Path(sys.argv[3])
    outdir.mkdir(parents=True, exist_ok=True)
    rng = random.Random(20221231)
    stem = "misc" if form == "1099-MISC" else "w2"
    header, rows, make = ((MISC_HEADER, MISC_ROWS, misc_record) if form == "1099-MISC"
                          else (W2_HEADER, W2_ROWS, w2_record))
    source = outdir / f"{stem}.csv"
    with open(source, "w", encoding="latin-1", newline="") as out:
        out.write(",".join(header) + "\r\n")
        for record in range(1, count + 1):
            out.write(",".join(quoted(f) for f in make(rng, record)) + "\r\n")
    defaults = "039=BENCH\r\n" if form == "1099-MISC" else "063=BENCH\r\n"
    mapping = "".join(f"{n:03d}" for n in rows)
    (outdir / f"{stem}.MAP").write_text(
        f"[Source]\r\nFileSpec={source.name}\r\nDecimal=0\r\nDelimiter=1\r\nHeader=1\r\n"
        f"Trace=1\r\n[Destination]\r\nForm={form}\r\nMap={mapping}\r\n[Default]\r\n{defaults}",
        encoding="latin-1", newline="")


if __name__ == "__main__":
    main()
