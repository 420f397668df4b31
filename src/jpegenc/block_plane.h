// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// One component's 8x8 blocks of DCT coefficients, row by row, 64 values a block in natural
// order: first the exact coefficients (in eighths, the precision of libjpeg's accurate DCT),
// then, once quantized, the values the file codes.
#pragma once

#include "jpegenc/component_planes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumatrim {

inline constexpr float kExactScale = 8.0f; // exact coefficients are held in eighths

struct BlockPlane {
    uint32_t blocksWide = 0;
    uint32_t blocksHigh = 0;
    std::vector<int16_t> values;

    size_t Blocks() const { return size_t{blocksWide} * blocksHigh; }
    int16_t* Block(size_t index) { return values.data() + 64 * index; }
    const int16_t* Block(size_t index) const { return values.data() + 64 * index; }
};

// The exact coefficients of every block of the plane.
BlockPlane TransformPlane(const SamplePlane& plane);

} // namespace lumatrim
