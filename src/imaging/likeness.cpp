// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "imaging/likeness.h"

#include <algorithm>

namespace lumatrim {

namespace {

constexpr int32_t kBlock = 4; // a window is 2 x 2 blocks
constexpr double kC1 = (0.01 * 255) * (0.01 * 255);
constexpr double kC2 = (0.03 * 255) * (0.03 * 255);

double WindowSsim(double n, double a, double b, double aa, double bb, double ab) {
    const double meanA = a / n;
    const double meanB = b / n;
    const double varA = aa / n - meanA * meanA;
    const double varB = bb / n - meanB * meanB;
    const double cov = ab / n - meanA * meanB;
    return ((2 * meanA * meanB + kC1) * (2 * cov + kC2)) /
           ((meanA * meanA + meanB * meanB + kC1) * (varA + varB + kC2));
}

} // namespace

double LikenessMeter::Compare(const RgbaView& a, const RgbaView& b) {
    if (a.width != b.width || a.height != b.height) return 0.0;
    if (a.width <= 0 || a.height <= 0) return 1.0;
    double sum = 0.0;
    for (const float background : {255.0f, 0.0f}) {
        ComposeLuma(a, background, planeA_);
        ComposeLuma(b, background, planeB_);
        sum += PlaneSsim(a.width, a.height);
    }
    return sum / 2;
}

void LikenessMeter::ComposeLuma(const RgbaView& picture, float background,
                                std::vector<float>& plane) const {
    const auto width = static_cast<size_t>(picture.width);
    plane.resize(width * static_cast<size_t>(picture.height));
    float* out = plane.data();
    for (int32_t y = 0; y < picture.height; ++y, out += width) {
        const uint8_t* p = picture.pixels + static_cast<size_t>(y) * picture.stride;
        for (size_t x = 0; x < width; ++x, p += 4) {
            const float luma = 0.299f * p[0] + 0.587f * p[1] + 0.114f * p[2];
            const float alpha = p[3] * (1.0f / 255);
            out[x] = background + alpha * (luma - background);
        }
    }
}

// The sums of each 4 x 4 block of the band of rows from `top`.
void LikenessMeter::SumBand(int32_t top, int32_t width, std::vector<BlockSums>& band) const {
    const int32_t blocks = width / kBlock;
    band.assign(static_cast<size_t>(blocks), BlockSums{});
    for (int32_t y = top; y < top + kBlock; ++y) {
        const float* a = planeA_.data() + static_cast<size_t>(y) * width;
        const float* b = planeB_.data() + static_cast<size_t>(y) * width;
        for (int32_t k = 0; k < blocks; ++k) {
            BlockSums& s = band[static_cast<size_t>(k)];
            for (int32_t x = k * kBlock; x < (k + 1) * kBlock; ++x) {
                const double va = a[x];
                const double vb = b[x];
                s.a += va;
                s.b += vb;
                s.aa += va * va;
                s.bb += vb * vb;
                s.ab += va * vb;
            }
        }
    }
}

double LikenessMeter::PlaneSsim(int32_t width, int32_t height) {
    if (width < 2 * kBlock || height < 2 * kBlock) {
        BlockSums all;
        for (size_t i = 0; i < planeA_.size(); ++i) {
            const double va = planeA_[i];
            const double vb = planeB_[i];
            all = {all.a + va, all.b + vb, all.aa + va * va, all.bb + vb * vb, all.ab + va * vb};
        }
        return WindowSsim(static_cast<double>(planeA_.size()), all.a, all.b, all.aa, all.bb,
                          all.ab);
    }
    const int32_t bands = height / kBlock;
    const size_t blocks = static_cast<size_t>(width / kBlock);
    double total = 0.0;
    int64_t windows = 0;
    SumBand(0, width, upper_);
    for (int32_t band = 1; band < bands; ++band) {
        SumBand(band * kBlock, width, lower_);
        for (size_t k = 0; k + 1 < blocks; ++k) {
            const BlockSums& p = upper_[k];
            const BlockSums& q = upper_[k + 1];
            const BlockSums& r = lower_[k];
            const BlockSums& s = lower_[k + 1];
            total += WindowSsim(4.0 * kBlock * kBlock, p.a + q.a + r.a + s.a, p.b + q.b + r.b + s.b,
                                p.aa + q.aa + r.aa + s.aa, p.bb + q.bb + r.bb + s.bb,
                                p.ab + q.ab + r.ab + s.ab);
            ++windows;
        }
        upper_.swap(lower_);
    }
    return total / static_cast<double>(windows);
}

} // namespace lumatrim
