#!/usr/bin/env python3
"""Writes tallyon.ico: one 32x32 image in the 16 standard colours, a page with a ranking of bars.

Run it from this folder after changing the drawing; the .ico it writes is checked in.
"""
import struct

SIZE = 32
# The 16 colours of the standard Windows palette, as (blue, green, red).
PALETTE = [
    (0x00, 0x00, 0x00), (0x00, 0x00, 0x80), (0x00, 0x80, 0x00), (0x00, 0x80, 0x80),
    (0x80, 0x00, 0x00), (0x80, 0x00, 0x80), (0x80, 0x80, 0x00), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0x00, 0x00, 0xFF), (0x00, 0xFF, 0x00), (0x00, 0xFF, 0xFF),
    (0xFF, 0x00, 0x00), (0xFF, 0x00, 0xFF), (0xFF, 0xFF, 0x00), (0xFF, 0xFF, 0xFF),
]
BLACK, SILVER, GREY, RED, BLUE, WHITE, NAVY = 0, 7, 8, 9, 12, 15, 4
CLEAR = None

LEFT, RIGHT, TOP, BOTTOM, FOLD = 5, 26, 1, 30, 6
# Bars of falling length, the first one red: the ranking of words by count.
BARS = [(RED, 15), (BLUE, 12), (BLUE, 9), (NAVY, 6), (NAVY, 4)]


def pixel(x, y):
    if not (LEFT <= x <= RIGHT and TOP <= y <= BOTTOM):
        return CLEAR
    fold_x, fold_y = x - (RIGHT - FOLD), y - TOP
    if fold_x >= 0 and fold_y <= FOLD:
        if fold_x > fold_y:
            return CLEAR
        if fold_x == fold_y or fold_x == 0 or fold_y == FOLD:
            return BLACK
        return SILVER
    if x in (LEFT, RIGHT) or y in (TOP, BOTTOM):
        return BLACK
    if x == RIGHT - 1 or y == BOTTOM - 1:
        return GREY
    for i, (colour, length) in enumerate(BARS):
        top = TOP + 9 + 4 * i
        if top <= y < top + 3 and LEFT + 3 <= x < LEFT + 3 + length:
            return colour
    return WHITE


def icon_bytes():
    rows = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    colours = b"".join(
        bytes((((row[x] or 0) << 4) | (row[x + 1] or 0)) for x in range(0, SIZE, 2))
        for row in reversed(rows))
    mask = b"".join(
        int("".join("1" if value is CLEAR else "0" for value in row), 2).to_bytes(4, "big")
        for row in reversed(rows))
    palette = b"".join(bytes((b, g, r, 0)) for b, g, r in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0, len(colours) + len(mask),
                         0, 0, 16, 0)
    image = header + palette + colours + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    with open("tallyon.ico", "wb") as file:
        file.write(icon_bytes())
