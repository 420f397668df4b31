// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpegenc/chroma_choice.h"

#include <algorithm>
#include <cmath>

namespace lumatrim {

namespace {

constexpr uint32_t kRegion = 16;

// Four times the summed squared differences from the mean of the 2x2 square at (x, y):
// 4 (a^2 + b^2 + c^2 + d^2) - (a + b + c + d)^2, exact in integers.
inline int64_t SquareLoss(const uint8_t* top, const uint8_t* bottom, uint32_t x) {
    const int64_t a = top[x], b = top[x + 1], c = bottom[x], d = bottom[x + 1];
    const int64_t sum = a + b + c + d;
    return 4 * (a * a + b * b + c * c + d * d) - sum * sum;
}

} // namespace

double WorstChromaHalvingLoss(const std::vector<SamplePlane>& planes, uint32_t width,
                              uint32_t height) {
    const size_t stride = planes[1].Stride();
    const uint32_t regionsWide = (width + kRegion - 1) / kRegion;
    // Per region of the current band of rows: summed loss (times four) and samples counted.
    std::vector<int64_t> loss(regionsWide);
    std::vector<int64_t> samples(regionsWide);
    double worst = 0;
    for (uint32_t y = 0; y < height; y += 2) {
        for (size_t c = 1; c < 3; ++c) {
            const uint8_t* top = planes[c].samples.data() + y * stride;
            const uint8_t* bottom = top + stride; // the padding covers an odd last row
            for (uint32_t x = 0; x < width; x += 2)
                loss[x / kRegion] += SquareLoss(top, bottom, x);
        }
        for (uint32_t x = 0; x < width; x += 2)
            samples[x / kRegion] += 4;
        if ((y + 2) % kRegion != 0 && y + 2 < height) continue;
        for (uint32_t r = 0; r < regionsWide; ++r) {
            worst = std::max(worst, static_cast<double>(loss[r]) / 4 / samples[r]);
            loss[r] = samples[r] = 0;
        }
    }
    return std::sqrt(worst);
}

bool NeedsFullChroma(const JpegPicture& picture, const std::vector<SamplePlane>& planes) {
    return picture.components == 3 && picture.sourceFullChroma &&
           WorstChromaHalvingLoss(planes, picture.width, picture.height) >= kFullChromaLoss;
}

} // namespace lumatrim
