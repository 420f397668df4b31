// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The eight EXIF orientations as one mapping: the upright picture's pixel (x, y) is stored at
// (a, b) = transposed ? (y, x) : (x, y), each axis then mirrored where the flag says, as
// a' = width - 1 - a over the stored picture's width (b likewise over its height).
#pragma once

#include <cstdint>

namespace lumatrim {

struct OrientationMap {
    bool transposed = false;
    bool mirrorX = false; // across the stored picture's columns
    bool mirrorY = false; // across its rows
};

// 1 is upright; values outside 1 to 8 are treated as 1, as browsers do.
constexpr OrientationMap MapOfOrientation(uint8_t orientation) {
    switch (orientation) {
    case 2:
        return {false, true, false}; // mirrored left to right
    case 3:
        return {false, true, true}; // turned half a circle
    case 4:
        return {false, false, true}; // mirrored top to bottom
    case 5:
        return {true, false, false}; // mirrored across the top-left diagonal
    case 6:
        return {true, false, true}; // needs a quarter turn clockwise
    case 7:
        return {true, true, true}; // mirrored across the other diagonal
    case 8:
        return {true, true, false}; // needs a quarter turn anticlockwise
    default:
        return {};
    }
}

} // namespace lumatrim
