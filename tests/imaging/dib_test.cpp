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

} // namespace

TEST(DibCreate, StrideAndSizeFollowTheRowPaddingRule) {
    cDIB dib;
    ASSERT_TRUE(dib.Create(3, 2, 8));
    EXPECT_EQ(dib.BytesPerScanline(), 4);
    EXPECT_EQ(dib.Size(), 8);
    ASSERT_TRUE(dib.Create(5, 1, 1));
    EXPECT_EQ(dib.BytesPerScanline(), 4);
    ASSERT_TRUE(dib.Create(33, 1, 1));
    EXPECT_EQ(dib.BytesPerScanline(), 8);
    ASSERT_TRUE(dib.Create(7, 3, 32));
    EXPECT_EQ(dib.BytesPerScanline(), 28);
    EXPECT_EQ(dib.Size(), 84);
    ASSERT_TRUE(dib.Create(3, 1, 24));
    EXPECT_EQ(dib.BytesPerScanline(), 12);
}

TEST(DibCreate, NewSurfaceIsZeroWithABlackTable) {
    cDIB dib;
    ASSERT_TRUE(dib.Create(3, 2, 8));
    EXPECT_NE(dib.hDIB(), 0u);
    EXPECT_EQ(dib.hDIBDC(), &dib);
    std::vector<uint8_t> table;
    dib.GetPalette(table);
    EXPECT_EQ(table, std::vector<uint8_t>(1024, 0));
    EXPECT_EQ(std::accumulate(dib.lpBits(), dib.lpBits() + dib.Size(), 0), 0);
}

TEST(DibCreate, OverflowThrowsAndInvalidSizesFail) {
    cDIB dib;
    ASSERT_TRUE(dib.Create(2, 2, 8));
    EXPECT_THROW(dib.Create(0x7FFFFFE0 / 32 + 1, 1, 32), OverflowError);
    EXPECT_THROW(dib.Create(65536, 65536, 8), OverflowError); // 4 GiB of rows
    EXPECT_EQ(dib.hDIB(), 0u) << "a failed Create leaves the surface empty";
    EXPECT_FALSE(dib.Create(0, 5, 8));
    EXPECT_FALSE(dib.Create(5, -1, 8));
    EXPECT_FALSE(dib.Create(5, 5, 7));
    EXPECT_EQ(dib.hDIBDC(), nullptr);
}

TEST(DibDestroy, ZeroesEveryField) {
    cDIB dib;
    ASSERT_TRUE(dib.Create(7, 3, 32));
    dib.Destroy();
    EXPECT_EQ(dib.hDIB(), 0u);
    EXPECT_EQ(dib.lpBits(), nullptr);
    EXPECT_EQ(dib.Width() | dib.Height() | dib.BPP() | dib.BytesPerScanline() | dib.Size(), 0);
}

TEST(DibPalette, SetAndGetRespectTheDepth) {
    cDIB dib;
    ASSERT_TRUE(dib.Create(2, 2, 8));
    dib.SetPalette(GreyRamp(256));
    std::vector<uint8_t> table;
    dib.GetPalette(table);
    EXPECT_EQ(table, GreyRamp(256));

    dib.SetPalette(std::vector<uint8_t>{1, 2, 3, 0}); // only entry 0 changes
    dib.GetPalette(table);
    EXPECT_EQ(table[0], 1);
    EXPECT_EQ(table[4], 1);

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
    for (int i = 0; i < dib.Size(); ++i)
        dib.lpBits()[i] = static_cast<uint8_t>(i * 7);
    dib.CloneTo(copy);
    ASSERT_EQ(copy.Width(), 5);
    ASSERT_EQ(copy.BPP(), 8);
    EXPECT_TRUE(std::equal(dib.lpBits(), dib.lpBits() + dib.Size(), copy.lpBits()));
    std::vector<uint8_t> table;
    copy.GetPalette(table);
    EXPECT_EQ(table, GreyRamp(256));
    copy.lpBits()[0] ^= 0xFF;
    EXPECT_NE(copy.lpBits()[0], dib.lpBits()[0]);

    cDIB empty;
    empty.CloneTo(copy);
    EXPECT_EQ(copy.hDIB(), 0u);
}

TEST(DibBestFit, ShrinksToTheBoxAndCentresIt) {
    cDIB dib;
    int32_t x, y, w, h;
    ASSERT_TRUE(dib.Create(300, 200, 8));
    dib.GetBestFitInfo(150, 150, x, y, w, h);
    EXPECT_EQ((std::array{x, y, w, h}), (std::array{0, 25, 150, 100}));

    ASSERT_TRUE(dib.Create(100, 50, 8));
    dib.GetBestFitInfo(150, 150, x, y, w, h);
    EXPECT_EQ((std::array{x, y, w, h}), (std::array{25, 50, 100, 50})) << "never enlarged";

    ASSERT_TRUE(dib.Create(8, 5, 8));
    dib.GetBestFitInfo(4, 10, x, y, w, h, true);
    EXPECT_EQ((std::array{x, y, w, h}), (std::array{0, 4, 4, 2})) << "2.5 rounds to even";

    ASSERT_TRUE(dib.Create(1000, 1, 8));
    dib.GetBestFitInfo(150, 150, x, y, w, h);
    EXPECT_EQ((std::array{w, h}), (std::array{150, 0}));
}

TEST(DibResize, WithoutStretchKeepsTheTopLeftAndZeroFillsTheRest) {
    cDIB dib;
    ASSERT_TRUE(dib.Create(2, 2, 8));
    dib.SetPalette(GreyRamp(256));
    std::fill(dib.lpBits(), dib.lpBits() + dib.Size(), 7);
    dib.Resize(3, 4, false);
    ASSERT_EQ(dib.Width(), 3);
    ASSERT_EQ(dib.Height(), 4);
    // Bottom-up rows: the two new (bottom) rows come first in memory.
    const uint8_t* bits = dib.lpBits();
    const int s = dib.BytesPerScanline();
    EXPECT_EQ((std::array{bits[0], bits[s], bits[2 * s], bits[2 * s + 1], bits[2 * s + 2]}),
              (std::array<uint8_t, 5>{0, 0, 7, 7, 0}));
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
    const uint8_t* bits = dib.lpBits();
    const int s = dib.BytesPerScanline();
    EXPECT_EQ((std::vector<uint8_t>(bits, bits + 4)), (std::vector<uint8_t>{1, 1, 2, 2}));
    EXPECT_EQ((std::vector<uint8_t>(bits + s, bits + s + 4)), (std::vector<uint8_t>{1, 1, 2, 2}));
}

TEST(DibPicture, ImageAndBackGiveTheSameColours) {
    cDIB dib;
    ASSERT_TRUE(dib.Create(3, 2, 8));
    dib.SetPalette(GreyRamp(256));
    for (int i = 0; i < dib.Size(); ++i)
        dib.lpBits()[i] = static_cast<uint8_t>(10 * i);
    auto picture = dib.Image();
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->BPP, 32);

    cDIB copy;
    EXPECT_EQ(copy.CreateFromStdPicture(picture.get(), true), 32);
    ASSERT_EQ(copy.BPP(), 32);
    const uint8_t* px = copy.lpBits() + copy.BytesPerScanline() + 4 * 2; // row 1, column 2
    EXPECT_EQ(px[0], dib.lpBits()[dib.BytesPerScanline() + 2]);
    EXPECT_EQ(px[2], px[0]);
}

TEST(DibPicture, KeepsAPalettizedPictureAsItIsUnlessForced) {
    StdPicture picture{2, 1, 1, {0, 0, 0, 0, 255, 255, 255, 0}, {0x40, 0, 0, 0}};
    cDIB dib;
    EXPECT_EQ(dib.CreateFromStdPicture(&picture, false), 1);
    EXPECT_EQ(dib.BPP(), 1);
    EXPECT_EQ(dib.lpBits()[0], 0x40);
    EXPECT_EQ(dib.CreateFromStdPicture(&picture, true), 1);
    ASSERT_EQ(dib.BPP(), 32);
    EXPECT_EQ(dib.lpBits()[0], 0);   // pixel 0: black
    EXPECT_EQ(dib.lpBits()[4], 255); // pixel 1: white
}

TEST(DibPicture, RejectsAbsentOrInconsistentPictures) {
    cDIB dib;
    ASSERT_TRUE(dib.Create(4, 4, 8));
    StdPicture shortBits{4, 4, 32, {}, std::vector<uint8_t>(10)};
    EXPECT_EQ(dib.CreateFromStdPicture(nullptr, true), 0);
    EXPECT_EQ(dib.CreateFromStdPicture(&shortBits, true), 0);
    EXPECT_EQ(dib.Width(), 4) << "a rejected picture leaves the surface as it was";
}
