// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpegtrellis/dc_trellis.h"

#include "jpegtrellis/quantizer_table.h"
#include "jpegtrellis/zigzag.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace lumatrim::trellis {

namespace {

inline float DifferenceBits(const SymbolCosts& costs, int from, int to) {
    const int size =
        std::min(MagnitudeCategory(static_cast<uint32_t>(std::abs(to - from))), kDcCategories - 1);
    return costs.dc[size] + static_cast<float>(size);
}

} // namespace

void TrellisQuantizeDc(std::span<const float> dc, float step, float errorScale, float lambda,
                       const SymbolCosts& costs, std::span<int16_t> chosen) {
    const size_t blocks = dc.size();
    if (blocks == 0) return;
    // State s of block b is the value below (s = 0) or above (s = 1) its exact DC.
    std::vector<int16_t> values(2 * blocks);
    std::vector<uint8_t> cameFrom(2 * blocks);
    float cost[2] = {0, 0};
    int previous[2] = {0, 0};
    for (size_t b = 0; b < blocks; ++b) {
        const float exact = dc[b] / step;
        const int below = static_cast<int>(std::floor(exact));
        float next[2];
        for (int s = 0; s < 2; ++s) {
            const int value = std::clamp(below + s, kMinDc, kMaxDc);
            const float error = exact - static_cast<float>(value);
            const float own = error * error * errorScale;
            int from = 0;
            float least = 0;
            for (int p = 0; p < (b == 0 ? 1 : 2); ++p) {
                const float total = cost[p] + lambda * DifferenceBits(costs, previous[p], value);
                if (p == 0 || total < least) {
                    least = total;
                    from = p;
                }
            }
            next[s] = least + own;
            values[2 * b + s] = static_cast<int16_t>(value);
            cameFrom[2 * b + s] = static_cast<uint8_t>(from);
        }
        for (int s = 0; s < 2; ++s) {
            cost[s] = next[s];
            previous[s] = values[2 * b + s];
        }
    }
    int state = cost[1] < cost[0] ? 1 : 0;
    for (size_t b = blocks; b-- > 0;) {
        chosen[b] = values[2 * b + state];
        state = cameFrom[2 * b + state];
    }
}

} // namespace lumatrim::trellis
