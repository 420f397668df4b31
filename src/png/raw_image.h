// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// A picture in one of PNG's own sample layouts, ready to be filtered: packed rows of the colour
// type and bit depth that IHDR will name, samples of 16 bits big-endian, with its PLTE and tRNS.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumatrim::png {

enum ColourType : uint8_t {
    kGrey = 0,
    kTruecolour = 2,
    kIndexed = 3,
    kGreyAlpha = 4,
    kTruecolourAlpha = 6,
};

inline constexpr uint32_t SamplesPerPixel(uint8_t colourType) {
    switch (colourType) {
    case kTruecolour:
        return 3;
    case kGreyAlpha:
        return 2;
    case kTruecolourAlpha:
        return 4;
    default:
        return 1;
    }
}

struct RawImage {
    uint32_t width = 0;
    uint32_t height = 0;
    uint8_t colourType = kTruecolourAlpha;
    uint8_t bitDepth = 8;
    std::vector<uint8_t> rows; // height rows of RowBytes()
    std::vector<uint8_t> plte; // 3 bytes an entry, for kIndexed
    std::vector<uint8_t> trns; // as the tRNS chunk holds it; empty for none

    size_t BitsPerPixel() const { return size_t{SamplesPerPixel(colourType)} * bitDepth; }
    size_t RowBytes() const { return (size_t{width} * BitsPerPixel() + 7) / 8; }
    // The distance the filters look back: whole pixels, at least one byte.
    size_t FilterStride() const { return (BitsPerPixel() + 7) / 8; }
};

} // namespace lumatrim::png
