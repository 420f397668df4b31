#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

"""Writes the BMP test pictures: one 5x3 picture in every kind of BMP file that browsers read.
Pixel (x, y), y counted from the top, has colour COLOURS[(x + 5 * y) % n], n being 2 at 1 bit,
4 at 2 bits and 16 otherwise; 16-bit files keep the top bits of each channel. The test suite
knows the same rule (tests/imaging/bmp_reader_test.cpp)."""
import struct
import pathlib

WIDTH, HEIGHT = 5, 3
COLOURS = [(i * 16 + 8, 255 - i * 16, (i * 37) % 256) for i in range(16)]  # red, green, blue
BI_RGB, BI_RLE8, BI_RLE4, BI_BITFIELDS, BI_ALPHABITFIELDS = 0, 1, 2, 3, 6


def index(x, y, count):
    return (x + WIDTH * y) % count


def colour_count(bpp):
    return {1: 2, 2: 4}.get(bpp, 16)


def packed_row(y, bpp):
    bits = 0
    for x in range(WIDTH):
        bits = (bits << bpp) | index(x, y, colour_count(bpp))
    row_bits = WIDTH * bpp
    pad_bits = (-row_bits) % 8
    return (bits << pad_bits).to_bytes((row_bits + pad_bits) // 8, "big")


def masked(value, mask):
    """The top bits of an 8-bit value placed under a contiguous mask."""
    if not mask:
        return 0
    shift = (mask & -mask).bit_length() - 1
    bits = bin(mask).count("1")
    return (value >> (8 - bits)) << shift if bits <= 8 else value << (shift + bits - 8)


def direct_row(y, bpp, masks, alphas):
    out = b""
    for x in range(WIDTH):
        r, g, b = COLOURS[index(x, y, 16)]
        if masks:
            value = masked(r, masks[0]) | masked(g, masks[1]) | masked(b, masks[2])
            value |= masked(alphas[(x + y) % len(alphas)], masks[3]) if len(masks) > 3 else 0
            out += value.to_bytes(bpp // 8, "little")
        else:
            out += bytes((b, g, r)) + (bytes((alphas[(x + y) % len(alphas)],)) if bpp == 32 else b"")
    return out


def rows(bpp, top_down, masks, alphas):
    out = []
    for y in range(HEIGHT):
        row = packed_row(y, bpp) if bpp <= 8 else direct_row(y, bpp, masks, alphas)
        out.append(row + b"\0" * ((-len(row)) % 4))
    if not top_down:
        out.reverse()
    return b"".join(out)


def table(bpp, entry_size=4):
    if bpp > 8:
        return b""
    return b"".join(bytes((b, g, r, 0))[:entry_size] for r, g, b in COLOURS[:colour_count(bpp)])


def info_header(size, bpp, compression, pixels, colours, top_down=False, masks=()):
    """BITMAPINFOHEADER and its longer kinds: 52 and 56 bytes hold the masks, 108 (V4) and 124
    (V5) add colour space fields; the 64-byte OS/2 2.x header leaves its own fields zero."""
    fields = struct.pack("<IiiHHIIiiII", size, WIDTH, -HEIGHT if top_down else HEIGHT, 1, bpp,
                         compression, len(pixels), 2835, 2835, colours, 0)
    if size >= 52:
        fields += b"".join(struct.pack("<I", m) for m in (list(masks) + [0] * 4)[:4])
    if size >= 108:
        fields += b"BGRs"
    return (fields + b"\0" * size)[:size]


def bmp(info, table_bytes, pixels, between=b""):
    offset = 14 + len(info) + len(between) + len(table_bytes)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + between + table_bytes + pixels


def windows(bpp, size=40, top_down=False, compression=BI_RGB, masks=(), alphas=(255,),
            masks_after=False):
    # without bit fields 16-bit pixels are x-5-5-5
    pixels = rows(bpp, top_down, masks or (RGB555 if bpp == 16 else ()), alphas)
    colours = colour_count(bpp) if bpp <= 8 else 0
    info = info_header(size, bpp, compression, pixels, colours, top_down, masks)
    between = b"".join(struct.pack("<I", m) for m in masks) if masks_after else b""
    return bmp(info, table(bpp), pixels, between)


def os2_core(bpp):
    pixels = rows(bpp, False, (), (255,))
    info = struct.pack("<IHHHH", 12, WIDTH, HEIGHT, 1, bpp)
    return bmp(info, table(bpp, entry_size=3), pixels)


def os2_v2(bpp):
    """The 64-byte OS/2 2.x header: the first 40 bytes as BITMAPINFOHEADER, then OS/2 fields."""
    pixels = rows(bpp, False, (), (255,))
    return bmp(info_header(64, bpp, BI_RGB, pixels, 0), table(bpp), pixels)


def rle(bpp, row_codes):
    """Run-length data: the codes of each row, bottom row first, then an end-of-bitmap marker."""
    pixels = b"".join(row_codes) + b"\0\1"
    info = info_header(40, bpp, BI_RLE8 if bpp == 8 else BI_RLE4, pixels, 16)
    return bmp(info, table(bpp), pixels)


def rle8_row(y):
    i = [index(x, y, 16) for x in range(WIDTH)]
    # three pixels in absolute mode (padded to an even length), one encoded run of one, and an
    # encoded run of five of which only one fits: the rest is dropped, as browsers do
    return bytes((0, 3, i[0], i[1], i[2], 0, 1, i[3], 5, i[4], 0, 0))


def rle4_row(y):
    i = [index(x, y, 16) for x in range(WIDTH)]
    return bytes((0, 3, i[0] << 4 | i[1], i[2] << 4, 2, i[3] << 4 | i[4], 0, 0))


def rle8_with_holes():
    """Bottom row: pixel 0, a delta over two pixels, pixels 3 and 4; middle row: pixel 0, then
    the end of the line; top row: left out by the end of the bitmap."""
    i = [index(x, 2, 16) for x in range(WIDTH)]
    bottom = bytes((1, i[0], 0, 2, 2, 0, 1, i[3], 1, i[4], 0, 0))
    middle = bytes((1, index(0, 1, 16), 0, 0))
    return rle(8, [bottom, middle])


RGB555 = (0x7C00, 0x03E0, 0x001F)
RGB565 = (0xF800, 0x07E0, 0x001F)
ARGB4444 = (0x0F00, 0x00F0, 0x000F, 0xF000)
XBGR = (0x000000FF, 0x0000FF00, 0x00FF0000)  # red in the low byte: the masks must be obeyed
ARGB = (0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)
MIXED_ALPHA = (255, 128, 0, 255, 255)

FILES = {
    # the first pictures, kept as they were
    "picture_1bpp.bmp": windows(1),
    "picture_4bpp.bmp": windows(4),
    "picture_8bpp.bmp": windows(8),
    "picture_24bpp.bmp": windows(24),
    "picture_32bpp.bmp": windows(32),
    "picture_24bpp_topdown.bmp": windows(24, top_down=True),
    # OS/2 1.x and 2.x
    "os2_core_4bpp.bmp": os2_core(4),
    "os2_core_24bpp.bmp": os2_core(24),
    "os2_v2_1bpp.bmp": os2_v2(1),
    # Windows: other depths, bit fields, the longer headers
    "picture_2bpp.bmp": windows(2),
    "rgb555_16bpp.bmp": windows(16),
    "bitfields_565_16bpp.bmp": windows(16, compression=BI_BITFIELDS, masks=RGB565,
                                       masks_after=True),
    "bitfields_xbgr_32bpp.bmp": windows(32, compression=BI_BITFIELDS, masks=XBGR,
                                        masks_after=True),
    "alphabitfields_32bpp.bmp": windows(32, compression=BI_ALPHABITFIELDS, masks=ARGB,
                                        masks_after=True),
    "v2_52_565_16bpp.bmp": windows(16, size=52, compression=BI_BITFIELDS, masks=RGB565),
    "v3_56_32bpp.bmp": windows(32, size=56, compression=BI_BITFIELDS, masks=ARGB),
    "v4_4444_16bpp.bmp": windows(16, size=108, compression=BI_BITFIELDS, masks=ARGB4444,
                                 alphas=(255,)),
    "v4_8bpp_topdown.bmp": windows(8, size=108, top_down=True),
    "v5_24bpp.bmp": windows(24, size=124),
    "v5_32bpp_topdown.bmp": windows(32, size=124, top_down=True, compression=BI_BITFIELDS,
                                    masks=ARGB),
    # run-length encoded
    "rle8.bmp": rle(8, [rle8_row(y) for y in (2, 1, 0)]),
    "rle4.bmp": rle(4, [rle4_row(y) for y in (2, 1, 0)]),
    "rle8_holes.bmp": rle8_with_holes(),
    # the fourth byte of 32-bit pixels: padding without an alpha mask, alpha with one, even
    # where it is zero everywhere
    "padding_32bpp.bmp": windows(32, alphas=MIXED_ALPHA),
    "alpha_32bpp.bmp": windows(32, size=124, compression=BI_BITFIELDS, masks=ARGB,
                               alphas=MIXED_ALPHA),
    "zero_alpha_32bpp.bmp": windows(32, size=124, compression=BI_BITFIELDS, masks=ARGB,
                                    alphas=(0,)),
}

here = pathlib.Path(__file__).parent
for name, data in FILES.items():
    (here / name).write_bytes(data)
