#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

"""Writes the BMP test pictures: one 5x3 picture at 1, 4, 8, 24 and 32 bits, plus a top-down
24-bit copy. Pixel (x, y), y counted from the top, has colour COLOURS[(x + 5 * y) % n], n being 2
at 1 bit and 16 otherwise. The test suite knows the same rule."""
import struct
import pathlib

WIDTH, HEIGHT = 5, 3
COLOURS = [(i * 16 + 8, 255 - i * 16, (i * 37) % 256) for i in range(16)]  # red, green, blue


def index(x, y, count):
    return (x + WIDTH * y) % count


def packed_row(y, bpp, count):
    bits = 0
    for x in range(WIDTH):
        bits = (bits << bpp) | index(x, y, count)
    row_bits = WIDTH * bpp
    pad_bits = (-row_bits) % 8
    return (bits << pad_bits).to_bytes((row_bits + pad_bits) // 8, "big")


def direct_row(y, bpp):
    out = b""
    for x in range(WIDTH):
        r, g, b = COLOURS[index(x, y, 16)]
        out += bytes((b, g, r)) + (b"\xff" if bpp == 32 else b"")
    return out


def bmp(bpp, top_down=False):
    count = 2 if bpp == 1 else 16
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in COLOURS[:count]) if bpp <= 8 else b""
    rows = []
    for y in range(HEIGHT):
        row = packed_row(y, bpp, count) if bpp <= 8 else direct_row(y, bpp)
        rows.append(row + b"\0" * ((-len(row)) % 4))
    if not top_down:
        rows.reverse()
    pixels = b"".join(rows)
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, -HEIGHT if top_down else HEIGHT, 1, bpp, 0,
                       len(pixels), 2835, 2835, count if bpp <= 8 else 0, 0)
    return header + info + table + pixels


here = pathlib.Path(__file__).parent
for depth in (1, 4, 8, 24, 32):
    (here / f"picture_{depth}bpp.bmp").write_bytes(bmp(depth))
(here / "picture_24bpp_topdown.bmp").write_bytes(bmp(24, top_down=True))
