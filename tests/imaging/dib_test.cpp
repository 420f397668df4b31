// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "imaging/dib.h"
#include "imaging/errors.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>

using namespace lumatrim;

namespace {

// Pixel (x, y) with y = 0 the top row, the way blits address a surface.
uint8_t* At(cDIB& dib, int x, int y) {
    return dib.lpBits() + (dib.Height() - 1 - y) * dib.BytesPerScanline() + x * dib.BPP() / 8;
}

uint32_t Colour32(cDIB& dib, int x, int y) {
    const uint8_t* p = At(dib, x, y);
    return p[0] | p[1] << 8 | p[2] << 16; // 0x00RRGGBB
}

std::vector<uint8_t> TopRow(cDIB& dib, int y = 0) {
    return {At(dib, 0, y), At(dib, 0, y) + dib.Width()};
}

void SetEntry(cDIB& dib, int index, uint8_t r, uint8_t g, uint8_t b) {
    const auto table = dib.ColorTable();
    table[4 * index] = b, table[4 * index + 1] = g, table[4 * index + 2] = r;
}

} // namespace

TEST(DibCreate, StrideSizeOverflowAndInvalidArguments) {
    struct Case {
        int32_t w, h, bpp, stride, size;
    };
    cDIB dib;
    for (const Case c : {Case{3, 2, 8, 4, 8}, Case{5, 1, 1, 4, 4}, Case{33, 1, 1, 8, 8},
                         Case{7, 3, 32, 28, 84}, Case{3, 1, 24, 12, 12}, Case{3, 3, 4, 4, 12}}) {
        ASSERT_TRUE(dib.Create(c.w, c.h, c.bpp));
        EXPECT_EQ(dib.BytesPerScanline(), c.stride) << c.w << "x" << c.h << "x" << c.bpp;
        EXPECT_EQ(dib.Size(), c.size) << c.w << "x" << c.h << "x" << c.bpp;
    }
    EXPECT_THROW(dib.Create(0x7FFFFFE0 / 32 + 1, 1, 32), OverflowError);
    EXPECT_THROW(dib.Create(65536, 65536, 8), OverflowError); // 4 GiB of rows
    EXPECT_EQ(dib.hDIB(), 0u);
    EXPECT_EQ(dib.Width() | dib.Height() | dib.BPP() | dib.BytesPerScanline() | dib.Size(), 0);
    for (const auto& [w, h, bpp] : {std::tuple{0, 5, 8}, std::tuple{5, -1, 8}, std::tuple{5, 5, 7}})
        EXPECT_FALSE(dib.Create(w, h, bpp)) << w << "x" << h << "x" << bpp;
    EXPECT_EQ(dib.hDIBDC(), nullptr);
}

TEST(DibBestFit, ShrinksToTheBoxCentresAndRoundsHalfToEven) {
    struct Case {
        int32_t w, h, boxW, boxH;
        bool stretch;
        std::array<int32_t, 4> xywh;
    };
    for (const Case& c : {Case{300, 200, 150, 150, false, {0, 25, 150, 100}},
                          Case{100, 50, 150, 150, false, {25, 50, 100, 50}}, // never enlarged
                          Case{8, 5, 4, 10, true, {0, 4, 4, 2}},             // 2.5 -> 2
                          Case{1000, 1, 150, 150, false, {0, 75, 150, 0}}}) {
        cDIB dib;
        ASSERT_TRUE(dib.Create(c.w, c.h, 8));
        std::array<int32_t, 4> fit{};
        dib.GetBestFitInfo(c.boxW, c.boxH, fit[0], fit[1], fit[2], fit[3], c.stretch);
        EXPECT_EQ(fit, c.xywh) << c.w << "x" << c.h << " into " << c.boxW << "x" << c.boxH;
    }
}

// The canvases draw 8-bit surfaces onto a 32-bit one, over a background of one colour.
TEST(DibBlit, LooksIndicesUpIntoColoursOverACleared32BitSurface) {
    cDIB pal, rgb;
    ASSERT_TRUE(pal.Create(3, 1, 8) && rgb.Create(4, 2, 32));
    rgb.Cls(RGB(1, 2, 3));
    EXPECT_EQ(Colour32(rgb, 3, 1), 0x010203u);
    SetEntry(pal, 5, 0x12, 0x34, 0x56);
    *At(pal, 1, 0) = 5;
    pal.Stretch(rgb.hDIBDC(), 0, 0, 3, 1);
    EXPECT_EQ(Colour32(rgb, 1, 0), 0x123456u);
    EXPECT_EQ(Colour32(rgb, 0, 0), 0u);
    EXPECT_EQ(Colour32(rgb, 3, 0), 0x010203u);
}

TEST(DibBlit, StretchSamplesTheNearestPixelClipsAndMirrors) {
    cDIB src, dst, column, mirrored;
    ASSERT_TRUE(src.Create(4, 1, 8) && dst.Create(4, 2, 8));
    for (int x = 0; x < 4; ++x)
        *At(src, x, 0) = static_cast<uint8_t>(x + 1);
    src.Stretch(dst.hDIBDC(), 0, 0, 2, 1); // halve: columns 0 and 2 survive
    EXPECT_EQ(TopRow(dst, 0), (std::vector<uint8_t>{1, 3, 0, 0}));
    src.Stretch(dst.hDIBDC(), -2, 1, 4, 1); // half falls off the left edge
    EXPECT_EQ(TopRow(dst, 1), (std::vector<uint8_t>{3, 4, 0, 0}));

    ASSERT_TRUE(column.Create(1, 3, 8) && mirrored.Create(1, 3, 8));
    for (int y = 0; y < 3; ++y)
        *At(column, 0, y) = static_cast<uint8_t>(y + 1);
    column.Stretch(mirrored.hDIBDC(), 0, 3, 1, -3); // a negative height turns it upside down
    EXPECT_EQ((std::array{*At(mirrored, 0, 0), *At(mirrored, 0, 1), *At(mirrored, 0, 2)}),
              (std::array<uint8_t, 3>{3, 2, 1}));
}
