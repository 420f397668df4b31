#include "gifopt/gif_optimizer.h"

#include "document_builder.h"

#include <gtest/gtest.h>

namespace lumatrim {
namespace {

using namespace mGIFOptimizer;

TEST(CleanupFramesTest, TransparencyStaysOnlyWhileAPixelHoldsItsIndex) {
    cGIF gif;
    test::SetGlobal(gif, 4);
    test::AddFrame(gif, 3, 2, {0, 0, 0, 0, 0, 2}); // index 2 only in the last pixel
    test::AddFrame(gif, 3, 2, test::Filled(3, 2, 0));
    test::AddFrame(gif, 3, 2, test::Filled(3, 2, 0));
    test::SetTransparent(gif, 1, 2);
    test::SetTransparent(gif, 2, 3);
    gif.SetFrameTransparentColorIndex(3, 3); // an index without transparency in force
    ASSERT_TRUE(CleanupFrames(gif));
    EXPECT_TRUE(gif.FrameUseTransparentColor(1));
    EXPECT_EQ(gif.FrameTransparentColorIndex(1), 2);
    for (int32_t n : {2, 3}) {
        EXPECT_FALSE(gif.FrameUseTransparentColor(n));
        EXPECT_EQ(gif.FrameTransparentColorIndex(n), 0);
    }
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

TEST(CleanupFramesTest, PalettesGrowToHoldTheBackgroundAndTransparentIndices) {
    cGIF gif;
    test::SetGlobal(gif, 16);
    gif.SetScreenBackgroundColorIndex(19); // 20 entries, then 21 for index 20
    test::AddFrame(gif, 2, 1, {0, 20});
    test::AddFrame(gif, 2, 1, {0, 18});
    test::AddFrame(gif, 2, 1, {0, 7}, 0, 0, 2);
    test::AddFrame(gif, 2, 1, {0, 7}, 0, 0, 2);
    test::SetTransparent(gif, 1, 20);
    test::SetTransparent(gif, 2, 18);
    test::SetTransparent(gif, 3, 7);
    ASSERT_TRUE(CleanupFrames(gif));
    EXPECT_EQ(gif.GlobalPaletteEntries(), 21);
    EXPECT_EQ(gif.LocalPaletteEntries(1), 21);
    EXPECT_EQ(gif.LocalPaletteEntries(2), 21);
    EXPECT_EQ(gif.LocalPaletteEntries(3), 8);
    EXPECT_EQ(gif.LocalPaletteEntries(4), 2); // index 7 without transparency needs no entry
}

} // namespace
} // namespace lumatrim
