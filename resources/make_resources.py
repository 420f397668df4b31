#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

"""Draws Lumatrim's pointer and application images: HAND-M.CUR, drag.ico and lumatrim.png.

Run from anywhere; the files land beside this script. Only the standard library is used, so the
images can be redrawn on any machine: edit a picture below and run the script again.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# 32 x 32 pointers as text: '#' black outline, '.' white fill, anything else transparent.
HAND = """
      ##
     #..#
     #..#
     #..#
     #..#
     #..###
     #..#..###
     #..#..#..##
  ## #..#..#..#.#
 #..##........#..#
 #...#...........#
  #..............#
   #.............#
   #............#
    #...........#
    #..........#
     #.........#
     #........#
      #.......#
      #########
"""

DRAG = """
        ##
       #..#
      #....#
     #......#
    ####..####
 #     #..#     #
##     #..#     ##
#.######..#######.#
#.................#
#.######..#######.#
##     #..#     ##
 #     #..#     #
    ####..####
     #......#
      #....#
       #..#
        ##
"""


def rows_of(art):
    lines = art.strip("\n").split("\n")
    rows = [line.ljust(32)[:32] for line in lines]
    return rows + [" " * 32] * (32 - len(rows))


def dib_32bpp(art):
    """BITMAPINFOHEADER, bottom-up BGRA rows, then the 1-bit AND mask (1 = transparent)."""
    rows = rows_of(art)
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 32, 0, 0, 0, 0, 0, 0)
    colours = {"#": b"\x00\x00\x00\xff", ".": b"\xff\xff\xff\xff"}
    pixels = b"".join(
        b"".join(colours.get(c, b"\x00\x00\x00\x00") for c in row) for row in reversed(rows)
    )
    mask = b""
    for row in reversed(rows):
        bits = 0
        for c in row:
            bits = (bits << 1) | (0 if c in colours else 1)
        mask += struct.pack(">I", bits)
    return header + pixels + mask


def icon_file(kind, image, hotspot):
    """kind 1 = icon, 2 = cursor (whose entry carries the hotspot instead of planes and depth)."""
    planes_or_x, bits_or_y = hotspot if kind == 2 else (1, 32)
    directory = struct.pack("<HHH", 0, kind, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 0, 0, planes_or_x, bits_or_y, len(image), 6 + 16)
    return directory + entry + image


def png_file(width, height, pixel):
    raw = b"".join(
        b"\x00" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height)
    )

    def chunk(tag, data):
        return (struct.pack(">I", len(data)) + tag + data
                + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def app_icon(x, y):
    """A photo frame with a mountain, shrunk by an arrow: Lumatrim makes pictures smaller."""
    size = 64
    if not (4 <= x < size - 4 and 8 <= y < size - 8):
        return (0, 0, 0, 0)
    if x < 7 or x >= size - 7 or y < 11 or y >= size - 11:
        return (40, 70, 120, 255)
    if y >= 24 + abs(x - 26) * 0.9:
        return (70, 150, 80, 255)
    if (x - 44) ** 2 + (y - 20) ** 2 < 25:
        return (250, 200, 60, 255)
    return (200, 225, 250, 255)


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as out:
        out.write(data)


write("HAND-M.CUR", icon_file(2, dib_32bpp(HAND), (7, 1)))
write("drag.ico", icon_file(1, dib_32bpp(DRAG), (0, 0)))
write("lumatrim.png", png_file(64, 64, app_icon))
