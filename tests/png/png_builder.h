// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Small PNG files for the tests, made with the optimizer's own writer: rows with filter byte 0,
// any chunks around them.
#pragma once

#include "png/png_picture.h"
#include "png/png_writer.h"
#include "png/raw_image.h"
#include "png/zlib_stream.h"

#include <string>
#include <vector>

namespace lumatrim::png::test {

inline std::vector<uint8_t> UnfilteredStream(const RawImage& image) {
    std::vector<uint8_t> filtered;
    const size_t rowBytes = image.RowBytes();
    for (size_t y = 0; y < image.height; ++y) {
        filtered.push_back(0);
        filtered.insert(filtered.end(), image.rows.begin() + static_cast<long>(y * rowBytes),
                        image.rows.begin() + static_cast<long>((y + 1) * rowBytes));
    }
    return ZlibCompressor(1).Compress(filtered);
}

inline std::vector<uint8_t> MakePng(const RawImage& image,
                                    const std::vector<PngChunk>& chunks = {}) {
    return WritePng(image, UnfilteredStream(image), chunks);
}

inline PngChunk Chunk(const std::string& type, const std::string& data, bool after = false,
                      bool afterPalette = false) {
    PngChunk chunk;
    std::copy(type.begin(), type.begin() + 4, chunk.type.begin());
    chunk.data.assign(data.begin(), data.end());
    chunk.afterImageData = after;
    chunk.afterPalette = afterPalette;
    return chunk;
}

// An RGBA picture of `width` x `height` whose pixel at x, y is `colour(x, y)`.
template <typename Colour> RgbaPicture MakeRgba(uint32_t width, uint32_t height, Colour colour) {
    RgbaPicture picture{width, height, false, std::vector<uint8_t>(size_t{width} * height * 4)};
    uint8_t* sample = picture.samples.data();
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x, sample += 4) {
            const RgbaColour c = colour(x, y);
            std::copy(c.begin(), c.end(), sample);
        }
    return picture;
}

} // namespace lumatrim::png::test
