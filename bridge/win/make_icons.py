#!/usr/bin/env python3
"""Draws the three icons of qel_link into the folder given: the application icon and the
tray icons of the control-board and tester modes. Each is a 32x32 true-colour icon: a
serial plug (a trapezoid with two rows of pins) on a field of the mode's colour."""
import os
import struct
import sys

SIDE = 32
WHITE = (255, 255, 255)
DARK = (40, 40, 40)
FIELDS = {
    "qel_link.ico": (70, 90, 110),   # slate: the program
    "control.ico": (200, 110, 20),   # amber: control board
    "tester.ico": (30, 140, 70),     # green: tester
}


def colour_at(x, y, field):
    inset = (y - 9) // 3  # the plug narrows towards its bottom edge
    in_plug = 9 <= y <= 22 and 4 + inset <= x <= 27 - inset
    if not in_plug:
        return field
    top_pin = y in (12, 13) and x % 4 == 1 and 7 <= x <= 25
    low_pin = y in (17, 18) and x % 4 == 3 and 9 <= x <= 23
    return DARK if top_pin or low_pin else WHITE


def ico_bytes(field):
    pixels = bytearray()
    for y in range(SIDE - 1, -1, -1):  # rows are stored bottom first
        for x in range(SIDE):
            r, g, b = colour_at(x, y, field)
            pixels += bytes((b, g, r, 255))
    and_mask = bytes(SIDE * (SIDE // 8))  # 1 bit a pixel, all shown
    bitmap = struct.pack("<IiiHHIIiiII", 40, SIDE, 2 * SIDE, 1, 32, 0,
                         len(pixels) + len(and_mask), 0, 0, 0, 0) + pixels + and_mask
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIDE, SIDE, 0, 0, 1, 32, len(bitmap),
                        len(header) + 16)
    return header + entry + bitmap


def main(folder):
    os.makedirs(folder, exist_ok=True)
    for name, field in FIELDS.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(ico_bytes(field))


main(sys.argv[1])
