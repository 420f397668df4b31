// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Pictures as the PNG optimizer takes and gives them, and the chunks it carries over.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace lumatrim::png {

// Rows of RGBA samples, top to bottom with no padding: 4 bytes a pixel at 8 bits, or 4 host-order
// uint16_t values a pixel (8 bytes) when `sixteenBit`.
struct RgbaPicture {
    uint32_t width = 0;
    uint32_t height = 0;
    bool sixteenBit = false;
    std::vector<uint8_t> samples;
};

using RgbaColour = std::array<uint8_t, 4>;

// One palette index a pixel, rows top to bottom; indices past the palette's end are invalid.
struct IndexedPicture {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> indices;
    std::vector<RgbaColour> palette; // at most 256 entries
};

// A chunk kept byte for byte: its type, its data (without length and CRC), and where it stood in
// its source: after the picture data, or before it and after PLTE. A chunk keeps its place
// relative to the critical chunks, as PNG editors must keep unknown chunks.
struct PngChunk {
    std::array<char, 4> type{};
    std::vector<uint8_t> data;
    bool afterImageData = false;
    bool afterPalette = false;

    std::string_view Type() const { return {type.data(), type.size()}; }
};

} // namespace lumatrim::png
