#include "imaging/dib.h"
#include "imaging/errors.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace lumatrim;

namespace {

std::vector<uint8_t> GreyRamp(int entries) {
    std::vector<uint8_t> table(4 * static_cast<size_t>(entries));
    for (int i = 0; i < entries; ++i)
        table[4 * i] = table[4 * i + 1] = table[4 * i + 2] = static_cast<uint8_t>(i);
    return table;
}

std::vector<uint8_t> Row(const cDIB& dib, int memoryRow, int bytes) {
    const uint8_t* row = dib.lpBits() + memoryRow * dib.BytesPerScanline();
    return {row, row + bytes};
}

} // namespace

TEST(DibCreate, StrideAndSizeFollowTheRowPaddingRule) {
    struct Case {
        int32_t w, h, bpp, stride, size;
    };
    for (const Case c : {Case{3, 2, 8, 4, 8}, Case{5, 1, 1, 4, 4}, Case{33, 1, 1, 8, 8},
                         Case{7, 3, 32, 28, 84}, Case{3, 1, 24, 12, 12}, Case{3, 3, 4, 4, 12}}) {
        cDIB dib;
        ASSERT_TRUE(dib.Create(c.w, c.h, c.bpp));
        EXPECT_EQ(dib.BytesPerScanline(), c.stride) << c.w << "x" << c.h << "x" << c.bpp;
        EXPECT_EQ(dib.Size(), c.size) << c.w << "x" << c.h << "x" << c.bpp;
    }
}

TEST(DibCreate, NewSurfaceIsZeroWithABlackTable) {
    cDIB dib;
    ASSERT_TRUE(dib.Create(3, 2, 8));
    EXPECT_EQ(dib.hDIBDC(), &dib);
    std::vector<uint8_t> table;
    dib.GetPalette(table);
    EXPECT_EQ(table, std::vector<uint8_t>(1024, 0));
    EXPECT_EQ(std::accumulate(dib.lpBits(), dib.lpBits() + dib.Size(), 0), 0);
}

TEST(DibCreate, OverflowThrowsAndInvalidSizesLeaveTheSurfaceEmpty) {
    cDIB dib;
    ASSERT_TRUE(dib.Create(2, 2, 8));
    EXPECT_THROW(dib.Create(0x7FFFFFE0 / 32 + 1, 1, 32), OverflowError);
    EXPECT_THROW(dib.Create(65536, 65536, 8), OverflowError); // 4 GiB of rows
    EXPECT_EQ(dib.hDIB(), 0u);
    EXPECT_EQ(dib.Width() | dib.Height() | dib.BPP() | dib.BytesPerScanline() | dib.Size(), 0);
    EXPECT_FALSE(dib.Create(0, 5, 8));
    EXPECT_FALSE(dib.Create(5, -1, 8));
    EXPECT_FALSE(dib.Create(5, 5, 7));
    EXPECT_EQ(dib.hDIBDC(), nullptr);
}

TEST(DibPalette, SetAndGetRespectTheDepth) {
    cDIB dib;
    ASSERT_TRUE(dib.Create(2, 2, 8));
    dib.SetPalette(GreyRamp(256));
    dib.SetPalette(std::vector<uint8_t>{1, 2, 3, 0}); // a short array sets only its entries
    std::vector<uint8_t> table;
    dib.GetPalette(table);
    std::vector<uint8_t> expected = GreyRamp(256);
    expected[0] = 1, expected[1] = 2, expected[2] = 3;
    EXPECT_EQ(table, expected);

    ASSERT_TRUE(dib.Create(2, 2, 1));
    dib.GetPalette(table);
    EXPECT_EQ(table.size(), 8u);

    ASSERT_TRUE(dib.Create(2, 2, 32));
    dib.SetPalette(GreyRamp(256));
    table = {9};
    dib.GetPalette(table);
    EXPECT_EQ(table, std::vector<uint8_t>{9}) << "no table at 32 bits: the array is left alone";
}

TEST(DibClone, CopiesEverythingIntoAnIndependentSurface) {
    cDIB dib, copy;
    ASSERT_TRUE(dib.Create(5, 3, 8));
    dib.SetPalette(GreyRamp(256));
    std::iota(dib.lpBits(), dib.lpBits() + dib.Size(), uint8_t{1});
    dib.CloneTo(copy);
    ASSERT_EQ(copy.Size(), dib.Size());
    EXPECT_TRUE(std::equal(dib.lpBits(), dib.lpBits() + dib.Size(), copy.lpBits()));
    std::vector<uint8_t> table;
    copy.GetPalette(table);
    EXPECT_EQ(table, GreyRamp(256));
    copy.lpBits()[0] = 0;
    EXPECT_EQ(dib.lpBits()[0], 1);

    cDIB empty;
    empty.CloneTo(copy);
    EXPECT_EQ(copy.hDIB(), 0u);
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

TEST(DibResize, WithoutStretchKeepsTheTopLeftAndZeroFillsTheRest) {
    cDIB dib;
    ASSERT_TRUE(dib.Create(2, 2, 8));
    dib.SetPalette(GreyRamp(256));
    std::fill(dib.lpBits(), dib.lpBits() + dib.Size(), 7);
    dib.Resize(3, 4, false);
    ASSERT_EQ(dib.Width(), 3);
    ASSERT_EQ(dib.Height(), 4);
    // Rows are bottom-up: the two new bottom rows come first in memory.
    EXPECT_EQ(Row(dib, 0, 3), (std::vector<uint8_t>{0, 0, 0}));
    EXPECT_EQ(Row(dib, 1, 3), (std::vector<uint8_t>{0, 0, 0}));
    EXPECT_EQ(Row(dib, 3, 3), (std::vector<uint8_t>{7, 7, 0}));
    std::vector<uint8_t> table;
    dib.GetPalette(table);
    EXPECT_EQ(table, GreyRamp(256));
}

TEST(DibResize, WithStretchScalesByNearestPixel) {
    cDIB dib;
    ASSERT_TRUE(dib.Create(2, 1, 8));
    dib.lpBits()[0] = 1;
    dib.lpBits()[1] = 2;
    dib.Resize(4, 2, true);
    EXPECT_EQ(Row(dib, 0, 4), (std::vector<uint8_t>{1, 1, 2, 2}));
    EXPECT_EQ(Row(dib, 1, 4), (std::vector<uint8_t>{1, 1, 2, 2}));
}

TEST(DibPicture, ImageGivesColoursThatComeBackAt32Bits) {
    cDIB dib, copy;
    ASSERT_TRUE(dib.Create(3, 2, 8));
    dib.SetPalette(GreyRamp(256));
    std::iota(dib.lpBits(), dib.lpBits() + dib.Size(), uint8_t{10});
    const auto picture = dib.Image();
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->BPP, 32);
    EXPECT_EQ(copy.CreateFromStdPicture(picture.get(), true), 32);
    const uint8_t* px = copy.lpBits() + copy.BytesPerScanline() + 4 * 2; // memory row 1, x 2
    EXPECT_EQ((std::array{px[0], px[1], px[2]}), (std::array<uint8_t, 3>{16, 16, 16}));
}

TEST(DibPicture, KeepsAPalettizedPictureUnlessForcedAndRejectsBadOnes) {
    const StdPicture picture{2, 1, 1, {0, 0, 0, 0, 255, 255, 255, 0}, {0x40, 0, 0, 0}};
    cDIB dib;
    EXPECT_EQ(dib.CreateFromStdPicture(&picture, false), 1);
    EXPECT_EQ(dib.BPP(), 1);
    EXPECT_EQ(dib.lpBits()[0], 0x40);
    EXPECT_EQ(dib.CreateFromStdPicture(&picture, true), 1);
    ASSERT_EQ(dib.BPP(), 32);
    EXPECT_EQ(dib.lpBits()[0], 0);   // pixel 0: black
    EXPECT_EQ(dib.lpBits()[4], 255); // pixel 1: white

    const StdPicture shortBits{4, 4, 32, {}, std::vector<uint8_t>(10)};
    EXPECT_EQ(dib.CreateFromStdPicture(nullptr, true), 0);
    EXPECT_EQ(dib.CreateFromStdPicture(&shortBits, true), 0);
    EXPECT_EQ(dib.Width(), 2) << "a rejected picture leaves the surface as it was";
}
