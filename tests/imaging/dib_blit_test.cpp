#include "imaging/dib.h"

#include <gtest/gtest.h>

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
    const uint8_t* row = dib.lpBits() + (dib.Height() - 1 - y) * dib.BytesPerScanline();
    return (row[x >> 3] >> (7 - (x & 7))) & 1;
}

void SetEntry(cDIB& dib, int index, uint8_t r, uint8_t g, uint8_t b) {
    std::vector<uint8_t> table;
    dib.GetPalette(table);
    table[4 * index] = b;
    table[4 * index + 1] = g;
    table[4 * index + 2] = r;
    dib.SetPalette(table);
}

} // namespace

TEST(DibBlit, PalettizedSourceIsLookedUpIntoColours) {
    cDIB src, dst;
    ASSERT_TRUE(src.Create(2, 2, 8));
    ASSERT_TRUE(dst.Create(2, 2, 32));
    SetEntry(src, 5, 0x12, 0x34, 0x56);
    *At(src, 1, 0) = 5;
    EXPECT_NE(dst.LoadBlt(src.hDIBDC()), 0);
    EXPECT_EQ(Colour32(dst, 1, 0), 0x123456u);
    EXPECT_EQ(Colour32(dst, 0, 0), 0u);
}

TEST(DibBlit, ColourOnPalettizedTargetTakesTheNearestEntry) {
    cDIB src, dst;
    ASSERT_TRUE(src.Create(3, 1, 32));
    ASSERT_TRUE(dst.Create(3, 1, 8));
    SetEntry(dst, 1, 200, 0, 0);
    SetEntry(dst, 2, 0, 0, 200);
    SetEntry(dst, 3, 0, 0, 200); // a duplicate: the lower index wins
    uint8_t* p = src.lpBits();
    p[2] = 250;                          // pixel 0 reddish
    p[4 + 0] = 180;                      // pixel 1 bluish
    p[8 + 0] = p[8 + 1] = p[8 + 2] = 10; // pixel 2 near black
    dst.LoadBlt(src.hDIBDC());
    EXPECT_EQ((std::array{*At(dst, 0, 0), *At(dst, 1, 0), *At(dst, 2, 0)}),
              (std::array<uint8_t, 3>{1, 2, 0}));
}

TEST(DibBlit, SameDepthPalettizedSurfacesCopyIndicesNotColours) {
    cDIB src, dst;
    ASSERT_TRUE(src.Create(1, 1, 8));
    ASSERT_TRUE(dst.Create(1, 1, 8));
    SetEntry(src, 9, 1, 2, 3); // dst's entry 9 stays black: a colour match would pick 0
    *At(src, 0, 0) = 9;
    dst.LoadBlt(src.hDIBDC());
    EXPECT_EQ(*At(dst, 0, 0), 9);
}

TEST(DibBlit, MaskSchemeGivesOneBitsOnlyAtTheTransparentIndex) {
    // An index surface whose table is black but for one white entry, copied to a black/white
    // 1-bit surface, marks exactly the pixels of that index.
    cDIB index, mask;
    ASSERT_TRUE(index.Create(10, 3, 8));
    ASSERT_TRUE(mask.Create(10, 3, 1));
    SetEntry(index, 7, 255, 255, 255);
    SetEntry(mask, 1, 255, 255, 255);
    *At(index, 9, 2) = 7;
    *At(index, 0, 0) = 7;
    *At(index, 4, 1) = 3;
    mask.LoadBlt(index.hDIBDC());
    EXPECT_TRUE(Bit(mask, 9, 2));
    EXPECT_TRUE(Bit(mask, 0, 0));
    EXPECT_FALSE(Bit(mask, 4, 1));
    EXPECT_FALSE(Bit(mask, 8, 2));
}

TEST(DibBlit, AndThenPaintDrawsTransparently) {
    cDIB background, mask, sprite;
    ASSERT_TRUE(background.Create(2, 1, 32));
    ASSERT_TRUE(mask.Create(2, 1, 1));
    ASSERT_TRUE(sprite.Create(2, 1, 8));
    background.Cls(RGB(0x10, 0x20, 0x30));
    SetEntry(mask, 1, 255, 255, 255);
    *At(mask, 0, 0) = 0x80; // pixel 0 transparent
    SetEntry(sprite, 1, 0xAA, 0xBB, 0xCC);
    *At(sprite, 1, 0) = 1; // pixel 0 has index 0, black, as the transparent entry must be
    mask.Stretch(background.hDIBDC(), 0, 0, 2, 1, 0, 0, 0, 0, SRCAND);
    sprite.Stretch(background.hDIBDC(), 0, 0, 2, 1, 0, 0, 0, 0, SRCPAINT);
    EXPECT_EQ(Colour32(background, 0, 0), 0x102030u);
    EXPECT_EQ(Colour32(background, 1, 0), 0xAABBCCu);
}

TEST(DibBlit, StretchSamplesTheNearestPixelAndClips) {
    cDIB src, dst;
    ASSERT_TRUE(src.Create(4, 1, 8));
    for (int x = 0; x < 4; ++x)
        *At(src, x, 0) = static_cast<uint8_t>(x + 1);
    ASSERT_TRUE(dst.Create(4, 2, 8));
    src.Stretch(dst.hDIBDC(), 0, 0, 2, 1); // halve: columns 0 and 2 survive
    EXPECT_EQ((std::array{*At(dst, 0, 0), *At(dst, 1, 0), *At(dst, 2, 0)}),
              (std::array<uint8_t, 3>{1, 3, 0}));
    src.Stretch(dst.hDIBDC(), -2, 1, 4, 1); // half of it falls off the left edge
    EXPECT_EQ((std::array{*At(dst, 0, 1), *At(dst, 1, 1), *At(dst, 2, 1)}),
              (std::array<uint8_t, 3>{3, 4, 0}));
}

TEST(DibBlit, NegativeHeightMirrorsRows) {
    cDIB src, dst;
    ASSERT_TRUE(src.Create(1, 3, 8));
    ASSERT_TRUE(dst.Create(1, 3, 8));
    for (int y = 0; y < 3; ++y)
        *At(src, 0, y) = static_cast<uint8_t>(y + 1);
    src.Stretch(dst.hDIBDC(), 0, 3, 1, -3);
    EXPECT_EQ((std::array{*At(dst, 0, 0), *At(dst, 0, 1), *At(dst, 0, 2)}),
              (std::array<uint8_t, 3>{3, 2, 1}));
}

TEST(DibBlit, EmptySurfacesAndUnknownOperationsDoNothing) {
    cDIB src, dst, empty;
    ASSERT_TRUE(src.Create(1, 1, 32));
    ASSERT_TRUE(dst.Create(1, 1, 32));
    EXPECT_EQ(empty.Stretch(dst.hDIBDC(), 0, 0, 1, 1), 0);
    EXPECT_EQ(src.Stretch(empty.hDIBDC(), 0, 0, 1, 1), 0);
    EXPECT_EQ(src.Stretch(dst.hDIBDC(), 0, 0, 1, 1, 0, 0, 0, 0, 0x00660046), 0);
    EXPECT_EQ(empty.LoadBlt(src.hDIBDC()), 0);
}

TEST(DibBlit, SelfBlitReadsTheOriginalPixels) {
    cDIB dib;
    ASSERT_TRUE(dib.Create(3, 1, 8));
    for (int x = 0; x < 3; ++x)
        *At(dib, x, 0) = static_cast<uint8_t>(x + 1);
    dib.Stretch(dib.hDIBDC(), 1, 0, 2, 1, 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ((std::array{*At(dib, 0, 0), *At(dib, 1, 0), *At(dib, 2, 0)}),
              (std::array<uint8_t, 3>{1, 1, 2}));
}

TEST(DibCls, FillsWithTheColourOrItsNearestEntry) {
    cDIB rgb, pal, mono;
    ASSERT_TRUE(rgb.Create(3, 2, 32));
    rgb.Cls(RGB(1, 2, 3));
    EXPECT_EQ(Colour32(rgb, 2, 1), 0x010203u);
    ASSERT_TRUE(pal.Create(3, 2, 8));
    SetEntry(pal, 4, 250, 250, 250);
    pal.Cls(RGB(255, 255, 255));
    EXPECT_EQ(*At(pal, 2, 1), 4);
    ASSERT_TRUE(mono.Create(9, 1, 1));
    SetEntry(mono, 1, 255, 255, 255);
    mono.Cls(RGB(255, 255, 255));
    EXPECT_TRUE(Bit(mono, 8, 0));
    mono.Cls(0);
    EXPECT_FALSE(Bit(mono, 8, 0));
}

TEST(DibBlit, OtherDepthsConvertThroughColours) {
    cDIB src24, dst16, back32;
    ASSERT_TRUE(src24.Create(1, 1, 24));
    ASSERT_TRUE(dst16.Create(1, 1, 16));
    ASSERT_TRUE(back32.Create(1, 1, 32));
    uint8_t* p = src24.lpBits();
    p[0] = 0xFF; // blue
    p[2] = 0x80; // red
    dst16.LoadBlt(src24.hDIBDC());
    back32.LoadBlt(dst16.hDIBDC());
    EXPECT_EQ(Colour32(back32, 0, 0), 0x8400FFu); // red 0x80 keeps 5 bits: 0x84
}
