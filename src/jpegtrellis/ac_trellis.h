// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Rate-distortion optimal quantization of a block's AC coefficients (after Ramchandran and
// Vetterli's method for JPEG, and the trellis quantization of video coders).
//
// Plain rounding gives each coefficient the nearest multiple of its step. Many of those values
// cost more bits than the error they save is worth: a lone 1 after a long run of zeros, or the
// last few small coefficients that keep a block from ending early. The search minimizes
//   J = D + lambda * R
// over the block: D the weighted squared error of the chosen values against the exact
// coefficients, R the bits of the block's symbols and extra bits (symbol costs from a first
// pass). Each coefficient may keep its rounded magnitude, drop one step, or become zero; the
// block may end at any coefficient. A zigzag position is a state, "the last nonzero coefficient
// so far is here", so a dynamic programme over the positions whose rounded value is not zero
// finds the best choice exactly under the model, in time quadratic in their number.
#pragma once

#include "jpegtrellis/quantizer_table.h"
#include "jpegtrellis/symbol_costs.h"

#include <cstdint>

namespace lumatrim::trellis {

// Writes the chosen AC values of the block with exact `coefficients` (natural order, DCT units)
// into block[1..63] (natural order); block[0] is left alone. Every value keeps the sign of its
// coefficient and is at most its rounded magnitude, so no coefficient's error exceeds its
// magnitude. `lambda` is the distortion (in the table's error units) one bit is worth.
void TrellisQuantizeAc(const float coefficients[64], const QuantizerTable& table,
                       const SymbolCosts& costs, float lambda, int16_t block[64]);

// J of the block's AC values under the same model: what TrellisQuantizeAc minimizes.
float AcRateDistortionCost(const float coefficients[64], const QuantizerTable& table,
                           const SymbolCosts& costs, float lambda, const int16_t block[64]);

} // namespace lumatrim::trellis
