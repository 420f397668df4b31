// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpegtrellis/ac_trellis.h"

#include "jpegtrellis/zigzag.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace lumatrim::trellis {

namespace {

// Bits of a nonzero value of magnitude category `size` after `run` zeros: the ZRL symbols, the
// (run, size) symbol and the extra bits.
inline float RunBits(const SymbolCosts& costs, int run, int size) {
    return static_cast<float>(run >> 4) * costs.ac[kZeroRun16] + costs.ac[(run & 15) << 4 | size] +
           static_cast<float>(size);
}

} // namespace

void TrellisQuantizeAc(const float coefficients[64], const QuantizerTable& table,
                       const SymbolCosts& costs, float lambda, int16_t block[64]) {
    float steps[64]; // |coefficient| in steps, zigzag order
    int rounded[64]; // its rounded magnitude
    // Distortion of zeroing coefficients 1..z. Sums and costs are in double precision: the
    // search compares differences of these sums, which float would blur on busy blocks.
    double zeroedUpTo[64];
    int candidates[64]; // position 0 (the start), then every z whose rounded value is not 0
    int count = 1;
    candidates[0] = 0;
    zeroedUpTo[0] = 0;
    for (int z = 1; z < 64; ++z) {
        steps[z] = std::abs(coefficients[kZigzagToNatural[z]]) / table.step[z];
        rounded[z] = std::min(static_cast<int>(steps[z] + 0.5f), kMaxAcMagnitude);
        zeroedUpTo[z] = zeroedUpTo[z - 1] + double{steps[z]} * steps[z] * table.errorScale[z];
        if (rounded[z] > 0) candidates[count++] = z;
    }

    // best[z]: least J of coefficients 1..z with the last nonzero one at z, given by value[z]
    // after the nonzero one at previous[z].
    double best[64];
    int value[64];
    int previous[64];
    best[0] = 0;
    for (int i = 1; i < count; ++i) {
        const int z = candidates[i];
        best[z] = std::numeric_limits<double>::infinity();
        for (int magnitude = rounded[z]; magnitude >= std::max(rounded[z] - 1, 1); --magnitude) {
            const int size = MagnitudeCategory(static_cast<uint32_t>(magnitude));
            const double error = steps[z] - magnitude;
            const double own = error * error * table.errorScale[z] + zeroedUpTo[z - 1];
            for (int j = 0; j < i; ++j) {
                const int p = candidates[j];
                const double cost =
                    best[p] - zeroedUpTo[p] + own + lambda * RunBits(costs, z - p - 1, size);
                if (cost < best[z]) {
                    best[z] = cost;
                    value[z] = magnitude;
                    previous[z] = p;
                }
            }
        }
    }

    int last = 0;
    double least = std::numeric_limits<double>::infinity();
    for (int j = 0; j < count; ++j) {
        const int p = candidates[j];
        const double end = p < 63 ? lambda * costs.ac[kEndOfBlock] : 0.0;
        const double cost = best[p] + zeroedUpTo[63] - zeroedUpTo[p] + end;
        if (cost < least) {
            least = cost;
            last = p;
        }
    }

    for (int z = 1; z < 64; ++z)
        block[kZigzagToNatural[z]] = 0;
    for (int z = last; z > 0; z = previous[z]) {
        const int natural = kZigzagToNatural[z];
        block[natural] = static_cast<int16_t>(coefficients[natural] < 0 ? -value[z] : value[z]);
    }
}

float AcRateDistortionCost(const float coefficients[64], const QuantizerTable& table,
                           const SymbolCosts& costs, float lambda, const int16_t block[64]) {
    float distortion = 0;
    float bits = 0;
    int run = 0;
    for (int z = 1; z < 64; ++z) {
        const int natural = kZigzagToNatural[z];
        const float error =
            coefficients[natural] / table.step[z] - static_cast<float>(block[natural]);
        distortion += error * error * table.errorScale[z];
        if (block[natural] == 0) {
            ++run;
            continue;
        }
        bits +=
            RunBits(costs, run, MagnitudeCategory(static_cast<uint32_t>(std::abs(block[natural]))));
        run = 0;
    }
    if (run > 0) bits += costs.ac[kEndOfBlock];
    return distortion + lambda * bits;
}

} // namespace lumatrim::trellis
