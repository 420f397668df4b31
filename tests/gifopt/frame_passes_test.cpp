// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gifopt/gif_optimizer.h"
#include "gifopt/lzw_run_chooser.h"

#include "gif/gif_builder.h"

#include <gtest/gtest.h>

namespace lumatrim {
namespace {

using namespace mGIFOptimizer;
using test::Frame;

// Transparency stays only while a pixel holds its index; palettes grow to hold the background
// and the transparent indices in force.
TEST(CleanupFramesTest, TransparencyNoPixelUsesGoesAndPalettesGrowForWhatStays) {
    cGIF gif;
    test::SetGlobal(gif, 16);
    gif.SetScreenBackgroundColorIndex(19); // 20 entries, then 21 for index 20
    test::AddFrame(gif, 2, 1, {0, 20});
    test::AddFrame(gif, 2, 1, {0, 18});
    test::AddFrame(gif, 2, 1, {0, 7}, 0, 0, 2);
    test::AddFrame(gif, 2, 1, {0, 7}, 0, 0, 2);
    test::SetTransparent(gif, 1, 20);
    test::SetTransparent(gif, 2, 3); // no pixel holds it
    test::SetTransparent(gif, 3, 7);
    gif.SetFrameTransparentColorIndex(4, 7); // an index without transparency in force
    ASSERT_TRUE(CleanupFrames(gif));
    EXPECT_EQ(gif.GlobalPaletteEntries(), 21);
    EXPECT_EQ(test::Describe(gif),
              (test::Lines{"2x1 bg 19 aspect 0.234375 loops 0", "2x1 at 0,0 0 0 0 0 1/20 0/21",
                           "2x1 at 0,0 0 0 0 0 0/0 0/21", "2x1 at 0,0 0 0 0 0 1/7 1/8",
                           "2x1 at 0,0 0 0 0 0 0/0 1/2"}));
}

TEST(CleanupFramesTest, RestoringDisposalGoesOnlyWhereTheNextOpaqueFrameCoversIt) {
    struct Case {
        int32_t disposal, left, width, height;
        bool nextTransparent;
        int32_t expected;
    };
    const Case cases[] = {
        {2, 0, 20, 20, false, 0}, {3, 0, 20, 20, false, 0}, {2, 0, 10, 10, false, 0},
        {2, 0, 20, 20, true, 2},  {2, 1, 20, 20, false, 2}, {2, 0, 10, 9, false, 2},
        {1, 0, 20, 20, false, 1},
    };
    for (const Case& c : cases) {
        cGIF gif;
        test::SetGlobal(gif, 2);
        test::AddFrame(gif, 10, 10, test::Filled(10, 10, 0));
        test::AddFrame(gif, c.width, c.height, test::Filled(c.width, c.height, 1), c.left);
        test::AddFrame(gif, 1, 1, {0});
        gif.SetFrameDisposalMethod(1, c.disposal);
        gif.SetFrameDisposalMethod(3, 3);
        if (c.nextTransparent) test::SetTransparent(gif, 2, 1);
        ASSERT_TRUE(CleanupFrames(gif));
        EXPECT_EQ(gif.FrameDisposalMethod(1), c.expected)
            << c.disposal << " then " << c.width << 'x' << c.height << " at " << c.left;
        EXPECT_EQ(gif.FrameDisposalMethod(3), 0); // the last frame never restores
    }
}

// Two 10 x 10 frames of index 1 on a 4-entry global palette, delays 10 and 20.
void TwoFrames(cGIF& gif) {
    test::SetGlobal(gif, 4);
    for (int32_t n : {1, 2}) {
        test::AddFrame(gif, 10, 10, test::Filled(10, 10, 1));
        gif.SetFrameDelay(n, 10 * n);
        gif.SetFrameDisposalMethod(n, 1);
    }
}

// Frames are compared by colour: frame 2 shows frame 1's colour through another palette.
TEST(DiffFramesTest, RemovesRepeatsAndCropsToTheChangedArea) {
    cGIF gif;
    TwoFrames(gif);
    gif.SetLocalPaletteUsed(2, true);
    std::copy_n(gif.lpGlobalPalette().begin() + 4, 4, gif.lpFramePalette(2).begin() + 12);
    test::SetPixels(gif, 2, test::Filled(10, 10, 3));
    test::AddFrame(gif, 10, 10, test::Filled(10, 10, 1));
    gif.FrameDIBXOR(3)->lpBits()[7 * gif.FrameDIBXOR(3)->BytesPerScanline() + 5] = 2;
    gif.SetFrameDelay(3, 5);
    ASSERT_TRUE(DiffFrames(gif, 0));
    EXPECT_EQ(gif.FramesCount(), 2);
    EXPECT_EQ(gif.FrameDelay(1), 30);
    EXPECT_EQ(Frame(gif, 2), "1x1 at 5,7 5 0 0 0 0/0 0/4");
    EXPECT_EQ(test::Pixels(*gif.FrameDIBXOR(2)), std::vector<uint8_t>{2});
}

// Delays are unsigned 16-bit hundredths: a join must not wrap, nor read -1 (65535) as short.
TEST(DiffFramesTest, ADelaySumThatOverflowsEndsThePassWithoutWrapping) {
    for (const int32_t second : {5000, -1}) {
        cGIF gif;
        TwoFrames(gif);
        gif.SetFrameDelay(1, 30000);
        gif.SetFrameDelay(2, second);
        EXPECT_FALSE(DiffFrames(gif, 0));
        EXPECT_EQ(gif.FramesCount(), 2);
        EXPECT_EQ(gif.FrameDelay(1), 30000);
    }
}

TEST(DiffFramesTest, TransparencyModeSharesOneAddedGlobalEntry) {
    cGIF gif;
    test::SetGlobal(gif, 255);
    test::AddFrame(gif, 3, 1, {1, 2, 3});
    test::AddFrame(gif, 3, 1, {1, 5, 3});
    test::AddFrame(gif, 3, 1, {5, 5, 4}, 1); // its last pixel is outside frame 2
    ASSERT_TRUE(DiffFrames(gif, 1));
    EXPECT_EQ(gif.GlobalPaletteEntries(), 256);
    EXPECT_EQ((std::vector{test::Pixels(*gif.FrameDIBXOR(1)), test::Pixels(*gif.FrameDIBXOR(2)),
                           test::Pixels(*gif.FrameDIBXOR(3))}),
              (std::vector<std::vector<uint8_t>>{{1, 2, 3}, {255, 5, 255}, {255, 5, 4}}));
    for (int32_t n : {2, 3}) {
        EXPECT_EQ(Frame(gif, n).substr(11), "0 0 0 0 1/255 0/256");
        EXPECT_EQ(gif.FrameDIBXOR(n)->Width(), 3);
    }
}

TEST(TrimTransparentFramesTest, CropsToOpaquePixelsAndDropsEmptyFramesAfterTheFirst) {
    cGIF gif;
    test::SetGlobal(gif, 4);
    std::vector<uint8_t> pixels = test::Filled(100, 80, 0);
    for (int32_t y = 5; y <= 14; ++y)
        std::fill_n(pixels.begin() + y * 100 + 20, 10, uint8_t(1 + y % 2));
    test::AddFrame(gif, 100, 80, pixels, 10, 10);
    for (int32_t disposal : {1, 2, 0}) {
        const int32_t n = test::AddFrame(gif, 4, 4, test::Filled(4, 4, 0));
        gif.SetFrameDisposalMethod(n, disposal);
        gif.SetFrameDelay(n, 10 * n);
        test::SetTransparent(gif, n, 0);
    }
    test::SetTransparent(gif, 1, 0);
    test::SetTransparent(gif, 4, 3); // not in force below: untouched although all one colour
    gif.SetFrameUseTransparentColor(4, false);
    ASSERT_TRUE(TrimTransparentFrames(gif));
    EXPECT_EQ(gif.FramesCount(), 3);
    // Frame 2's time added to frame 1's, whose delay 0 shows for 10 hundredths.
    EXPECT_EQ(Frame(gif, 1), "10x10 at 30,15 30 0 0 0 1/0 0/4");
    EXPECT_EQ(Frame(gif, 2), "4x4 at 0,0 30 2 0 0 1/0 0/4"); // restores: stays whole
    EXPECT_EQ(Frame(gif, 3), "4x4 at 0,0 40 0 0 0 0/3 0/4");
}

// A crop keeps the pixels in place and rebuilds the mask; a rectangle outside the frame, or a
// position beyond 16 bits, changes nothing.
TEST(CropFrameTest, KeepsThePixelsInPlaceOrChangesNothing) {
    cGIF gif;
    test::SetGlobal(gif, 4);
    std::vector<uint8_t> pixels(100);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint8_t(i % 3);
    test::AddFrame(gif, 10, 10, pixels, 3, 4);
    test::SetTransparent(gif, 1, 2);
    ASSERT_TRUE(CropFrame(gif, 1, 2, 5, 4, 6));
    EXPECT_EQ(Frame(gif, 1), "2x1 at 5,9 0 0 0 0 1/2 0/4");
    EXPECT_EQ(test::Pixels(*gif.FrameDIBXOR(1)), (std::vector<uint8_t>{1, 2}));
    EXPECT_EQ(gif.FrameDIBAND(1)->Width(), 2);
    EXPECT_EQ(gif.FrameDIBAND(1)->lpBits()[0], 0x40);

    test::AddFrame(gif, 10, 10, test::Filled(10, 10, 1), 32760);
    const test::Lines before = test::Describe(gif);
    for (const auto& [left, right] : {std::pair{0, 11}, std::pair{5, 5}, std::pair{8, 9}})
        EXPECT_FALSE(CropFrame(gif, 2, left, 0, right, 10)) << left << ".." << right;
    EXPECT_EQ(test::Describe(gif), before);
    EXPECT_TRUE(CropFrame(gif, 2, 7, 0, 8, 10));
}

// An 8 x 8 square of colour 1, then the same with one point of colour 2, then that again.
TEST(RebuildFramesTest, JoinsEqualPicturesAndDrawsOnlyTheChange) {
    cGIF gif;
    test::SetGlobal(gif, 4);
    for (int32_t n = 1; n <= 3; ++n) {
        std::vector<uint8_t> pixels = test::Filled(8, 8, 1);
        if (n > 1) pixels[3 * 8 + 5] = 2;
        test::AddFrame(gif, 8, 8, pixels);
        gif.SetFrameDelay(n, 0);
    }
    const auto expected = test::Timeline(gif);
    ASSERT_TRUE(RebuildFrames(gif));
    EXPECT_EQ(test::Timeline(gif), expected);
    ASSERT_EQ(gif.FramesCount(), 2);
    EXPECT_EQ(Frame(gif, 2), "1x1 at 5,3 20 0 0 0 0/0 0/2"); // both delays of 0 show for 10
    EXPECT_EQ(gif.GlobalPaletteEntries(), 2); // colour 1, used by both frames, comes first
    EXPECT_EQ(test::Pixels(*gif.FrameDIBXOR(2)), std::vector<uint8_t>{1});
}

// 200 colours, then 100 new ones in the top half: more than one table holds, so each frame
// gets a local table of just the colours it draws.
TEST(RebuildFramesTest, FramesOfMoreColoursThanOneTableHoldsGetTablesOfTheirOwn) {
    cGIF gif;
    std::vector<uint8_t> pixels(200);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<uint8_t>(i);
    test::AddFrame(gif, 20, 10, pixels, 0, 0, 256); // entry i: (i, 1, 255 - i)
    test::AddFrame(gif, 20, 10, pixels, 0, 0, 256); // entries below 100 of another shade
    std::copy_n(gif.lpFramePalette(1).begin() + 400, 400, gif.lpFramePalette(2).begin() + 400);
    const auto expected = test::Timeline(gif);
    ASSERT_TRUE(RebuildFrames(gif));
    EXPECT_EQ(test::Timeline(gif), expected);
    EXPECT_FALSE(gif.GlobalPaletteExists());
    EXPECT_EQ(Frame(gif, 1), "20x10 at 0,0 0 1 0 0 0/0 1/200");
    EXPECT_EQ(Frame(gif, 2), "20x5 at 0,0 0 0 0 0 0/0 1/100");
}

TEST(RebuildFramesTest, LeavesDocumentsItCannotShowTheSameInFewerBytes) {
    const auto build = [](cGIF& gif) {
        test::SetGlobal(gif, 4);
        test::AddFrame(gif, 2, 1, {1, 2});
        test::AddFrame(gif, 2, 1, {2, 1});
    };
    const std::vector<std::pair<const char*, void (*)(cGIF&)>> cases = {
        {"a frame beyond the screen", [](cGIF& g) { g.SetFrameLeft(2, 1); }},
        {"a frame waiting for user input", [](cGIF& g) { g.SetFrameUserInput(2, true); }},
        {"one the rebuild cannot make smaller", [](cGIF& g) { RebuildFrames(g); }},
    };
    for (const auto& [what, change] : cases) {
        cGIF gif;
        build(gif);
        change(gif);
        const test::Lines before = test::Describe(gif);
        EXPECT_FALSE(RebuildFrames(gif)) << what;
        EXPECT_EQ(test::Describe(gif), before) << what;
    }
}

// Free points (1) may be their colour or transparent (0): the value whose string the table
// already holds wins; where neither continues a string, transparency does.
TEST(LzwRunChooserTest, ContinuesTheStringTheTableHolds) {
    struct Case {
        std::vector<uint8_t> pixels, free, expected;
    };
    const Case cases[] = {
        {{1, 1, 1}, {0, 0, 1}, {1, 1, 1}},                   // "1 1" is in the table
        {{1, 2}, {0, 1}, {1, 0}},                            // nothing continues: transparent
        {{1, 0, 1, 1, 0}, {0, 0, 0, 1, 1}, {1, 0, 1, 0, 0}}, // "1 0" is, "1 1" is not
    };
    LzwRunChooser chooser;
    for (const Case& c : cases) {
        std::vector<uint8_t> pixels = c.pixels;
        chooser.Choose(pixels, c.free, 0, 2);
        EXPECT_EQ(pixels, c.expected);
    }
}

} // namespace
} // namespace lumatrim
