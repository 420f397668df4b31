// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// mDither8bpp: ordered dithering of a 32-bit surface onto a 256-entry 8-bit surface.
//
// Each pixel is mapped from its own colour and its place in a 4x4 threshold pattern, so the
// scan order does not matter. The pattern is anchored at the first row in memory (the bottom
// picture row) and the first column.
//   Method 0: the fixed 6x6x6 halftone cube; the index is computed directly.
//   Method 1: a palette computed from a thumbnail of at most 150x150 pixels, and a lookup table
//             from a 16x16x16 colour grid to its nearest entries.
// One object per call or per thread: the lookup table lives in the object.
#pragma once

#include <array>
#include <cstdint>

namespace lumatrim {

class cDIB;
class cPal8bpp;

class mDither8bpp {
public:
    static constexpr int32_t kHalftoneCube = 0;
    static constexpr int32_t kOptimalPalette = 1;

    // Throws IndexOutOfRangeError for a method other than 0 or 1; the method is then unchanged.
    void SetDitherMethod(int32_t Method);
    int32_t DitherMethod() const { return method_; }

    // Recreates Target as the dithered 8-bit copy of Source, with the palette as its 256-entry
    // colour table. False, and no pixel written, when Source is not a 32-bit picture, is Target
    // itself, or Target cannot be created.
    bool DitherTo8bpp(const cDIB& Source, cDIB& Target);

private:
    void BuildOptimalPalette(const cDIB& Source, cPal8bpp& Palette) const;
    void BuildNearestLUT(const cPal8bpp& Palette);
    void DitherHalftoneCube(const cDIB& Source, cDIB& Target) const;
    void DitherNearestLUT(const cDIB& Source, cDIB& Target) const;

    int32_t method_ = kHalftoneCube;
    // Palette index of grid colour (17 lr, 17 lg, 17 lb) at 256 lb + 16 lg + lr.
    std::array<uint8_t, 4096> NearestLUT{};
};

} // namespace lumatrim
