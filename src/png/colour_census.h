// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// One pass over an RGBA picture telling which smaller layouts hold it exactly.
#pragma once

#include "png/png_picture.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace lumatrim::png {

struct ColourCensus {
    bool grey = true;        // every pixel has R = G = B
    bool opaque = true;      // every alpha is the largest value
    bool binaryAlpha = true; // every alpha is 0 or the largest value
    // The one colour (RGB) of every fully transparent pixel, when it is one colour and no opaque
    // pixel has it: a tRNS colour key then stands for the alpha channel.
    std::optional<std::array<uint16_t, 3>> keyColour;
    // The smallest grey depth (1, 2, 4, 8 or 16) that holds every grey level exactly.
    uint8_t greyDepth = 1;
    // The distinct colours, 8-bit pictures only, when there are 256 or fewer.
    std::optional<std::vector<RgbaColour>> colours;
};

// Whether every 16-bit sample has equal high and low bytes (so 8 bits hold it).
bool FitsEightBits(const RgbaPicture& picture);

// Halves the samples of a picture that `FitsEightBits`.
void ToEightBits(RgbaPicture& picture);

ColourCensus TakeCensus(const RgbaPicture& picture);

} // namespace lumatrim::png
