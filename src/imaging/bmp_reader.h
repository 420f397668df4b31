// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Our BMP reader: every kind of BMP file that browsers show, into a 32-bit surface.
//
// Why our own and not Qt's with a guard in front: a guard would have to read as much of the
// file as a reader does. Qt refuses kinds that browsers show (the 52- and 56-byte headers,
// BI_ALPHABITFIELDS, 2-bit pixels), so a guard would rewrite their headers; it fills in what a
// cut-off file lacks and calls it loaded, so a guard re-parsed every header to measure the
// data; it allocates the picture a header declares before looking at the data (a 1,080-byte
// RLE8 file declaring 16384 x 16384 took 4 GiB and 17 s; bench/bmp_memory.sh), so a guard
// would walk the run-length codes too; and its alpha rules are not the browsers'. Each of
// those is this reader's work, minus the decoding. Owning it also means the code that reads
// hostile files runs under the sanitizers and the fuzzer (Qt's is not instrumented), and
// decodes straight into the route's surface: one 32-bit picture, where Qt's image, its
// conversion and the surfaces held four (peak memory 4.0 to 4.3 times the 32-bit picture,
// now 1.5 to 2).
//
// Reading is two steps. ReadBmpLayout checks everything first: headers, masks, colour table,
// and that the pixel data is all there (for run-length data, a walk over every code), and
// allocates nothing, so a file that declares a huge picture costs nothing to turn away.
// DecodeBmp then runs flat row loops over data known to be sound.
//
// The file
// --------
//   offset size  field
//        0    2  "BM"
//        2    4  file size (not trusted)
//        6    4  reserved
//       10    4  where the pixel data starts; 0: right after the colour table
//       14    4  info header size, which names its kind:
//                   12  OS/2 1.x (BITMAPCOREHEADER): 16-bit width, height, planes, depth;
//                       3-byte colours; never compressed or top-down
//                   40  BITMAPINFOHEADER: the fields below
//                   52  BITMAPV2INFOHEADER: red, green and blue masks at 40
//                   56  BITMAPV3INFOHEADER: an alpha mask at 52
//                   64  OS/2 2.x: the 40-byte fields, then OS/2 fields (ignored); no bit
//                       fields, never top-down
//                  108  BITMAPV4HEADER: colour space at 56 (ignored)
//                  124  BITMAPV5HEADER: rendering intent and profile (ignored)
//       18    4  width, signed, > 0
//       22    4  height, signed: positive for the bottom row first, negative for the top
//       26    2  planes (ignored)
//       28    2  bits a pixel: 1, 2, 4, 8 (indices), 16, 24, 32 (colours)
//       30    4  compression:
//                   0 BI_RGB             16 bits: x-5-5-5; 24: blue, green, red; 32: blue,
//                                        green, red and a fourth byte
//                   1 BI_RLE8, 2 BI_RLE4 run-length codes, below
//                   3 BI_BITFIELDS       16 or 32 bits under red, green and blue masks: 12
//                                        bytes after a 40-byte header, in the longer ones
//                   6 BI_ALPHABITFIELDS  the same and an alpha mask: 16 bytes after a
//                                        40-byte header
//                   4, 5                 an embedded JPEG or PNG (for printers): refused
//       34    4  size of the pixel data (not trusted)
//       38    8  resolution (ignored)
//       46    4  colours used: the table's entries; 0 or more than 2^depth mean 2^depth
//       50    4  important colours (ignored)
//   Then the masks, if they follow the header, then the colour table: blue, green, red and a
//   zero byte an entry (no zero byte in OS/2 1.x), cut short where the pixel data begins.
//   Missing entries, and indices past the table, are black. The pixel data: rows padded to 4
//   bytes, the leftmost pixel in the high bits of a byte; the last row may lack its padding.
//
// Run-length codes (two bytes each, the data ends at the end of the bitmap):
//   n c         n > 0: n pixels of index c; in RLE4 the two nibbles of c take turns
//   00 00       end of line: on to the start of the next row
//   00 01       end of bitmap
//   00 02 x y   move x pixels right and y rows on
//   00 n ...    n >= 3: n indices follow (RLE4: two a byte), padded to an even length
//
// A tiny file: tests/data/bmp/picture_1bpp.bmp, 5 x 3 pixels at 1 bit.
//   00: 42 4d 4a 00 00 00 00 00 00 00 3e 00 00 00   "BM", 74 bytes, pixels at 62
//   0e: 28 00 00 00 05 00 00 00 03 00 00 00         40-byte header, 5 wide, 3 high (bottom
//                                                   row first)
//   1a: 01 00 01 00 00 00 00 00 0c 00 00 00         1 plane, 1 bit, BI_RGB, 12 bytes of pixels
//   26: 13 0b 00 00 13 0b 00 00 02 00 00 00 00 00 00 00
//                                                   2835 pixels a metre, 2 colours used
//   36: 00 ff 08 00 25 ef 18 00                     colour 0: red 8, green 255, blue 0;
//                                                   colour 1: red 24, green 239, blue 37
//   3e: 50 00 00 00 a8 00 00 00 50 00 00 00         rows, bottom first: 01010, 10101, 01010,
//                                                   each padded to 4 bytes
//
// How browsers show what the format leaves open, and what this reader makes of it:
//   - The fourth byte of a 32-bit pixel (and the spare bits of a 16-bit one) is alpha only where
//     the header declares an alpha mask (56 bytes and longer, BI_ALPHABITFIELDS); then even an
//     alpha of zero everywhere makes Chromium show nothing, while older readers show such a
//     file opaque. Elsewhere it is padding.
//   - Pixels that run-length codes skip (a move, an early end of line or of bitmap) show black
//     in Chromium and transparent in other browsers. Codes that reach past a row's end lose
//     those pixels; codes past the last row are ignored.
//   - A file cut off before its last pixel shows partly transparent; here it is refused, as a
//     picture that is not all there.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace lumatrim {

class cDIB;

enum class BmpStatus {
    Ok,
    Truncated,    // the file ends before its headers or colour table are all there
    PixelsCutOff, // the file ends before its last pixel
    Malformed,    // not a BMP, or fields that no reader can make sense of
    Unsupported,  // a kind browsers do not show as a picture: embedded JPEG or PNG, odd headers
    TooLarge,     // more pixels than the caller allows, or a row too wide for a surface
};

enum class BmpEncoding : uint8_t {
    Indexed, // 1, 2, 4 or 8 bits: colour table indices
    Direct,  // 16, 24 or 32 bits under masks
    Rle8,
    Rle4,
};

// What the headers say, checked against the file.
struct BmpLayout {
    int32_t width = 0;
    int32_t height = 0; // positive; topDown gives the row order
    bool topDown = false;
    int32_t bitsPerPixel = 0;
    BmpEncoding encoding = BmpEncoding::Indexed;
    std::array<uint32_t, 256> colours{}; // 0x00RRGGBB, the table; black past its end
    std::array<uint32_t, 4> masks{};     // red, green, blue, alpha of a direct pixel; 0: none
    size_t pixelOffset = 0;
    // Run-length data that paints fewer pixels than the picture has: browsers disagree on
    // what shows in the rest.
    bool leavesPixelsOut = false;
};

// Checks a whole file and fills `layout`; anything but Ok leaves it unspecified. Refuses
// pictures of more than maxPixels.
BmpStatus ReadBmpLayout(std::span<const uint8_t> file, uint64_t maxPixels, BmpLayout& layout);

// The picture of a file ReadBmpLayout accepted, as a 32-bit surface (bottom row first, the
// fourth byte 0); pixels that run-length codes leave out are black. `transparent` tells
// whether a browser may show some pixel other than opaque: an alpha below full under an alpha
// mask, or pixels left out. False, with `picture` empty, when there is no memory for it.
bool DecodeBmp(std::span<const uint8_t> file, const BmpLayout& layout, cDIB& picture,
               bool& transparent);

} // namespace lumatrim
