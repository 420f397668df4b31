// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Rounding to the nearest integer with exact halves going to the even integer, as the platform's
// float-to-integer conversion does.
#pragma once

#include <cmath>
#include <cstdint>

namespace lumatrim {

inline int32_t RoundHalfEven(double value) {
    return static_cast<int32_t>(std::nearbyint(value)); // the default rounding mode
}

} // namespace lumatrim
