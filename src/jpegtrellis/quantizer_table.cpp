// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpegtrellis/quantizer_table.h"

#include "jpegtrellis/rounding.h"
#include "jpegtrellis/zigzag.h"

#include <algorithm>
#include <cmath>

namespace lumatrim::trellis {

QuantizerTable QuantizerTable::From(const uint16_t natural[64], float tableWeighting) {
    QuantizerTable table;
    double logSum = 0;
    for (int z = 0; z < 64; ++z) {
        table.step[z] = static_cast<float>(natural[kZigzagToNatural[z]]);
        logSum += std::log(table.step[z]);
    }
    const double meanStep = std::exp(logSum / 64);
    for (int z = 0; z < 64; ++z)
        table.errorScale[z] =
            static_cast<float>(std::pow(table.step[z] / meanStep, 2.0 * (1.0 - tableWeighting)));
    return table;
}

void QuantizeRounded(const float coefficients[64], const QuantizerTable& table, int16_t block[64]) {
    for (int z = 0; z < 64; ++z) {
        const int natural = kZigzagToNatural[z];
        const int value = RoundHalfAway(coefficients[natural] / table.step[z]);
        const int limit = z == 0 ? kMaxDc : kMaxAcMagnitude;
        block[natural] = static_cast<int16_t>(std::clamp(value, z == 0 ? kMinDc : -limit, limit));
    }
}

} // namespace lumatrim::trellis
