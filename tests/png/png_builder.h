// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Small PNG files for the tests, made with the optimizer's own writer: rows with filter byte 0,
// any chunks around them.
#pragma once

#include "png/png_picture.h"
#include "png/png_writer.h"
#include "png/raw_image.h"
#include "png/zlib_stream.h"

#include <zlib.h>

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lumatrim::png::test {

// What a zlib stream, or with `windowBits` -15 a raw deflate stream, inflates to; none unless
// it is one whole stream and nothing more.
inline std::optional<std::vector<uint8_t>> Inflated(std::span<const uint8_t> stream,
                                                    int windowBits = MAX_WBITS) {
    z_stream z{};
    if (inflateInit2(&z, windowBits) != Z_OK) return std::nullopt;
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    std::vector<uint8_t> data, chunk(size_t{1} << 16);
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = chunk.data();
        z.avail_out = static_cast<uInt>(chunk.size());
        status = inflate(&z, Z_NO_FLUSH);
        data.insert(data.end(), chunk.begin(), chunk.end() - z.avail_out);
    }
    inflateEnd(&z);
    if (status != Z_STREAM_END || z.avail_in != 0) return std::nullopt;
    return data;
}

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
