// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The order in which JPEG codes a block's 64 coefficients: from the DC term through the
// anti-diagonals of rising frequency. Entry z is the natural (row-major) index of the z-th coded
// coefficient.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

namespace lumatrim::trellis {

inline constexpr std::array<uint8_t, 64> kZigzagToNatural = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// The number of bits of a coefficient's magnitude, which JPEG codes as the "size" of a symbol
// and follows with that many extra bits: 0 for 0, 1 for 1, 2 for 2..3, 3 for 4..7, ...
inline int MagnitudeCategory(uint32_t magnitude) {
    return std::bit_width(magnitude);
}

} // namespace lumatrim::trellis
