// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpegenc/block_plane.h"

#include "jpegtrellis/forward_dct.h"
#include "jpegtrellis/rounding.h"

namespace lumatrim {

BlockPlane TransformPlane(const SamplePlane& plane) {
    BlockPlane blocks;
    blocks.blocksWide = plane.blocksWide;
    blocks.blocksHigh = plane.blocksHigh;
    blocks.values.resize(64 * blocks.Blocks());
    const ptrdiff_t stride = plane.Stride();
    float coefficients[64];
    int16_t* out = blocks.values.data();
    for (uint32_t by = 0; by < plane.blocksHigh; ++by) {
        const uint8_t* row = plane.samples.data() + by * 8 * stride;
        for (uint32_t bx = 0; bx < plane.blocksWide; ++bx, out += 64) {
            trellis::ForwardDct(row + bx * 8, stride, coefficients);
            // No coefficient of 8-bit samples exceeds 1024, so eighths fit 16 bits.
            for (int k = 0; k < 64; ++k)
                out[k] =
                    static_cast<int16_t>(trellis::RoundHalfAway(coefficients[k] * kExactScale));
        }
    }
    return blocks;
}

} // namespace lumatrim
