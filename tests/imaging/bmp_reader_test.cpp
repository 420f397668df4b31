// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Our BMP reader on a file of every kind (tests/data/bmp/make_fixtures.py), on damaged and
// crafted files, and the exact 8-bit copy the BMP route makes of what it reads.
#include "imaging/bmp_reader.h"
#include "imaging/dib.h"
#include "imaging/exact_palette.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <tuple>

namespace lumatrim {
namespace {

using Rgb = std::tuple<int, int, int>; // red, green, blue

// A channel as a field of `bits` bits holds it, read back as browsers scale it.
uint8_t Narrowed(uint8_t value, int bits) {
    const uint32_t top = (1u << bits) - 1;
    return static_cast<uint8_t>(((value >> (8 - bits)) * 255 + top / 2) / top);
}

// make_fixtures.py's rule: 5 x 3 pixels, pixel (x, y from the top) has colour number
// (x + 5y) mod `count` of its list, in fields of the given widths.
Rgb FixtureColour(int x, int yFromTop, int count, std::array<int, 3> bits) {
    const int i = (x + 5 * yFromTop) % count;
    return {Narrowed(static_cast<uint8_t>(i * 16 + 8), bits[0]),
            Narrowed(static_cast<uint8_t>(255 - i * 16), bits[1]),
            Narrowed(static_cast<uint8_t>((i * 37) % 256), bits[2])};
}

Rgb PixelAt(const cDIB& surface, int x, int yFromTop) {
    const uint8_t* p =
        surface.lpBits() + (surface.Height() - 1 - yFromTop) * surface.BytesPerScanline() + 4 * x;
    return {p[2], p[1], p[0]};
}

constexpr uint64_t kNoLimit = uint64_t{1} << 28;

struct Decoded {
    BmpStatus status;
    BmpLayout layout;
    cDIB picture;
    bool transparent = false;
};

void Decode(const std::vector<uint8_t>& file, Decoded& out, uint64_t maxPixels = kNoLimit) {
    out.status = ReadBmpLayout(file, maxPixels, out.layout);
    if (out.status != BmpStatus::Ok) return;
    ASSERT_TRUE(DecodeBmp(file, out.layout, out.picture, out.transparent));
}

std::vector<uint8_t> Fixture(const std::string& name) {
    return test::ReadBytes(test::DataFile("bmp/" + name));
}

// Every kind decodes exactly; a move, an early end of line and an early end of bitmap in
// rle8_holes leave pixels out, which is told and decodes black.
TEST(BmpReader, EveryKindGivesThePictureItsFileHolds) {
    struct Kind {
        std::string file;
        int colours = 16;
        std::array<int, 3> bits = {8, 8, 8}; // of red, green and blue
        bool transparent = false;
    };
    std::vector<Kind> kinds = {{"picture_1bpp.bmp", 2},
                               {"picture_2bpp.bmp", 4},
                               {"os2_v2_1bpp.bmp", 2},
                               {"rgb555_16bpp.bmp", 16, {5, 5, 5}},
                               {"bitfields_565_16bpp.bmp", 16, {5, 6, 5}},
                               {"v2_52_565_16bpp.bmp", 16, {5, 6, 5}},
                               {"v4_4444_16bpp.bmp", 16, {4, 4, 4}},
                               {"alpha_32bpp.bmp", 16, {8, 8, 8}, true},
                               {"zero_alpha_32bpp.bmp", 16, {8, 8, 8}, true},
                               {"rle8_holes.bmp", 16, {8, 8, 8}, true}};
    // The fourth byte of "padding_32bpp" is padding, as a 40-byte header says.
    for (const char* file :
         {"picture_4bpp.bmp", "picture_8bpp.bmp", "picture_24bpp.bmp", "picture_32bpp.bmp",
          "picture_24bpp_topdown.bmp", "os2_core_4bpp.bmp", "os2_core_24bpp.bmp",
          "bitfields_xbgr_32bpp.bmp", "alphabitfields_32bpp.bmp", "v3_56_32bpp.bmp",
          "v4_8bpp_topdown.bmp", "v5_24bpp.bmp", "v5_32bpp_topdown.bmp", "rle8.bmp", "rle4.bmp",
          "padding_32bpp.bmp"})
        kinds.push_back({file});
    const bool holes[3][5] = {{1, 1, 1, 1, 1}, {0, 1, 1, 1, 1}, {0, 1, 1, 0, 0}};
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.file);
        const bool withHoles = kind.file == "rle8_holes.bmp";
        Decoded decoded;
        Decode(Fixture(kind.file), decoded);
        ASSERT_EQ(decoded.status, BmpStatus::Ok);
        EXPECT_EQ(decoded.layout.leavesPixelsOut, withHoles);
        EXPECT_EQ(decoded.transparent, kind.transparent);
        ASSERT_EQ(
            std::tuple(decoded.picture.BPP(), decoded.picture.Width(), decoded.picture.Height()),
            std::tuple(32, 5, 3));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(PixelAt(decoded.picture, x, y),
                          withHoles && holes[y][x] ? (Rgb{0, 0, 0})
                                                   : FixtureColour(x, y, kind.colours, kind.bits))
                    << x << "," << y;
        EXPECT_EQ(decoded.picture.lpBits()[3], 0); // the fourth byte carries nothing on
    }
}

void Put32(std::vector<uint8_t>& file, size_t at, uint32_t value) {
    std::memcpy(file.data() + at, &value, 4);
}

std::vector<uint8_t> Cut(const std::vector<uint8_t>& file, size_t bytesOff) {
    return {file.begin(), file.end() - static_cast<ptrdiff_t>(bytesOff)};
}

// A BITMAPINFOHEADER file with a grey table and the given run-length data.
std::vector<uint8_t> RleFile(int32_t width, int32_t height, bool rle4,
                             const std::vector<uint8_t>& codes) {
    const uint32_t tableBytes = rle4 ? 64 : 1024;
    std::vector<uint8_t> file(54 + tableBytes + codes.size());
    file[0] = 'B', file[1] = 'M', file[26] = 1, file[28] = rle4 ? 4 : 8, file[30] = rle4 ? 2 : 1;
    for (const auto& [at, value] : {std::pair{10u, 54 + tableBytes},
                                    {14u, 40u},
                                    {18u, uint32_t(width)},
                                    {22u, uint32_t(height)}})
        Put32(file, at, value);
    for (uint32_t entry = 0; entry < tableBytes / 4; ++entry)
        Put32(file, 54 + 4 * entry, 0x010101 * entry);
    std::copy(codes.begin(), codes.end(), file.begin() + 54 + tableBytes);
    return file;
}

// Broken files are refused with their reason; what writers may leave out is read as browsers do.
TEST(BmpReader, DamagedAndOddFilesAreRefusedOrReadAsBrowsersReadThem) {
    const std::vector<uint8_t> rgb = Fixture("picture_24bpp.bmp");
    const std::vector<uint8_t> bitfields = Fixture("bitfields_565_16bpp.bmp");
    const std::vector<uint8_t> rle8 = Fixture("rle8.bmp");
    const auto with = [](std::vector<uint8_t> file, size_t at, uint32_t value) {
        Put32(file, at, value);
        return file;
    };
    // Run-length bombs: what a header declares costs nothing until the data is known to paint
    // it, so these are answered from their headers and codes alone.
    const std::vector<uint8_t> endOfBitmap = {0, 1};
    std::vector<uint8_t> longRuns;
    for (int run = 0; run < 40; ++run)
        longRuns.insert(longRuns.end(), {0xFF, 0x12});
    longRuns.insert(longRuns.end(), {0, 1});
    struct Case {
        std::string name;
        std::vector<uint8_t> file;
        BmpStatus status;
        bool leavesPixelsOut = false;
    };
    const Case cases[] = {
        {"empty", {}, BmpStatus::Malformed},
        {"not a BMP", {'G', 'I', 'F', '8', '9', 'a'}, BmpStatus::Malformed},
        {"signature only", {'B', 'M'}, BmpStatus::Truncated},
        {"header cut off", {rgb.begin(), rgb.begin() + 30}, BmpStatus::Truncated},
        {"rows cut off", Cut(rgb, 2), BmpStatus::PixelsCutOff},
        {"last row unpadded", Cut(rgb, 1), BmpStatus::Ok},
        {"masks cut off", {bitfields.begin(), bitfields.begin() + 60}, BmpStatus::Truncated},
        {"run-length data cut off", Cut(rle8, 6), BmpStatus::PixelsCutOff},
        {"no end of bitmap after the last pixel", Cut(rle8, 2), BmpStatus::Ok},
        {"unknown header size", with(rgb, 14, 41), BmpStatus::Unsupported},
        {"embedded JPEG", with(rgb, 30, 4), BmpStatus::Unsupported},
        {"unknown compression", with(rgb, 30, 9), BmpStatus::Malformed},
        {"no width", with(rgb, 18, 0), BmpStatus::Malformed},
        {"3 bits a pixel", with(rgb, 28, 3), BmpStatus::Malformed},
        {"bit fields at 24 bits", with(bitfields, 28, 24 | 3 << 16), BmpStatus::Malformed},
        {"overlapping masks", with(bitfields, 58, 0xFC00), BmpStatus::Malformed},
        {"mask with a gap", with(bitfields, 54, 0x8800), BmpStatus::Malformed},
        {"pixels inside the header", with(rgb, 10, 20), BmpStatus::Malformed},
        {"65536 x 4097 pixels", with(with(rgb, 18, 65536), 22, 4097), BmpStatus::TooLarge},
        {"a row too wide for a surface", with(with(rgb, 18, 1u << 27), 22, 1), BmpStatus::TooLarge},
        {"16384 x 16384 painted by nothing", RleFile(16384, 16384, false, endOfBitmap),
         BmpStatus::Ok, true},
        {"16777232 x 8 painted by 40 runs", RleFile(16777232, 8, true, longRuns), BmpStatus::Ok,
         true},
        {"16385 x 16384", RleFile(16385, 16384, false, endOfBitmap), BmpStatus::TooLarge},
        {"one pixel left out", RleFile(3, 1, false, {2, 5, 0, 1}), BmpStatus::Ok, true},
    };
    for (const Case& c : cases) {
        BmpLayout layout;
        EXPECT_EQ(ReadBmpLayout(c.file, kNoLimit, layout), c.status) << c.name;
        if (c.status == BmpStatus::Ok) {
            EXPECT_EQ(layout.leavesPixelsOut, c.leavesPixelsOut) << c.name;
        }
    }

    // The limit holds at the size the header gives.
    BmpLayout layout;
    EXPECT_EQ(ReadBmpLayout(rgb, 5 * 3 - 1, layout), BmpStatus::TooLarge);
    EXPECT_EQ(ReadBmpLayout(rgb, 5 * 3, layout), BmpStatus::Ok);

    // Two colours used: indices 2 and on are black, as browsers show them.
    std::vector<uint8_t> twoColours = Fixture("picture_8bpp.bmp");
    Put32(twoColours, 46, 2);
    Decoded decoded;
    Decode(twoColours, decoded);
    EXPECT_EQ(PixelAt(decoded.picture, 1, 0), FixtureColour(1, 0, 16, {8, 8, 8}));
    EXPECT_EQ(PixelAt(decoded.picture, 2, 0), (Rgb{0, 0, 0}));

    // Literal and encoded runs past the row's end lose what does not fit; a move past the last
    // row ends the picture, and codes after it change nothing.
    const std::vector<uint8_t> overrun = {0, 3, 1, 2, 3, 0, 9, 4, 0, 0, // row 0: 1 2 3 | 4 4 4
                                          0, 3, 5, 6, 7, 0, 0, 2, 0, 5, 1, 9, 0, 1};
    Decoded rle;
    Decode(RleFile(3, 2, false, overrun), rle);
    ASSERT_EQ(rle.status, BmpStatus::Ok);
    EXPECT_FALSE(rle.layout.leavesPixelsOut);
    EXPECT_EQ(PixelAt(rle.picture, 2, 1), (Rgb{3, 3, 3})); // bottom row, last pixel
    EXPECT_EQ(PixelAt(rle.picture, 0, 0), (Rgb{5, 5, 5}));
}

void SetPixel(cDIB& picture, int x, int row, uint32_t colour) {
    std::memcpy(picture.lpBits() + row * picture.BytesPerScanline() + 4 * x, &colour, 4);
}

// 256 colours keep every pixel, in a table of exactly those colours; the fourth byte is no
// part of a colour; one colour more gives nothing.
TEST(ExactPalette, AtMost256ColoursKeepEveryPixelAndMoreGiveNothing) {
    cDIB picture, exact;
    ASSERT_TRUE(picture.Create(16, 17, 32));
    for (int row = 0; row < 16; ++row)
        for (int x = 0; x < 16; ++x)
            SetPixel(picture, x, row, 0x010101u * static_cast<uint32_t>(row * 16 + x));
    for (int x = 0; x < 16; ++x) // the last row repeats the first, with a fourth byte
        SetPixel(picture, x, 16, 0xFF000000u | 0x010101u * static_cast<uint32_t>(x));
    ASSERT_EQ(CopyToExact8bpp(picture, exact), 256);
    ASSERT_EQ(exact.BPP(), 8);
    for (int row = 0; row < 17; ++row)
        for (int x = 0; x < 16; ++x) {
            const uint8_t index = exact.lpBits()[row * exact.BytesPerScanline() + x];
            const uint8_t* entry = &exact.ColorTable()[4 * index];
            const uint8_t* pixel = picture.lpBits() + row * picture.BytesPerScanline() + 4 * x;
            EXPECT_EQ(std::memcmp(entry, pixel, 3), 0) << x << "," << row;
        }

    SetPixel(picture, 5, 16, 0x123456);
    EXPECT_EQ(CopyToExact8bpp(picture, exact), 0);
    EXPECT_FALSE(exact.hDIB());
    cDIB grey;
    ASSERT_TRUE(grey.Create(2, 2, 8));
    EXPECT_EQ(CopyToExact8bpp(grey, exact), 0);
    EXPECT_EQ(CopyToExact8bpp(picture, picture), 0);
}

} // namespace
} // namespace lumatrim
