// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/platform/truncated_picture.h"

#include <cstdlib>

namespace lumatrim {

namespace {

// BMP numbers are little-endian.
uint32_t Read16(std::span<const uint8_t> file, size_t at) {
    return file[at] | uint32_t{file[at + 1]} << 8;
}

uint32_t Read32(std::span<const uint8_t> file, size_t at) {
    return Read16(file, at) | Read16(file, at + 2) << 16;
}

constexpr uint32_t kBiRgb = 0, kBiBitfields = 3, kBiAlphaBitfields = 6;

bool IsTruncatedBmp(std::span<const uint8_t> file) {
    if (file.size() < 26) return false;
    const uint32_t headerSize = Read32(file, 14);
    int64_t width = 0, height = 0, bpp = 0;
    if (headerSize == 12) { // OS/2 core header: 16-bit fields, never compressed
        width = Read16(file, 18);
        height = static_cast<int16_t>(Read16(file, 20));
        bpp = Read16(file, 24);
    } else {
        if (headerSize < 40) return false;
        // Qt reads the missing rest of a cut-off header as zeros: an uncompressed picture of
        // whatever size the bytes that are there claim.
        if (file.size() < 54) return true;
        const uint32_t compression = Read32(file, 30);
        if (compression != kBiRgb && compression != kBiBitfields &&
            compression != kBiAlphaBitfields)
            return false; // run-length or embedded data: its length is not in the header
        width = static_cast<int32_t>(Read32(file, 18));
        height = static_cast<int32_t>(Read32(file, 22));
        bpp = Read16(file, 28);
    }
    if (width <= 0 || height == 0 || bpp == 0) return false;
    const int64_t stride = (width * bpp + 31) / 32 * 4;
    const int64_t rows = std::abs(height);
    if (rows - 1 > static_cast<int64_t>(file.size()) / stride) return true; // spares an overflow
    // The last row's padding is not required: some writers leave it out.
    const int64_t needed = int64_t{Read32(file, 10)} + stride * (rows - 1) + (width * bpp + 7) / 8;
    return static_cast<int64_t>(file.size()) < needed;
}

} // namespace

bool IsTruncatedPicture(std::span<const uint8_t> file) {
    if (file.size() >= 2 && file[0] == 'B' && file[1] == 'M') return IsTruncatedBmp(file);
    return false;
}

} // namespace lumatrim
