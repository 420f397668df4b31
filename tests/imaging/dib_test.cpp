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

} // namespace

TEST(DibCreate, StrideSizeOverflowAndInvalidArguments) {
    cDIB dib;
    for (const auto& [w, h, bpp, stride] : {std::tuple{3, 2, 8, 4},
                                            {5, 1, 1, 4},
                                            {33, 1, 1, 8},
                                            {7, 3, 32, 28},
                                            {3, 1, 24, 12},
                                            {3, 3, 4, 4}}) {
        ASSERT_TRUE(dib.Create(w, h, bpp));
        EXPECT_EQ(std::pair(dib.BytesPerScanline(), dib.Size()), std::pair(stride, stride * h))
            << w << "x" << h << "x" << bpp;
    }
    EXPECT_THROW(dib.Create(0x7FFFFFE0 / 32 + 1, 1, 32), OverflowError);
    EXPECT_THROW(dib.Create(65536, 65536, 8), OverflowError); // 4 GiB of rows
    EXPECT_EQ(dib.hDIB(), 0u);
    for (const auto& [w, h, bpp] : {std::tuple{0, 5, 8}, std::tuple{5, -1, 8}, std::tuple{5, 5, 7}})
        EXPECT_FALSE(dib.Create(w, h, bpp)) << w << "x" << h << "x" << bpp;
    EXPECT_EQ(dib.Width() | dib.Height() | dib.BPP() | dib.BytesPerScanline() | dib.Size(), 0);
}

// The canvases and the frame drawing blit 8-bit surfaces onto others: indices are looked up
// into colours on a 32-bit target, pixels sampled nearest, clipped at the edges, and mirrored
// by a negative height.
TEST(DibBlit, LooksUpColoursSamplesTheNearestPixelClipsAndMirrors) {
    cDIB pal, rgb;
    ASSERT_TRUE(pal.Create(3, 1, 8) && rgb.Create(4, 2, 32));
    rgb.Cls(RGB(1, 2, 3));
    const auto table = pal.ColorTable();
    table[4 * 5] = 0x56, table[4 * 5 + 1] = 0x34, table[4 * 5 + 2] = 0x12;
    *At(pal, 1, 0) = 5;
    pal.Stretch(rgb.hDIBDC(), 0, 0, 3, 1);
    EXPECT_EQ((std::array{Colour32(rgb, 0, 0), Colour32(rgb, 1, 0), Colour32(rgb, 3, 0),
                          Colour32(rgb, 3, 1)}),
              (std::array<uint32_t, 4>{0, 0x123456, 0x010203, 0x010203}));

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
    column.Stretch(mirrored.hDIBDC(), 0, 3, 1, -3);
    EXPECT_EQ((std::array{*At(mirrored, 0, 0), *At(mirrored, 0, 1), *At(mirrored, 0, 2)}),
              (std::array<uint8_t, 3>{3, 2, 1}));
}
