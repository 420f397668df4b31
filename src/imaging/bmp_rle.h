// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The walk over BMP run-length codes (the codes are listed in bmp_reader.h), shared by the check
// that counts what they paint and the decoder that paints it, so the two cannot disagree.
#pragma once

#include "imaging/bmp_reader.h"

#include <algorithm>

namespace lumatrim::bmp {

// Where a walk ended: Ok at an end-of-bitmap code, or when the data ends after the last pixel;
// PixelsCutOff when it ends before. `painted` counts the pixels inside the picture that codes set.
struct RleWalk {
    BmpStatus status = BmpStatus::Ok;
    uint64_t painted = 0;
};

// Calls sink.Fill(row, x, count, code) for an encoded run and sink.Copy(row, x, count, bytes)
// for literal indices, with rows in file order and only for pixels inside the picture.
template <class Sink>
RleWalk WalkRle(std::span<const uint8_t> data, int32_t width, int32_t height, bool rle4,
                Sink& sink) {
    RleWalk walk;
    size_t at = 0;
    int64_t x = 0, row = 0; // may pass the picture's edges: what lies beyond is dropped
    const auto inside = [&](int64_t count) {
        return row < height && x < width ? std::min<int64_t>(count, width - x) : 0;
    };
    while (data.size() - at >= 2) {
        const uint8_t count = data[at], code = data[at + 1];
        at += 2;
        if (count > 0) {
            if (const int64_t n = inside(count); n > 0) {
                sink.Fill(static_cast<int32_t>(row), static_cast<int32_t>(x),
                          static_cast<int32_t>(n), code);
                walk.painted += static_cast<uint64_t>(n);
            }
            x += count;
        } else if (code == 0) { // end of line
            x = 0;
            ++row;
        } else if (code == 1) { // end of bitmap
            return walk;
        } else if (code == 2) { // move
            if (data.size() - at < 2) break;
            x += data[at];
            row += data[at + 1];
            at += 2;
        } else { // literal indices
            const size_t bytes = rle4 ? (code + 1u) / 2 : code;
            const size_t padded = bytes + (bytes & 1);
            if (data.size() - at < padded) break;
            if (const int64_t n = inside(code); n > 0) {
                sink.Copy(static_cast<int32_t>(row), static_cast<int32_t>(x),
                          static_cast<int32_t>(n), data.data() + at);
                walk.painted += static_cast<uint64_t>(n);
            }
            x += code;
            at += padded;
        }
    }
    // The data ran out without an end of bitmap: complete only if nothing was left to paint.
    const bool finished = row >= height || (row == height - 1 && x >= width);
    if (!finished) walk.status = BmpStatus::PixelsCutOff;
    return walk;
}

} // namespace lumatrim::bmp
