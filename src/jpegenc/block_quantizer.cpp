// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpegenc/block_quantizer.h"

#include "jpegtrellis/ac_trellis.h"
#include "jpegtrellis/dc_trellis.h"
#include "jpegtrellis/symbol_costs.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace lumatrim {

namespace {

// SSIM's second stabilizing constant for 8-bit samples, (0.03 * 255)^2: the variance below
// which a block counts as flat.
constexpr float kFlatVariance = 58.5225f;

void ExactCoefficients(const int16_t* eighths, float exact[64]) {
    for (int k = 0; k < 64; ++k)
        exact[k] = static_cast<float>(eighths[k]) / kExactScale;
}

// An error in a busy block hides better than one in a flat block (SSIM divides it by the
// local variance), so a busy block may trade more of it for bits.
float BlockLambda(const float exact[64], const TrellisSettings& settings) {
    if (settings.activityExponent == 0.0f) return settings.lambda;
    float energy = 0;
    for (int k = 1; k < 64; ++k)
        energy += exact[k] * exact[k];
    const float variance = energy / 64;
    return settings.lambda *
           std::pow((2 * variance + kFlatVariance) / kFlatVariance, settings.activityExponent);
}

// Symbol costs per table class, from the symbols of the blocks, rounded first if `exact`.
std::array<trellis::SymbolCosts, 2> CountedCosts(std::span<const BlockPlane> planes,
                                                 std::span<const trellis::QuantizerTable> tables,
                                                 std::span<const ComponentCoding> coding,
                                                 bool exact) {
    std::array<trellis::SymbolCounts, 2> counts;
    float coefficients[64];
    int16_t rounded[64];
    for (size_t c = 0; c < planes.size(); ++c) {
        trellis::SymbolCounts& tally = counts[coding[c].table];
        int previousDc = 0;
        for (const uint32_t b : DcCodingOrder(planes[c], coding[c], planes.size() > 1)) {
            const int16_t* block = planes[c].Block(b);
            if (exact) {
                ExactCoefficients(block, coefficients);
                trellis::QuantizeRounded(coefficients, tables[c], rounded);
                block = rounded;
            }
            trellis::CountAcSymbols(block, tally);
            trellis::CountDcSymbol(block[0], previousDc, tally);
            previousDc = block[0];
        }
    }
    return {trellis::CostsFromCounts(counts[0]), trellis::CostsFromCounts(counts[1])};
}

void QuantizePlane(BlockPlane& plane, const std::vector<uint32_t>& order,
                   const trellis::QuantizerTable& table, const trellis::SymbolCosts& costs,
                   const TrellisSettings& settings) {
    const size_t blocks = order.size();
    std::vector<float> dc(blocks), lambdas(blocks);
    float exact[64];
    for (size_t i = 0; i < blocks; ++i) {
        ExactCoefficients(plane.Block(order[i]), exact);
        dc[i] = exact[0];
        lambdas[i] = BlockLambda(exact, settings);
    }
    std::vector<int16_t> chosenDc(blocks);
    if (settings.dcSearch)
        trellis::TrellisQuantizeDc(dc, table.step[0], table.errorScale[0], lambdas, costs,
                                   chosenDc);
    else
        for (size_t i = 0; i < blocks; ++i)
            chosenDc[i] = static_cast<int16_t>(std::lround(dc[i] / table.step[0]));
    for (size_t i = 0; i < blocks; ++i) {
        int16_t* block = plane.Block(order[i]);
        ExactCoefficients(block, exact);
        trellis::TrellisQuantizeAc(exact, table, costs, lambdas[i], block);
        block[0] = chosenDc[i];
    }
}

} // namespace

TrellisSettings DefaultTrellisSettings() {
    return {};
}

void QuantizeRounded(std::span<BlockPlane> planes, std::span<const trellis::QuantizerTable> tables,
                     std::span<const ComponentCoding>) {
    float exact[64];
    for (size_t c = 0; c < planes.size(); ++c)
        for (size_t b = 0; b < planes[c].Blocks(); ++b) {
            int16_t* block = planes[c].Block(b);
            ExactCoefficients(block, exact);
            trellis::QuantizeRounded(exact, tables[c], block);
        }
}

void QuantizeRateDistortion(std::span<BlockPlane> planes,
                            std::span<const trellis::QuantizerTable> tables,
                            std::span<const ComponentCoding> coding,
                            const TrellisSettings& settings) {
    std::array<trellis::SymbolCosts, 2> costs = CountedCosts(planes, tables, coding, true);
    std::vector<BlockPlane> exact;
    if (settings.passes > 1) exact.assign(planes.begin(), planes.end());
    for (int pass = 0; pass < settings.passes; ++pass) {
        if (pass > 0) {
            costs = CountedCosts(planes, tables, coding, false);
            std::copy(exact.begin(), exact.end(), planes.begin());
        }
        for (size_t c = 0; c < planes.size(); ++c)
            QuantizePlane(planes[c], DcCodingOrder(planes[c], coding[c], planes.size() > 1),
                          tables[c], costs[coding[c].table], settings);
    }
}

std::vector<uint32_t> DcCodingOrder(const BlockPlane& plane, const ComponentCoding& coding,
                                    bool interleaved) {
    std::vector<uint32_t> order;
    order.reserve(plane.Blocks());
    const uint32_t h = interleaved ? coding.samplingH : 1, v = interleaved ? coding.samplingV : 1;
    for (uint32_t my = 0; my < plane.blocksHigh; my += v)
        for (uint32_t mx = 0; mx < plane.blocksWide; mx += h)
            for (uint32_t y = my; y < std::min(my + v, plane.blocksHigh); ++y)
                for (uint32_t x = mx; x < std::min(mx + h, plane.blocksWide); ++x)
                    order.push_back(y * plane.blocksWide + x);
    return order;
}

} // namespace lumatrim
