#!/usr/bin/env python3
"""Draws the four button glyphs of the main window as 16-colour pictures and writes
them as 24-bit BMP files beside this script, for every window of the program.

Each file holds two frames side by side: the normal look, then the disabled look
(an embossed grey of the same shape). The colour of the bottom-left pixel is the
transparent one. Standard library only; run it again after changing a drawing.

  start.bmp   18 x 18 per frame: a green tick
  cancel.bmp  18 x 18 per frame: a red cross
  browse.bmp  16 x 16 per frame: three yellow folders on a black tree line, each
              followed by a short dash line
  info.bmp    18 x 18 per frame: a teal question mark
"""
import os
import struct

# The 16 colours of the classic palette that the drawings use.
COLOURS = {
    ".": (255, 0, 255),    # transparent (fuchsia, used by no drawing)
    "K": (0, 0, 0),        # black
    "G": (0, 128, 0),      # green
    "L": (0, 255, 0),      # lime
    "M": (128, 0, 0),      # maroon
    "R": (255, 0, 0),      # red
    "O": (128, 128, 0),    # olive
    "Y": (255, 255, 0),    # yellow
    "T": (0, 128, 128),    # teal
    "A": (0, 255, 255),    # aqua
}
GREY, WHITE = (128, 128, 128), (255, 255, 255)

START = [
    "..................",
    "..................",
    "..................",
    "..............G...",
    ".............GLG..",
    "............GLLG..",
    "...........GLLG...",
    "..........GLLG....",
    "...G.....GLLG.....",
    "..GLG...GLLG......",
    "..GLLG.GLLG.......",
    "...GLLGLLG........",
    "....GLLLG.........",
    ".....GLG..........",
    "......G...........",
    "..................",
    "..................",
    "..................",
]

CANCEL = [
    "..................",
    "..................",
    "..................",
    "...MM.......MM....",
    "...MRM.....MRM....",
    "....MRM...MRM.....",
    ".....MRM.MRM......",
    "......MRMRM.......",
    ".......MRM........",
    "......MRMRM.......",
    ".....MRM.MRM......",
    "....MRM...MRM.....",
    "...MRM.....MRM....",
    "...MM.......MM....",
    "..................",
    "..................",
    "..................",
    "..................",
]

BROWSE = [
    "................",
    ".OOO............",
    "OYYYOOO.K.K.K...",
    "OYYYYYO.........",
    "OYYYYYO.........",
    "OOOOOOO.........",
    "..K.............",
    "..K...OOO.......",
    "..K..OYYYOOO....",
    "..KKKOYYYYYO.K.K",
    "..K..OOOOOOO....",
    "..K...OOO.......",
    "..K..OYYYOOO....",
    "..KKKOYYYYYO.K.K",
    ".....OOOOOOO....",
    "................",
]

INFO = [
    "..................",
    "..................",
    "......TTTTTT......",
    ".....TTAAAATT.....",
    "....TTA....TTT....",
    "....TTT....TTT....",
    ".....T.....TTT....",
    "..........TTT.....",
    ".........TTT......",
    "........TTT.......",
    "........TTT.......",
    "........TTT.......",
    "..................",
    "........TTT.......",
    "........TTT.......",
    "........TTT.......",
    "..................",
    "..................",
]


def frames(drawing):
    """The normal and the disabled frame, as rows of RGB tuples."""
    size = len(drawing)
    assert all(len(row) == size for row in drawing), "a frame is square"
    clear = COLOURS["."]
    normal = [[COLOURS[c] for c in row] for row in drawing]
    disabled = [[clear] * size for _ in range(size)]
    shape = [(x, y) for y, row in enumerate(drawing) for x, c in enumerate(row) if c != "."]
    for x, y in shape:  # a light edge below and right of the shape, then the shape in grey
        if x + 1 < size and y + 1 < size:
            disabled[y + 1][x + 1] = WHITE
    for x, y in shape:
        disabled[y][x] = GREY
    assert normal[size - 1][0] == clear and disabled[size - 1][0] == clear
    return [normal[y] + disabled[y] for y in range(size)]


def write_bmp(path, rows):
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = b""
    for row in reversed(rows):  # BMP rows run bottom-up
        line = b"".join(bytes((b, g, r)) for r, g, b in row)
        pixels += line + b"\0" * (stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(pixels), 0, 0, 14 + len(header)))
        f.write(header + pixels)


here = os.path.dirname(os.path.abspath(__file__))
for name, drawing in (("start", START), ("cancel", CANCEL), ("browse", BROWSE), ("info", INFO)):
    write_bmp(os.path.join(here, name + ".bmp"), frames(drawing))
