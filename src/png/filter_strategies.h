// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Ways to choose each row's filter, and the filtered picture data (a filter byte before each
// row) each one gives.
#pragma once

#include "png/raw_image.h"

#include <cstdint>
#include <vector>

namespace lumatrim::png {

enum class FilterStrategy {
    None,
    Sub,
    Up,
    Average,
    Paeth,
    MinSum,         // the filter with the least sum of bytes taken as signed magnitudes
    Entropy,        // the filter whose bytes have the least Shannon entropy
    Bigrams,        // the filter whose bytes have the fewest distinct pairs of neighbours
    BruteForce,     // the filter that adds the fewest bytes to a fast deflate of the rows so far
    NearBruteForce, // the same over fewer rows before it: about twice as fast
};

std::vector<uint8_t> FilterImage(const RawImage& image, FilterStrategy strategy);

} // namespace lumatrim::png
