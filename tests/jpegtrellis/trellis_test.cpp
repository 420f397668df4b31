// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The rate-distortion quantizers against plain rounding on random blocks: never worse under
// their own measure, never a value beyond the rounded one, and rounding itself at lambda 0.
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

constexpr uint16_t kSteps[64] = {8,  6,  5,  8,  12, 20, 26, 31, 6,  6,  7,  10, 13, 29, 30, 28,
                                 7,  7,  8,  12, 20, 29, 35, 28, 7,  9,  11, 15, 26, 44, 40, 31,
                                 9,  11, 19, 28, 34, 55, 52, 39, 12, 18, 28, 32, 41, 52, 57, 46,
                                 25, 32, 39, 44, 52, 61, 60, 51, 36, 46, 48, 49, 56, 50, 52, 50};

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

// Coefficients of a block with a falling spectrum, as a photograph has.
void RandomCoefficients(std::mt19937& random, float coefficients[64]) {
    std::normal_distribution<float> normal;
    for (int v = 0; v < 8; ++v)
        for (int u = 0; u < 8; ++u)
            coefficients[v * 8 + u] = normal(random) * 300.0f / static_cast<float>(1 + u + v);
}

TEST(TrellisQuantizeAc, NeverWorseThanRoundingUnderItsMeasure) {
    std::mt19937 random(7);
    const QuantizerTable table = QuantizerTable::From(kSteps, 1);
    const SymbolCosts costs = SomeCosts();
    for (int trial = 0; trial < 500; ++trial) {
        float coefficients[64];
        RandomCoefficients(random, coefficients);
        int16_t rounded[64], searched[64];
        QuantizeRounded(coefficients, table, rounded);
        TrellisQuantizeAc(coefficients, table, costs, 0.0f, searched);
        for (int k = 1; k < 64; ++k)
            ASSERT_EQ(searched[k], rounded[k]) << "lambda 0 is rounding";
        const float lambda = 0.05f * static_cast<float>(trial % 10);
        TrellisQuantizeAc(coefficients, table, costs, lambda, searched);
        for (int k = 1; k < 64; ++k) {
            ASSERT_LE(std::abs(searched[k]), std::abs(rounded[k]));
            ASSERT_GE(searched[k] * rounded[k], 0) << "same sign";
        }
        EXPECT_LE(AcRateDistortionCost(coefficients, table, costs, lambda, searched),
                  AcRateDistortionCost(coefficients, table, costs, lambda, rounded) + 1e-3f);
    }
}

TEST(TrellisQuantizeDc, StaysWithinAStepAndRoundsAtLambdaZero) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> uniform(-1024, 1016);
    std::vector<float> dc(300);
    for (float& value : dc)
        value = uniform(random) / 4 + 400 * std::sin(static_cast<float>(&value - dc.data()) / 30);
    const SymbolCosts costs = SomeCosts();
    for (const float lambda : {0.0f, 0.5f, 5.0f}) {
        std::vector<int16_t> chosen(dc.size());
        TrellisQuantizeDc(dc, 16, 1, lambda, costs, chosen);
        for (size_t b = 0; b < dc.size(); ++b) {
            const float exact = dc[b] / 16;
            ASSERT_LT(std::abs(exact - static_cast<float>(chosen[b])), 1.0f);
            if (lambda == 0) {
                ASSERT_EQ(chosen[b], std::lround(exact)) << b;
            }
        }
    }
}

TEST(ForwardDct, MatchesTheDefinitionAndKeepsTheEnergy) {
    std::mt19937 random(3);
    uint8_t samples[64];
    for (uint8_t& s : samples)
        s = static_cast<uint8_t>(random());
    float coefficients[64];
    ForwardDct(samples, 8, coefficients);
    double sampleEnergy = 0, coefficientEnergy = 0;
    for (int k = 0; k < 64; ++k) {
        sampleEnergy += (samples[k] - 128.0) * (samples[k] - 128.0);
        coefficientEnergy += double{coefficients[k]} * coefficients[k];
    }
    EXPECT_NEAR(coefficientEnergy, sampleEnergy, sampleEnergy * 1e-5);
    // F(1,2) straight from the definition.
    double direct = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            direct += (samples[y * 8 + x] - 128.0) * std::cos((2 * x + 1) * 1 * M_PI / 16) *
                      std::cos((2 * y + 1) * 2 * M_PI / 16);
    EXPECT_NEAR(coefficients[2 * 8 + 1], direct / 4, 1e-3);
}

TEST(HuffmanCodeLengths, OptimalAndNeverPastSixteenBits) {
    EXPECT_EQ(HuffmanCodeLengths(std::vector<uint32_t>{1, 1, 2, 4, 0}),
              (std::vector<uint8_t>{3, 3, 2, 1, 0}));
    EXPECT_EQ(HuffmanCodeLengths(std::vector<uint32_t>{0, 9}), (std::vector<uint8_t>{0, 1}));
    // Fibonacci counts make the optimal code as deep as there are symbols.
    std::vector<uint32_t> counts = {1, 1};
    while (counts.size() < 30)
        counts.push_back(counts[counts.size() - 1] + counts[counts.size() - 2]);
    const std::vector<uint8_t> lengths = HuffmanCodeLengths(counts);
    double kraft = 0;
    for (const uint8_t length : lengths) {
        ASSERT_GE(length, 1);
        ASSERT_LE(length, kMaxCodeLength);
        kraft += std::ldexp(1.0, -length);
    }
    EXPECT_LE(kraft, 1.0);
}

} // namespace
} // namespace lumatrim::trellis
