// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// How alike two pictures look, for the lossy choice's guard: the structural similarity (SSIM,
// Wang, Bovik, Sheikh and Simoncelli 2004) of their luma, 1 for equal pictures. A picture with
// transparency is judged as a page shows it, so each is composed over white and over black
// and the two scores are averaged: an edge that only shows against one of them still counts.
//
// Windows are 8 x 8 points, 4 apart (the sums of 4 x 4 blocks are kept for one band of rows
// and the next, so each point is read once), with the usual constants K1 = 0.01, K2 = 0.03 for
// 8-bit values; a picture smaller than one window is one window. Luma is BT.601.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumatrim {

// RGBA rows, 8 bits a channel, alpha not premultiplied.
struct RgbaView {
    const uint8_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    size_t stride = 0; // bytes from one row to the next
};

// Holds the planes and block sums of one comparison, so a caller comparing many pictures (the
// frames of an animation) allocates once.
class LikenessMeter {
public:
    // The mean SSIM over white and over black; pictures of different sizes score 0.
    double Compare(const RgbaView& a, const RgbaView& b);

private:
    struct BlockSums {
        double a = 0, b = 0, aa = 0, bb = 0, ab = 0;
    };
    void ComposeLuma(const RgbaView& picture, float background, std::vector<float>& plane) const;
    double PlaneSsim(int32_t width, int32_t height);
    void SumBand(int32_t top, int32_t width, std::vector<BlockSums>& band) const;

    std::vector<float> planeA_;
    std::vector<float> planeB_;
    std::vector<BlockSums> upper_;
    std::vector<BlockSums> lower_;
};

} // namespace lumatrim
