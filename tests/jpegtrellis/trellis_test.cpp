// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// What a decoded picture hides: the quantizers' choices against plain rounding (never worse
// under their own measure, rounding itself at lambda 0), the transform's exact coefficients and
// the limit on code lengths.
#include "jpegtrellis/ac_trellis.h"
#include "jpegtrellis/dc_trellis.h"
#include "jpegtrellis/forward_dct.h"
#include "jpegtrellis/huffman_lengths.h"
#include "jpegtrellis/zigzag.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace lumatrim::trellis {
namespace {

// Costs of a plausible first pass: short codes for short runs of small values.
SymbolCosts SomeCosts() {
    SymbolCosts costs;
    for (int run = 0; run < 16; ++run)
        for (int size = 1; size <= 10; ++size)
            costs.ac[run << 4 | size] = static_cast<float>(std::min(2 + run / 2 + size, 16));
    costs.ac[kEndOfBlock] = 4;
    costs.ac[kZeroRun16] = 11;
    for (int size = 0; size < kDcCategories; ++size)
        costs.dc[size] = static_cast<float>(2 + size / 2);
    return costs;
}

TEST(TrellisQuantizeAc, NeverWorseThanRoundingUnderItsMeasure) {
    std::mt19937 random(7);
    std::normal_distribution<float> normal;
    uint16_t steps[64]; // coarser with frequency, as quality tables are
    for (int k = 0; k < 64; ++k)
        steps[k] = static_cast<uint16_t>(5 + 3 * (k % 8 + k / 8));
    const QuantizerTable table = QuantizerTable::From(steps, 1);
    const SymbolCosts costs = SomeCosts();
    for (int trial = 0; trial < 500; ++trial) {
        float coefficients[64]; // a falling spectrum, as a photograph has
        for (int k = 0; k < 64; ++k)
            coefficients[k] = normal(random) * 300.0f / static_cast<float>(1 + k % 8 + k / 8);
        const float lambda = 0.05f * static_cast<float>(trial % 10);
        int16_t rounded[64], searched[64];
        QuantizeRounded(coefficients, table, rounded);
        TrellisQuantizeAc(coefficients, table, costs, lambda, searched);
        for (int k = 1; k < 64; ++k) {
            ASSERT_LE(std::abs(searched[k]), std::abs(rounded[k]));
            ASSERT_GE(searched[k] * rounded[k], 0) << "same sign";
            ASSERT_TRUE(lambda > 0 || searched[k] == rounded[k]) << "lambda 0 is rounding";
        }
        EXPECT_LE(AcRateDistortionCost(coefficients, table, costs, lambda, searched),
                  AcRateDistortionCost(coefficients, table, costs, lambda, rounded) + 1e-3f);
    }
}

TEST(TrellisQuantizeDc, StaysWithinAStepAndRoundsAtLambdaZero) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> uniform(-256, 254);
    std::vector<float> dc(300);
    for (size_t b = 0; b < dc.size(); ++b)
        dc[b] = uniform(random) + 400 * std::sin(static_cast<float>(b) / 30);
    for (const float lambda : {0.0f, 0.5f, 5.0f}) {
        std::vector<int16_t> chosen(dc.size());
        TrellisQuantizeDc(dc, 16, 1, lambda, SomeCosts(), chosen);
        for (size_t b = 0; b < dc.size(); ++b) {
            ASSERT_LT(std::abs(dc[b] / 16 - static_cast<float>(chosen[b])), 1.0f);
            ASSERT_TRUE(lambda > 0 || chosen[b] == std::lround(dc[b] / 16)) << b;
        }
    }
}

// Every coefficient as the definition gives it: a transposed or shifted transform still
// decodes to a passable picture.
TEST(ForwardDct, MatchesTheDefinition) {
    std::mt19937 random(3);
    uint8_t samples[64];
    for (uint8_t& s : samples)
        s = static_cast<uint8_t>(random());
    float coefficients[64];
    ForwardDct(samples, 8, coefficients);
    for (int v = 0; v < 8; ++v)
        for (int u = 0; u < 8; ++u) {
            double direct = 0;
            for (int k = 0; k < 64; ++k)
                direct += (samples[k] - 128.0) * std::cos((2 * (k % 8) + 1) * u * M_PI / 16) *
                          std::cos((2 * (k / 8) + 1) * v * M_PI / 16);
            const double scale = (u ? 0.5 : 0.5 * M_SQRT1_2) * (v ? 0.5 : 0.5 * M_SQRT1_2);
            ASSERT_NEAR(coefficients[v * 8 + u], direct * scale, 1e-3) << u << "," << v;
        }
}

TEST(HuffmanCodeLengths, OptimalAndNeverPastSixteenBits) {
    EXPECT_EQ(HuffmanCodeLengths(std::vector<uint32_t>{1, 1, 2, 4, 0}),
              (std::vector<uint8_t>{3, 3, 2, 1, 0}));
    EXPECT_EQ(HuffmanCodeLengths(std::vector<uint32_t>{0, 9}), (std::vector<uint8_t>{0, 1}));
    // Fibonacci counts make the optimal code as deep as there are symbols.
    std::vector<uint32_t> counts = {1, 1};
    while (counts.size() < 30)
        counts.push_back(counts[counts.size() - 1] + counts[counts.size() - 2]);
    double kraft = 0;
    for (const uint8_t length : HuffmanCodeLengths(counts)) {
        ASSERT_GE(length, 1);
        ASSERT_LE(length, kMaxCodeLength);
        kraft += std::ldexp(1.0, -length);
    }
    EXPECT_LE(kraft, 1.0);
}

} // namespace
} // namespace lumatrim::trellis
