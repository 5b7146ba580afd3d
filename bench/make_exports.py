#!/usr/bin/env python3
"""Writes an archive shaped like the real data exports.

Entries are named YYYY-MM-DD-<A>-<B>-<n>.csv, about a third of them with A equal
to B, and hold semicolon-separated call records.

usage: make_exports.py ARCHIVE ENTRIES ENTRY_BYTES [SEED]
"""
import datetime
import random
import sys
import zipfile

OPERATORS = ["T-Mobile", "O2", "Vodafone", "Nordic", "UPC", "Kaktus"]


def records(rng, size):
    lines = ["id;caller;callee;start;seconds;cell;class"]
    length = len(lines[0]) + 1
    n = 0
    while length < size:
        n += 1
        line = "%d;+420%09d;+420%09d;%02d:%02d:%02d;%d;%05d;%s" % (
            n, rng.randrange(10**9), rng.randrange(10**9), rng.randrange(24), rng.randrange(60),
            rng.randrange(60), rng.randrange(3600), rng.randrange(100000), rng.choice("ABCD"))
        lines.append(line)
        length += len(line) + 1
    return ("\n".join(lines) + "\n")[:size]


def main():
    archive, count, size = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    rng = random.Random(int(sys.argv[4]) if len(sys.argv) > 4 else 1)
    start = datetime.date(2018, 1, 1)
    small = size <= 4096
    sample = records(rng, size) if small else None
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED, compresslevel=6) as z:
        for i in range(count):
            day = start + datetime.timedelta(days=i % 1500)
            a = rng.choice(OPERATORS)
            b = a if i % 3 == 0 else rng.choice([o for o in OPERATORS if o != a])
            name = "%s-%s-%s-%d.csv" % (day.isoformat(), a, b, i)
            info = zipfile.ZipInfo(name, date_time=(day.year, day.month, day.day, 12, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, sample if small else records(rng, size))


if __name__ == "__main__":
    main()
