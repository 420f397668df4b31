// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gifopt/animation_likeness.h"
#include "gifopt/gif_optimizer.h"

#include "gif/gif_builder.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace lumatrim {
namespace {

using namespace mGIFOptimizer;

// Disposal and timing cases the passes once got wrong. Frames are 4 x 1 rows on a 4-entry
// palette; 0 marks a transparent point where the frame uses transparency.
TEST(OptimizeGifTest, DisposalAndTimingCasesKeepTheAnimation) {
    struct Frame {
        std::vector<uint8_t> pixels;
        int32_t disposal, delay;
        bool transparent;
    };
    struct Case {
        const char* what;
        std::vector<Frame> frames;
    };
    const Case cases[] = {
        {"a disposal-2 frame cropped to its change must still clear what the one before drew",
         {{{1, 1, 1, 1}, 1, 10, false}, {{1, 2, 1, 1}, 2, 10, false}, {{3, 0, 0, 0}, 1, 10, true}}},
        {"a disposal-2 frame trimmed to its opaque points must still clear what was drawn",
         {{{1, 1, 1, 1}, 1, 10, false}, {{0, 2, 0, 0}, 2, 10, true}, {{0, 0, 0, 3}, 1, 10, true}}},
        {"equal frames of delay 0 each show for 10 hundredths",
         {{{1, 1, 1, 1}, 1, 0, false}, {{1, 1, 1, 1}, 1, 0, false}, {{2, 2, 2, 2}, 1, 10, false}}},
        {"a frame drawing nothing after a restoring one shows the cleared screen",
         {{{1, 1, 1, 1}, 2, 10, false}, {{0, 0, 0, 0}, 1, 20, true}, {{2, 2, 2, 2}, 1, 10, false}}},
        {"a point moving right and back must be cleared where it was, however it is rebuilt",
         {{{3, 0, 0, 0}, 2, 10, true},
          {{0, 0, 3, 0}, 2, 10, true},
          {{0, 0, 0, 3}, 2, 10, true},
          {{3, 0, 0, 0}, 2, 10, true}}},
        {"a covering frame that restores to previous brings back the cleared screen",
         {{{1, 1, 1, 1}, 2, 10, false}, {{2, 2, 2, 2}, 3, 10, false}, {{0, 3, 0, 0}, 1, 10, true}}},
    };
    const test::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        cGIF gif;
        test::SetGlobal(gif, 4);
        for (const Frame& frame : c.frames) {
            const int32_t n = test::AddFrame(gif, 4, 1, frame.pixels);
            gif.SetFrameDisposalMethod(n, frame.disposal);
            gif.SetFrameDelay(n, frame.delay);
            if (frame.transparent) test::SetTransparent(gif, n, 0);
            gif.FrameMask(n, 0);
        }
        // Optimized at both efforts, saved and loaded again, it shows what it showed before.
        const auto expected = test::Timeline(gif);
        const std::vector<uint8_t> bytes = gif.SaveToMemory();
        for (const GifEffort effort : {GifEffort::Fast, GifEffort::Best}) {
            cGIF optimized, output;
            ASSERT_TRUE(optimized.LoadFromStream(bytes));
            ASSERT_TRUE(OptimizeGIF(optimized, dir / "out.gif", 0, 0, -1, -1, effort));
            ASSERT_TRUE(output.LoadFromFile(dir / "out.gif"));
            EXPECT_EQ(test::Timeline(output), expected) << int(effort);
            EXPECT_LE(std::filesystem::file_size(dir / "out.gif"), bytes.size());
        }
    }
}

TEST(OptimizeGifTest, ClearsInterlaceAndCommentsSkipsFramePassesForOneFrameAndTellsFailedSaves) {
    const test::TempDir dir;
    cGIF gif;
    test::AddFrame(gif, 4, 2, {0, 1, 0, 1, 1, 0, 1, 0}, 0, 0, 2);
    gif.SetFrameInterlaced(1, true);
    gif.FrameCommentAdd(1);
    gif.TrailingCommentAdd();
    ASSERT_TRUE(OptimizeGIF(gif, dir / "one.gif", 0, 0, -1, -1));
    // A merge would have moved the only local palette into a new global one.
    EXPECT_EQ(test::Describe(gif),
              (test::Lines{"4x2 bg 0 aspect 0.234375 loops 0", "4x2 at 0,0 0 0 0 0 0/0 1/2"}));
    EXPECT_FALSE(gif.GlobalPaletteExists());
    // A save that fails (no frames; a folder in the way) fails the call and leaves no file.
    cGIF empty;
    EXPECT_FALSE(OptimizeGIF(empty, dir / "empty.gif", 0, 0, -1, -1));
    std::filesystem::create_directory(dir / "taken.gif");
    EXPECT_FALSE(OptimizeGIF(gif, dir / "taken.gif", 0, 0, -1, -1));
    EXPECT_EQ(dir.FileNames(), (std::vector<std::string>{"one.gif", "taken.gif"}));
}

// Three 16 x 16 frames; the middle one holds `middle` in its top left quarter.
void Animation(cGIF& gif, uint8_t middle, int32_t delay = 20) {
    test::SetGlobal(gif, 4);
    for (int32_t n = 1; n <= 3; ++n) {
        std::vector<uint8_t> pixels = test::Filled(16, 16, 1);
        for (int32_t y = 0; n == 2 && y < 8; ++y)
            std::fill_n(pixels.begin() + y * 16, 8, middle);
        test::AddFrame(gif, 16, 16, pixels);
        gif.SetFrameDelay(n, delay);
    }
}

// The measure follows the pictures over time, not the frames: an optimized document (frames
// joined and cropped) scores 1 against its source, a changed picture less, and the less the
// shorter it shows.
TEST(AnimationLikeness, ComparesThePicturesShownAtEachMomentWeightedByTime) {
    cGIF source;
    Animation(source, 2);
    cGIF optimized;
    Animation(optimized, 2);
    ASSERT_TRUE(OptimizeDocument(optimized, 0, 0, -1, -1, GifEffort::Best));
    ASSERT_NE(optimized.FramesCount(), 0);
    EXPECT_DOUBLE_EQ(AnimationLikeness(source, optimized), 1.0);

    cGIF changed;
    Animation(changed, 3);
    const double third = AnimationLikeness(source, changed);
    EXPECT_LT(third, 1.0);
    EXPECT_GT(third, 0.5); // two thirds of the time the pictures are equal

    cGIF other;
    test::SetGlobal(other, 4);
    test::AddFrame(other, 8, 8, test::Filled(8, 8, 1));
    EXPECT_EQ(AnimationLikeness(source, other), 0.0);
}

} // namespace
} // namespace lumatrim
