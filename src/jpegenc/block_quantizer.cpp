// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpegenc/block_quantizer.h"

#include "jpegtrellis/ac_trellis.h"
#include "jpegtrellis/dc_trellis.h"
#include "jpegtrellis/symbol_costs.h"
#include "jpegtrellis/zigzag.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace lumatrim {

namespace {

void ExactCoefficients(const int16_t* eighths, float exact[64]) {
    for (int k = 0; k < 64; ++k)
        exact[k] = static_cast<float>(eighths[k]) / kExactScale;
}

// Symbol costs per table class, from the symbols of the rounded coefficients.
std::array<trellis::SymbolCosts, 2> RoundedCosts(std::span<const BlockPlane> planes,
                                                 std::span<const trellis::QuantizerTable> tables,
                                                 std::span<const ComponentCoding> coding) {
    std::array<trellis::SymbolCounts, 2> counts;
    float exact[64];
    int16_t rounded[64];
    for (size_t c = 0; c < planes.size(); ++c) {
        trellis::SymbolCounts& tally = counts[coding[c].table];
        int previousDc = 0;
        for (const uint32_t b : DcCodingOrder(planes[c], coding[c], planes.size() > 1)) {
            ExactCoefficients(planes[c].Block(b), exact);
            trellis::QuantizeRounded(exact, tables[c], rounded);
            trellis::CountAcSymbols(rounded, tally);
            trellis::CountDcSymbol(rounded[0], previousDc, tally);
            previousDc = rounded[0];
        }
    }
    return {trellis::CostsFromCounts(counts[0]), trellis::CostsFromCounts(counts[1])};
}

// How far the plane's nonzero AC coefficients lie from the table's multiples, as a share of
// what a picture that never was quantized shows (a mean squared rounding error of 1/12 step^2):
// near 0 for a picture decoded from a JPEG with this very table, which plain rounding gives
// back almost exactly.
float OffGridShare(const BlockPlane& plane, const trellis::QuantizerTable& table) {
    double squares = 0;
    size_t count = 0;
    for (size_t b = 0; b < plane.Blocks(); ++b) {
        const int16_t* block = plane.Block(b);
        for (int z = 1; z < 64; ++z) {
            const float steps = std::abs(static_cast<float>(block[trellis::kZigzagToNatural[z]])) /
                                kExactScale / table.step[z];
            if (steps < 0.5f) continue;
            const float error = steps - std::floor(steps + 0.5f);
            squares += error * error;
            ++count;
        }
    }
    return count == 0 ? 1.0f : static_cast<float>(std::min(1.0, 12 * squares / count));
}

// How many blocks the search takes between looks at the stop request: a few milliseconds of work.
constexpr size_t kBlocksBetweenStopChecks = 4096;

void QuantizePlane(BlockPlane& plane, const std::vector<uint32_t>& order,
                   const trellis::QuantizerTable& table, const trellis::SymbolCosts& costs,
                   float lambda, const std::stop_token& stop) {
    const size_t blocks = order.size();
    std::vector<float> dc(blocks);
    for (size_t i = 0; i < blocks; ++i)
        dc[i] = static_cast<float>(plane.Block(order[i])[0]) / kExactScale;
    std::vector<int16_t> chosenDc(blocks);
    trellis::TrellisQuantizeDc(dc, table.step[0], table.errorScale[0], lambda, costs, chosenDc);
    float exact[64];
    for (size_t i = 0; i < blocks; ++i) {
        if (i % kBlocksBetweenStopChecks == 0 && stop.stop_requested()) return;
        int16_t* block = plane.Block(order[i]);
        ExactCoefficients(block, exact);
        trellis::TrellisQuantizeAc(exact, table, costs, lambda, block);
        block[0] = chosenDc[i];
    }
}

} // namespace

TrellisSettings DefaultTrellisSettings() {
    return {};
}

void QuantizeRounded(std::span<BlockPlane> planes,
                     std::span<const trellis::QuantizerTable> tables) {
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
                            const TrellisSettings& settings, const std::stop_token& stop) {
    const std::array<trellis::SymbolCosts, 2> costs = RoundedCosts(planes, tables, coding);
    for (size_t c = 0; c < planes.size(); ++c) {
        const float lambda = settings.lambda *
                             std::pow(OffGridShare(planes[c], tables[c]), settings.offGridExponent);
        QuantizePlane(planes[c], DcCodingOrder(planes[c], coding[c], planes.size() > 1), tables[c],
                      costs[coding[c].table], lambda, stop);
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
