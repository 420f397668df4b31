// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "imaging/likeness.h"

#include <gtest/gtest.h>

namespace lumatrim {
namespace {

struct Picture {
    int32_t width;
    int32_t height;
    std::vector<uint8_t> rgba;

    RgbaView View() const { return {rgba.data(), width, height, static_cast<size_t>(width) * 4}; }
};

// A diagonal ramp of grey, opaque, with `noise` added to every other point.
Picture Ramp(int32_t width, int32_t height, int32_t noise = 0, uint8_t alpha = 255) {
    Picture p{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 4)};
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const int32_t value = std::clamp((x + y) * 4 + ((x + y) % 2 ? noise : 0), 0, 255);
            uint8_t* point = &p.rgba[(static_cast<size_t>(y) * width + x) * 4];
            point[0] = point[1] = point[2] = static_cast<uint8_t>(value);
            point[3] = alpha;
        }
    return p;
}

// Equal pictures score 1 at any size, more noise scores less, pictures of other sizes 0; a
// transparent picture is like an opaque one of its colour against one background only.
TEST(LikenessMeter, ScoresOneForEqualPicturesAndLessAsTheyPartAndTransparencyCounts) {
    LikenessMeter meter;
    for (const auto& [w, h] : {std::pair{1, 1}, {5, 30}, {8, 8}, {37, 21}}) {
        const Picture p = Ramp(w, h);
        EXPECT_DOUBLE_EQ(meter.Compare(p.View(), p.View()), 1.0) << w << "x" << h;
    }
    const Picture clean = Ramp(40, 40);
    const double slight = meter.Compare(clean.View(), Ramp(40, 40, 4).View());
    const double strong = meter.Compare(clean.View(), Ramp(40, 40, 40).View());
    EXPECT_LT(slight, 1.0);
    EXPECT_GT(slight, 0.9);
    EXPECT_LT(strong, slight);
    EXPECT_EQ(meter.Compare(clean.View(), Ramp(40, 41).View()), 0.0);

    // Fully transparent black shows like opaque black over black, like nothing over white.
    Picture black = Ramp(16, 16);
    std::fill(black.rgba.begin(), black.rgba.end(), uint8_t{0});
    Picture clear = black;
    Picture opaque = black;
    for (size_t i = 3; i < opaque.rgba.size(); i += 4)
        opaque.rgba[i] = 255;
    const double score = meter.Compare(clear.View(), opaque.View());
    EXPECT_GT(score, 0.45);
    EXPECT_LT(score, 0.55);
}

} // namespace
} // namespace lumatrim
