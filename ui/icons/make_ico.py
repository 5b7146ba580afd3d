#!/usr/bin/env python3
"""Packs the icon images into one Windows icon file, each image kept as its PNG
(Windows Vista and later, and Wine, read PNG images in icons).

usage: make_ico.py OUTPUT.ico IMAGE.png..."""
import struct
import sys


def main():
    output, images = sys.argv[1], sys.argv[2:]
    blobs = [open(path, "rb").read() for path in images]
    header = struct.pack("<HHH", 0, 1, len(blobs))
    offset = len(header) + 16 * len(blobs)
    entries = b""
    for blob in blobs:
        width, height = struct.unpack(">II", blob[16:24])  # from the PNG's IHDR
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(output, "wb") as f:
        f.write(header + entries + b"".join(blobs))


if __name__ == "__main__":
    main()
