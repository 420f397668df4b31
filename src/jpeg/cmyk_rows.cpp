// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpeg/cmyk_rows.h"

namespace lumatrim {

void CmykToRgb(const uint8_t* cmyk, uint8_t* rgb, size_t pixels) {
    // An inverted sample is the light the ink lets through; a channel is what both its own ink
    // and the black let through.
    for (size_t i = 0; i < pixels; ++i, cmyk += 4, rgb += 3) {
        const uint32_t black = cmyk[3];
        const uint32_t r = cmyk[0] * black, g = cmyk[1] * black, b = cmyk[2] * black;
        rgb[0] = static_cast<uint8_t>(r / 255);
        rgb[1] = static_cast<uint8_t>(g / 255);
        rgb[2] = static_cast<uint8_t>(b / 255);
    }
}

} // namespace lumatrim
