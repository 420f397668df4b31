// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gif/gif.h"
#include "gif_builder.h"
#include "imaging/errors.h"

#include <gtest/gtest.h>

namespace lumatrim {
namespace {

// Frames of 2 x 2 pixels, frame n with delay n and pixel (0, 0) = n.
void MakeFrames(cGIF& gif, int count) {
    for (int n = 1; n <= count; ++n) {
        gif.FrameInsert(n, 2, 2, true);
        gif.SetFrameDelay(n, n);
        gif.FrameDIBXOR(n)->lpBits()[0] = static_cast<uint8_t>(n);
    }
}

std::vector<int16_t> Delays(const cGIF& gif) {
    std::vector<int16_t> delays;
    for (int n = 1; n <= gif.FramesCount(); ++n)
        delays.push_back(gif.FrameDelay(n));
    return delays;
}

// The optimizer passes rely on the typed errors to stop before damaging a document.
TEST(GifDocument, InsertRemoveAndTypedErrorsThatChangeNothing) {
    cGIF gif;
    MakeFrames(gif, 3);
    gif.FrameInsert(2, 1, 1, false);
    EXPECT_EQ(Delays(gif), (std::vector<int16_t>{1, 0, 2, 3}));
    gif.FrameRemove(3);
    EXPECT_EQ(Delays(gif), (std::vector<int16_t>{1, 0, 3}));
    EXPECT_THROW(gif.SetFrameDelay(4, 1), IndexOutOfRangeError);
    EXPECT_THROW(gif.FrameComment(1, 1), IndexOutOfRangeError);
    EXPECT_THROW(gif.SetFrameLeft(1, 32768), OverflowError);
    EXPECT_THROW(gif.SetFrameTransparentColorIndex(1, -1), OverflowError);
    EXPECT_EQ(Delays(gif), (std::vector<int16_t>{1, 0, 3}));
    gif.SetFrameLeft(1, -32768);
    EXPECT_EQ(gif.FrameLeft(1), -32768);
    // A removed frame's surface outlives the frame for whoever still holds it.
    const auto surface = gif.FrameDIBXOR(3);
    gif.Destroy();
    EXPECT_EQ(gif.FramesCount(), 0);
    EXPECT_EQ(surface->lpBits()[0], 3);
}

} // namespace
} // namespace lumatrim
