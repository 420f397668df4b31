// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// One quantization table as the quantizers use it: the step of each coefficient and what an
// error of one step there costs, both in zigzag order.
#pragma once

#include <array>
#include <cstdint>

namespace lumatrim::trellis {

inline constexpr int kMaxAcMagnitude = 1023; // 10 bits: the largest AC category of 8-bit JPEG
inline constexpr int kMinDc = -1024;         // the DC range of 8-bit samples
inline constexpr int kMaxDc = 1023;

struct QuantizerTable {
    std::array<float, 64> step{};
    // The distortion of an error of e steps at coefficient z is e^2 * errorScale[z]. With
    // tableWeighting 0 that is the squared error in the samples (in units of the table's mean
    // step squared); with 1 every coefficient's error counts in its own steps, so the table's
    // visual weighting of the frequencies carries over to the search.
    std::array<float, 64> errorScale{};

    // `natural` holds the table's 64 steps (1..255) in natural order.
    static QuantizerTable From(const uint16_t natural[64], float tableWeighting);
};

// Each coefficient divided by its step and rounded half away from zero, as a plain JPEG
// encoder quantizes: `coefficients` in natural order, `block` written in natural order.
void QuantizeRounded(const float coefficients[64], const QuantizerTable& table, int16_t block[64]);

} // namespace lumatrim::trellis
