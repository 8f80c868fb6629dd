#!/usr/bin/env python3
"""Draws the editor's six 32 x 32 monochrome cursors and writes each as two XBM
files: NAME.xbm (1 = black) and NAME_mask.xbm (1 = opaque). Black strokes get a
one-pixel white rim so the cursor shows on black and on white pixels alike.
Run it again after changing a shape; the output is the same every time."""

import math
import pathlib

SIZE = 32
HERE = pathlib.Path(__file__).resolve().parent


def pencil(x, y):
    # Axis from the tip at (1, 16) up and to the right.
    u = ((x - 1) - (y - 16)) / math.sqrt(2)
    v = ((x - 1) + (y - 16)) / math.sqrt(2)
    if 0 <= u <= 4.5 and abs(v) <= u * 0.45 + 0.3:
        return "#" if u < 2.2 or abs(v) > u * 0.45 - 0.7 else "."
    if 4.5 < u <= 18 and abs(v) <= 2.6:
        return "#" if abs(v) > 1.6 or u > 17 or 7.0 < u < 8.0 else "."
    return None


def cross(x, y):
    if y == 10 and abs(x - 10) >= 3 and abs(x - 10) <= 9:
        return "#"
    if x == 10 and abs(y - 10) >= 3 and abs(y - 10) <= 9:
        return "#"
    return None


def paint_can(x, y):
    # A can tipped to the left, its mouth at the lower left, paint running out.
    cx, cy = 11, 8
    u = ((x - cx) + (y - cy)) / math.sqrt(2)
    v = ((x - cx) - (y - cy)) / math.sqrt(2)
    if abs(u) <= 6 and abs(v) <= 4.5:
        return "#" if abs(u) > 5 or abs(v) > 3.5 else "."
    if (x - 3) ** 2 + (y - 13) ** 2 <= 3.2 or (x == 2 and 13 <= y <= 15):
        return "#"
    return None


def size_arrows(x, y):
    dx, dy = x - 9, y - 9
    if (dy == 0 and abs(dx) <= 8) or (dx == 0 and abs(dy) <= 8):
        return "#"
    for ax, ay in ((dx, dy), (dy, dx)):
        d = abs(ax)
        if 5 <= d <= 8 and abs(ay) <= 8 - d:
            return "#"
    return None


def ibeam(x, y):
    if x == 3 and 1 <= y <= 13:
        return "#"
    if y in (0, 14) and x in (1, 2, 4, 5):
        return "#"
    return None


def open_hand(x, y):
    if (x - 10) ** 2 / 36 + (y - 14) ** 2 / 25 <= 1:
        inside = (x - 10) ** 2 / 20 + (y - 14) ** 2 / 13 <= 1
        return "." if inside else "#"
    for fx, top in ((5, 6), (8, 3), (11, 2), (14, 4)):
        if fx - 1 <= x <= fx + 1 and top <= y <= 11:
            return "#" if x != fx or y == top else "."
    if 15 <= x <= 18 and 12 <= y <= 15 and x - 15 <= y - 12 + 1:
        return "#"
    return None


CURSORS = {
    "pen": pencil,
    "cross": cross,
    "fill": paint_can,
    "size": size_arrows,
    "text": ibeam,
    "move": open_hand,
}


def write_xbm(path, name, bits):
    data = []
    for y in range(SIZE):
        for bx in range(SIZE // 8):
            byte = 0
            for b in range(8):
                if bits[y][bx * 8 + b]:
                    byte |= 1 << b
            data.append(f"0x{byte:02x}")
    rows = [", ".join(data[i:i + 12]) for i in range(0, len(data), 12)]
    path.write_text(
        f"#define {name}_width {SIZE}\n#define {name}_height {SIZE}\n"
        f"static unsigned char {name}_bits[] = {{\n   " + ",\n   ".join(rows) + " };\n")


for name, shape in CURSORS.items():
    picture = [[shape(x, y) for x in range(SIZE)] for y in range(SIZE)]
    black = [[picture[y][x] == "#" for x in range(SIZE)] for y in range(SIZE)]
    opaque = [[picture[y][x] is not None or any(
        0 <= x + i < SIZE and 0 <= y + j < SIZE and black[y + j][x + i]
        for i in (-1, 0, 1) for j in (-1, 0, 1)) for x in range(SIZE)] for y in range(SIZE)]
    write_xbm(HERE / f"{name}.xbm", name, black)
    write_xbm(HERE / f"{name}_mask.xbm", f"{name}_mask", opaque)
