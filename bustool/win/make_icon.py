#!/usr/bin/env python3
"""Writes the probe's 32x32 icon: a bus line with three taps on a blue field."""
import struct
import sys

SIZE = 32
FIELD = (0x8B, 0x3A, 0x1E, 0xFF)  # blue, as B, G, R, A
LINE = (0xFF, 0xFF, 0xFF, 0xFF)


def pixel(x, y):
    on_bus = 14 <= y <= 17 and 3 <= x <= 28
    on_tap = x % 9 in (7, 8) and 6 <= y <= 13 and 4 <= x <= 27
    return LINE if on_bus or on_tap else FIELD


def icon():
    rows = []
    for y in reversed(range(SIZE)):  # bottom-up
        rows.append(b"".join(bytes(pixel(x, y)) for x in range(SIZE)))
    colour = b"".join(rows)
    mask = bytes(SIZE * SIZE // 8)  # all opaque
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    image = header + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


with open(sys.argv[1], "wb") as out:
    out.write(icon())
