// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gif/gif.h"
#include "gif_builder.h"

#include "support/test_support.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

namespace lumatrim {
namespace {

constexpr int32_t kTolerance = 400;

// A pixel may stray by the tolerance from its colour plus the carried error, which is at most
// three quarters of the tolerance again: 1.75 x its square root in any channel.
const int32_t kBound = static_cast<int32_t>(1.75 * std::sqrt(kTolerance)) + 1;

int32_t ChannelDistance(uint32_t a, uint32_t b) {
    int32_t largest = 0;
    for (int shift = 0; shift < 24; shift += 8)
        largest = std::max(largest, std::abs(static_cast<int32_t>(a >> shift & 0xFF) -
                                             static_cast<int32_t>(b >> shift & 0xFF)));
    return largest;
}

void ExpectSameFrameAndNearPixels(const cGIF& source, const cGIF& lossy, int32_t n,
                                  const std::string& name) {
    const cDIB& a = *source.FrameDIBXOR(n);
    const cDIB& b = *lossy.FrameDIBXOR(n);
    const bool transparency = source.FrameUseTransparentColor(n);
    const uint8_t clear = source.FrameTransparentColorIndex(n);
    int32_t worst = 0;
    for (int32_t y = 0; y < a.Height(); ++y) {
        const uint8_t* rowA = a.lpBits() + static_cast<ptrdiff_t>(y) * a.BytesPerScanline();
        const uint8_t* rowB = b.lpBits() + static_cast<ptrdiff_t>(y) * b.BytesPerScanline();
        for (int32_t x = 0; x < a.Width(); ++x) {
            if (transparency) {
                ASSERT_EQ(rowA[x] == clear, rowB[x] == clear) << name;
            }
            worst = std::max(worst, ChannelDistance(source.lpFramePaletteColor(n, rowA[x]),
                                                    lossy.lpFramePaletteColor(n, rowB[x])));
        }
    }
    EXPECT_LE(worst, kBound) << name << " frame " << n;
}

// Every test GIF written with lossy LZW reads back as the same animation (screen, loop, frames
// with their places, timing, disposal and transparency) with every pixel near its source and
// transparent exactly where the source is; in all, in fewer bytes than the exact encoding.
TEST(LossyLzw, KeepsTheAnimationAndStraysOnlyWithinTheTolerance) {
    size_t exactBytes = 0;
    size_t lossyBytes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(test::DataFile("gif"))) {
        if (entry.path().extension() != ".gif") continue;
        const std::string name = entry.path().filename().string();
        cGIF source;
        ASSERT_TRUE(source.LoadFromFile(entry.path())) << name;
        exactBytes += source.SaveToMemory().size();
        for (const LzwEffort effort : {LzwEffort::OnePolicy, LzwEffort::BestPolicy}) {
            const std::vector<uint8_t> bytes = source.SaveToMemory(effort, kTolerance);
            if (effort == LzwEffort::OnePolicy) lossyBytes += bytes.size();
            cGIF lossy;
            ASSERT_TRUE(lossy.LoadFromStream(bytes)) << name;
            EXPECT_EQ(lossy.LoadDamaged(), source.LoadDamaged()) << name;
            // The screen and every frame's size, place, timing, disposal and transparency.
            ASSERT_EQ(test::Describe(lossy), test::Describe(source)) << name;
            EXPECT_EQ(lossy.AnimationPlaysOnce(), source.AnimationPlaysOnce()) << name;
            for (int32_t n = 1; n <= source.FramesCount(); ++n)
                ExpectSameFrameAndNearPixels(source, lossy, n, name);
        }
    }
    EXPECT_LT(lossyBytes, exactBytes);
}

} // namespace
} // namespace lumatrim
