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

bool Bit(cDIB& dib, int x, int y) {
    return (*At(dib, x, y) >> (7 - (x & 7))) & 1;
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

// Image() into a surface is covered by the dithering thumbnail, which goes through it.
TEST(DibPicture, KeepsOrForcesTheDepthAndRejectsBadPictures) {
    cDIB dib;
    const StdPicture mono{2, 1, 1, {0, 0, 0, 0, 255, 255, 255, 0}, {0x40, 0, 0, 0}};
    EXPECT_EQ(dib.CreateFromStdPicture(&mono, false), 1);
    std::vector<uint8_t> table;
    dib.GetPalette(table);
    EXPECT_EQ(table, mono.Palette);
    EXPECT_EQ(dib.lpBits()[0], 0x40);
    EXPECT_EQ(dib.CreateFromStdPicture(&mono, true), 1);
    ASSERT_EQ(dib.BPP(), 32);
    EXPECT_EQ((std::array{dib.lpBits()[0], dib.lpBits()[4]}), (std::array<uint8_t, 2>{0, 255}));

    const StdPicture shortBits{4, 4, 32, {}, std::vector<uint8_t>(10)};
    EXPECT_EQ(dib.CreateFromStdPicture(nullptr, true), 0);
    EXPECT_EQ(dib.CreateFromStdPicture(&shortBits, true), 0);
    EXPECT_EQ(dib.Width(), 2) << "a rejected picture leaves the surface as it was";
}

TEST(DibBlit, ConvertsColoursBetweenDepths) {
    cDIB pal, rgb, pal2;
    ASSERT_TRUE(pal.Create(3, 1, 8) && rgb.Create(3, 1, 32) && pal2.Create(3, 1, 8));
    SetEntry(pal, 5, 0x12, 0x34, 0x56);
    *At(pal, 1, 0) = 5;
    rgb.LoadBlt(pal.hDIBDC()); // a palettized source is looked up into colours
    EXPECT_EQ(Colour32(rgb, 1, 0), 0x123456u);
    EXPECT_EQ(Colour32(rgb, 0, 0), 0u);

    pal2.LoadBlt(pal.hDIBDC()); // same depth: indices, although pal2's entry 5 is black
    EXPECT_EQ(*At(pal2, 1, 0), 5);

    SetEntry(pal2, 1, 200, 0, 0);
    SetEntry(pal2, 2, 0, 0, 200);
    SetEntry(pal2, 3, 0, 0, 200); // a duplicate: the lower index wins
    uint8_t* p = rgb.lpBits();
    p[2] = 250;                          // reddish
    p[4 + 0] = 180;                      // bluish
    p[8 + 0] = p[8 + 1] = p[8 + 2] = 10; // near black
    pal2.LoadBlt(rgb.hDIBDC());          // a colour takes the nearest entry
    EXPECT_EQ(TopRow(pal2), (std::vector<uint8_t>{1, 2, 0}));
}

TEST(DibBlit, OtherDepthsConvertThroughColours) {
    cDIB src24, dst16, back32;
    ASSERT_TRUE(src24.Create(1, 1, 24) && dst16.Create(1, 1, 16) && back32.Create(1, 1, 32));
    src24.lpBits()[0] = 0xFF; // blue
    src24.lpBits()[2] = 0x80; // red
    dst16.LoadBlt(src24.hDIBDC());
    back32.LoadBlt(dst16.hDIBDC());
    EXPECT_EQ(Colour32(back32, 0, 0), 0x8400FFu); // red keeps 5 bits: 0x80 -> 0x84
}

TEST(DibBlit, MaskSchemeMarksTheTransparentIndexAndDrawsTransparently) {
    // An index surface whose table is black but for one white entry, copied to a black/white
    // 1-bit surface, marks exactly the pixels of that index.
    cDIB index, mask, background;
    ASSERT_TRUE(index.Create(10, 2, 8) && mask.Create(10, 2, 1) && background.Create(10, 2, 32));
    SetEntry(index, 7, 255, 255, 255);
    SetEntry(mask, 1, 255, 255, 255);
    *At(index, 9, 1) = 7;
    *At(index, 0, 0) = 7;
    *At(index, 4, 1) = 3;
    mask.LoadBlt(index.hDIBDC());
    EXPECT_TRUE(Bit(mask, 9, 1) && Bit(mask, 0, 0));
    EXPECT_FALSE(Bit(mask, 4, 1) || Bit(mask, 8, 1));

    // AND with the mask, then OR with the sprite whose transparent entry is black.
    SetEntry(index, 7, 0, 0, 0);
    SetEntry(index, 3, 0xAA, 0xBB, 0xCC);
    background.Cls(RGB(0x10, 0x20, 0x30));
    mask.Stretch(background.hDIBDC(), 0, 0, 10, 2, 0, 0, 0, 0, SRCAND);
    index.Stretch(background.hDIBDC(), 0, 0, 10, 2, 0, 0, 0, 0, SRCPAINT);
    EXPECT_EQ(Colour32(background, 0, 0), 0x102030u);
    EXPECT_EQ(Colour32(background, 4, 1), 0xAABBCCu);
    EXPECT_EQ(Colour32(background, 5, 1), 0u);
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

TEST(DibBlit, SelfBlitReadsTheOriginalPixelsAndEmptyOrUnknownDoNothing) {
    cDIB dib, empty;
    ASSERT_TRUE(dib.Create(3, 1, 8));
    for (int x = 0; x < 3; ++x)
        *At(dib, x, 0) = static_cast<uint8_t>(x + 1);
    dib.Stretch(dib.hDIBDC(), 1, 0, 2, 1, 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(TopRow(dib), (std::vector<uint8_t>{1, 1, 2}));
    EXPECT_EQ(empty.Stretch(dib.hDIBDC(), 0, 0, 1, 1), 0);
    EXPECT_EQ(dib.Stretch(empty.hDIBDC(), 0, 0, 1, 1), 0);
    EXPECT_EQ(empty.LoadBlt(dib.hDIBDC()), 0);
    EXPECT_EQ(dib.Stretch(dib.hDIBDC(), 0, 0, 1, 1, 0, 0, 0, 0, 0x00660046), 0); // SRCINVERT
    EXPECT_EQ(TopRow(dib), (std::vector<uint8_t>{1, 1, 2}));
}

TEST(DibCls, FillsWithTheColourOrItsNearestEntry) {
    cDIB rgb, pal, mono;
    ASSERT_TRUE(rgb.Create(3, 2, 32) && pal.Create(3, 2, 8) && mono.Create(9, 1, 1));
    rgb.Cls(RGB(1, 2, 3));
    EXPECT_EQ(Colour32(rgb, 2, 1), 0x010203u);
    SetEntry(pal, 4, 250, 250, 250);
    pal.Cls(RGB(255, 255, 255));
    EXPECT_EQ(*At(pal, 2, 1), 4);
    SetEntry(mono, 1, 255, 255, 255);
    mono.Cls(RGB(255, 255, 255));
    EXPECT_TRUE(Bit(mono, 8, 0));
    mono.Cls(0);
    EXPECT_FALSE(Bit(mono, 8, 0));
}
