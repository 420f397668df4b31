// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Rounding half away from zero, as JPEG encoders quantize, inline: std::lround is a library
// call, and was 7% of an encode's time where it ran once a coefficient.
#pragma once

#include <cmath>

namespace lumatrim::trellis {

// For |value| < 2^23; the float sum may round a value a hair below one half up, which no
// quantizer decision depends on.
inline int RoundHalfAway(float value) {
    return static_cast<int>(value + std::copysign(0.5f, value));
}

} // namespace lumatrim::trellis
