// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "png/row_packing.h"

namespace lumatrim::png {

void PackRows(RawImage& image, uint8_t depth) {
    image.bitDepth = depth;
    const size_t width = image.width;
    const size_t rowBytes = image.RowBytes();
    const uint32_t perByte = 8u / depth;
    uint8_t* bytes = image.rows.data();
    for (size_t y = 0; y < image.height; ++y) {
        const uint8_t* in = bytes + y * width;
        uint8_t* out = bytes + y * rowBytes;
        for (size_t x = 0; x < width; x += perByte) {
            uint32_t packed = 0;
            for (uint32_t k = 0; k < perByte; ++k) {
                const uint32_t value = x + k < width ? in[x + k] : 0u;
                packed |= value << (8 - depth * (k + 1));
            }
            out[x / perByte] = static_cast<uint8_t>(packed);
        }
    }
    image.rows.resize(rowBytes * image.height);
}

} // namespace lumatrim::png
