// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Rate-distortion choice of the DC values of one component's blocks, across blocks.
//
// JPEG codes each block's DC as its difference from the previous block's, so the cost of a DC
// value depends on its neighbour's choice: a Viterbi search over the blocks in coding order,
// with the two multiples of the step either side of each exact DC as the states, minimizes
//   J = sum of (error^2 * errorScale + lambda * bits)
// over the whole sequence. A smooth gradient whose DCs round to alternate categories is where it
// pays; elsewhere it keeps the rounded values.
#pragma once

#include "jpegtrellis/symbol_costs.h"

#include <cstdint>
#include <span>

namespace lumatrim::trellis {

// `dc` holds the exact DC coefficients (DCT units) in coding order; the chosen values are
// written to `chosen`. The predictor starts at 0, as at the
// start of a scan.
void TrellisQuantizeDc(std::span<const float> dc, float step, float errorScale, float lambda,
                       const SymbolCosts& costs, std::span<int16_t> chosen);

} // namespace lumatrim::trellis
