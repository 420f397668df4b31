// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gifopt/animation_likeness.h"
#include "gifopt/gif_optimizer.h"

#include "document_builder.h"

#include <gtest/gtest.h>

namespace lumatrim {
namespace {

using namespace mGIFOptimizer;

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
