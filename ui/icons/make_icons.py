#!/usr/bin/env python3
"""Draws the application icon (PNG, standard library only): a navy tile with a
white page whose zipper runs down its middle and a yellow renaming arrow.

usage: make_icons.py [FOLDER SIZE...]   without arguments: 16, 32 and 48 pixels
                                        here (the images kept with the sources)"""
import os
import struct
import sys
import zlib


def png(path, size, pixels):
    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in pixels)
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def draw(size):
    s = size / 16.0
    navy, white, black, yellow, clear = (0, 0, 128, 255), (255, 255, 255, 255), (0, 0, 0, 255), (255, 204, 0, 255), (0, 0, 0, 0)
    img = [[clear] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            u, v = x / s, y / s
            corner = min(u, 15.99 - u) < 1 and min(v, 15.99 - v) < 1 and (min(u, 15.99 - u) + min(v, 15.99 - v)) < 1
            if not corner:
                img[y][x] = navy
            if 3 <= u < 11 and 2 <= v < 14:
                img[y][x] = white
                if 6.5 <= u < 7.5 and 3 <= v < 13:
                    img[y][x] = black if int(v * 2) % 2 == 0 else white
            # the arrow: a triangle pointing right at the lower right
            if 9 <= u < 15 and 8 <= v < 15 and (u - 9) <= 3.5 - abs(v - 11.5) * 1.0 + 2.5 and u < 14.5:
                if (u - 9) <= 6 - abs(v - 11.5) * 1.7:
                    img[y][x] = yellow
    return img


if __name__ == "__main__":
    folder, sizes = (sys.argv[1], [int(n) for n in sys.argv[2:]]) if len(sys.argv) > 2 else (".", [16, 32, 48])
    for n in sizes:
        png(os.path.join(folder, "quenmar-%d.png" % n), n, draw(n))
