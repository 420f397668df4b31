// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gifopt/gif_optimizer.h"
#include "gifopt/lzw_run_chooser.h"

#include "document_builder.h"

#include <gtest/gtest.h>

namespace lumatrim {
namespace {

using namespace mGIFOptimizer;
using test::Frame;

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

TEST(RebuildFramesTest, LeavesDocumentsItCannotShowTheSame) {
    const auto build = [](cGIF& gif) {
        test::SetGlobal(gif, 4);
        test::AddFrame(gif, 2, 1, {1, 2});
        test::AddFrame(gif, 2, 1, {2, 1});
    };
    const std::vector<std::pair<const char*, void (*)(cGIF&)>> cases = {
        {"a frame beyond the screen", [](cGIF& g) { g.SetFrameLeft(2, 1); }},
        {"a frame waiting for user input", [](cGIF& g) { g.SetFrameUserInput(2, true); }},
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
