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

Each glyph also has a drawing of twice the size, name@2x.bmp (36 x 36, or 32 x 32
for browse), for screens of 144 DPI and more: the same picture in the same colours
with finer detail, so that it need not be enlarged pixel for pixel. The tick, the
cross and the question mark are drawn from their centre lines (a pixel takes a
stroke's colour when its centre lies within the stroke's half-width), which gives
diagonals in single-pixel steps and round curves; the folders are drawn by hand.
"""
import math
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


# The drawings of twice the size. Coordinates are in pixels of the 2x frame, the
# origin at the top-left corner of the top-left pixel.
def from_strokes(size, layers):
    """A drawing of Size x Size in which each pixel takes the colour of the last
    layer that covers its centre. A layer is (colour, test(x, y))."""
    rows = []
    for y in range(size):
        row = ""
        for x in range(size):
            c = "."
            for colour, covers in layers:
                if covers(x + 0.5, y + 0.5):
                    c = colour
            row += c
        rows.append(row)
    return rows


def segment_distance(px, py, a, b):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def near_polyline(points, half_width):
    return lambda x, y: min(segment_distance(x, y, a, b) for a, b in zip(points, points[1:])) <= half_width


# The tick: a short arm down to the vertex, a long arm up to the right; a dark
# green rim around a lime core.
TICK_LINE = [(6.8, 19.4), (13.2, 25.8), (29.2, 9.0)]
START_2X = from_strokes(36, [("G", near_polyline(TICK_LINE, 3.3)), ("L", near_polyline(TICK_LINE, 1.9))])

# The cross: two diagonals, a red core in a maroon rim, thinner than the tick.
CROSS_LINES = ([(7.6, 7.6), (26.4, 26.4)], [(26.4, 7.6), (7.6, 26.4)])
CANCEL_2X = from_strokes(36, [
    ("M", lambda x, y: any(near_polyline(line, 2.6)(x, y) for line in CROSS_LINES)),
    ("R", lambda x, y: any(near_polyline(line, 1.2)(x, y) for line in CROSS_LINES)),
])


# The question mark: a hook (an arc from the left over the top, down the right
# and in towards the middle), a straight stem below it and a round dot; teal, with
# an aqua shine inside the upper left of the hook.
def question_hook():
    cx, cy, r = 18.5, 13.2, 7.4
    arc = [(cx + r * math.cos(math.radians(a)), cy + r * math.sin(math.radians(a))) for a in range(174, 396, 6)]
    return arc + [(19.0, 21.5), (19.0, 24.0)], (cx, cy, r)


HOOK, (HOOK_X, HOOK_Y, HOOK_R) = question_hook()


def question_shine(x, y):
    angle = math.degrees(math.atan2(y - HOOK_Y, x - HOOK_X)) % 360
    radius = math.hypot(x - HOOK_X, y - HOOK_Y)
    return 196 <= angle <= 282 and HOOK_R - 1.9 <= radius <= HOOK_R - 0.1


INFO_2X = from_strokes(36, [
    ("T", lambda x, y: near_polyline(HOOK, 2.8)(x, y) and y < 24.0),
    ("A", question_shine),
    ("T", lambda x, y: math.hypot(x - 19.0, y - 29.0) <= 3.3),
])

# The folders: the tab on the left of the top edge, an olive rim round a yellow
# body, the top edge of the front a line across; the two on the branches are
# lower than the first, as in the small drawing.
FOLDER_2X = [
    "..OOOOO.......",
    ".OYYYYYO......",
    "OYYYYYYYOOOOO.",
    "OYYYYYYYYYYYYO",
    "OOOOOOOOOOOOOO",
    "OYYYYYYYYYYYYO",
    "OYYYYYYYYYYYYO",
    "OYYYYYYYYYYYYO",
    "OYYYYYYYYYYYYO",
    ".OOOOOOOOOOOO.",
]
LOW_FOLDER_2X = [
    "..OOOOO.......",
    ".OYYYYYO......",
    "OYYYYYYYOOOOO.",
    "OOOOOOOOOOOOOO",
    "OYYYYYYYYYYYYO",
    "OYYYYYYYYYYYYO",
    "OYYYYYYYYYYYYO",
    ".OOOOOOOOOOOO.",
]


def browse_2x():
    size = 32
    grid = [["."] * size for _ in range(size)]

    def put(x, y, c):
        if 0 <= x < size and 0 <= y < size:
            grid[y][x] = c

    def box(left, top, width, height, c):
        for y in range(top, top + height):
            for x in range(left, left + width):
                put(x, y, c)

    def folder(drawing, left, top):
        for dy, row in enumerate(drawing):
            for dx, c in enumerate(row):
                if c != ".":
                    put(left + dx, top + dy, c)

    def dots(left, top, count):  # the dash line: dots two pixels square, two apart
        for i in range(count):
            box(left + 4 * i, top, 2, 2, "K")

    # The tree line, two pixels wide: down from below the first folder, a branch
    # to each of the other two.
    box(4, 12, 2, 16, "K")
    box(4, 18, 6, 2, "K")
    box(4, 26, 6, 2, "K")
    folder(FOLDER_2X, 0, 2)
    folder(LOW_FOLDER_2X, 10, 14)
    folder(LOW_FOLDER_2X, 10, 22)
    dots(16, 4, 3)
    dots(26, 18, 2)
    dots(26, 26, 2)
    return ["".join(row) for row in grid]


BROWSE_2X = browse_2x()


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
for name, drawing, twice in (("start", START, START_2X), ("cancel", CANCEL, CANCEL_2X), ("browse", BROWSE, BROWSE_2X),
                             ("info", INFO, INFO_2X)):
    assert len(twice) == 2 * len(drawing), name
    write_bmp(os.path.join(here, name + ".bmp"), frames(drawing))
    write_bmp(os.path.join(here, name + "@2x.bmp"), frames(twice))
