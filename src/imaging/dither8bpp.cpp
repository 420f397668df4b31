// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "imaging/dither8bpp.h"

#include "imaging/dib.h"
#include "imaging/errors.h"
#include "imaging/pal8bpp.h"

#include <algorithm>

namespace lumatrim {

namespace {

using Matrix = std::array<std::array<uint8_t, 4>, 4>; // [row phase][column phase]

constexpr Matrix DitherMatrix16 = {{{1, 9, 3, 11}, {13, 5, 15, 7}, {4, 12, 2, 10}, {16, 8, 14, 6}}};
constexpr Matrix DitherMatrix51 = {
    {{3, 29, 10, 35}, {41, 16, 48, 22}, {13, 38, 6, 32}, {51, 26, 45, 19}}};

// A level table over the arguments first..last: clamp(floor((k + bias) / divisor), 0, top).
template <int First, int Last> struct LevelTable {
    std::array<uint8_t, Last - First + 1> levels{};
    constexpr LevelTable(int bias, int divisor, int top) {
        for (int k = First; k <= Last; ++k)
            levels[k - First] = static_cast<uint8_t>(std::clamp((k + bias) / divisor, 0, top));
    }
    // The table seen from v = 0 when the argument is v + shift.
    constexpr const uint8_t* From(int shift) const { return levels.data() + shift - First; }
};

// Level6[k] = clamp(round(k / 51), 0, 5); Level16[k] = clamp(round(k / 17), 0, 15).
// Negative k + bias truncates towards zero, which the clamp takes to level 0 all the same.
constexpr LevelTable<-51, 280> Level6(25, 51, 5);
constexpr LevelTable<-8, 262> Level16(8, 17, 15);

constexpr int32_t kThumbnailBox = 150;

// Runs over the rows in memory order, the pattern's row phase starting at 0 on the first.
// LevelsAt(t) gives the level table for threshold t, seen from channel value 0; IndexOf turns
// the levels of blue, green and red into the target byte.
template <class LevelsAt, class IndexOf>
void DitherRows(const cDIB& Source, cDIB& Target, const Matrix& thresholds, LevelsAt levelsAt,
                IndexOf indexOf) {
    for (int32_t y = 0; y < Source.Height(); ++y) {
        const auto& phaseRow = thresholds[static_cast<size_t>(y & 3)];
        const std::array<const uint8_t*, 4> columnLevels = {
            levelsAt(phaseRow[0]), levelsAt(phaseRow[1]), levelsAt(phaseRow[2]),
            levelsAt(phaseRow[3])};
        const uint8_t* pixel = Source.lpBits() + static_cast<size_t>(y) * Source.BytesPerScanline();
        uint8_t* out = Target.lpBits() + static_cast<size_t>(y) * Target.BytesPerScanline();
        for (int32_t x = 0; x < Source.Width(); ++x, pixel += 4) {
            const uint8_t* level = columnLevels[static_cast<size_t>(x & 3)];
            out[x] = indexOf(level[pixel[0]], level[pixel[1]], level[pixel[2]]);
        }
    }
}

} // namespace

void mDither8bpp::SetDitherMethod(int32_t Method) {
    if (Method != kHalftoneCube && Method != kOptimalPalette)
        throw IndexOutOfRangeError("unknown dither method");
    method_ = Method;
}

bool mDither8bpp::DitherTo8bpp(const cDIB& Source, cDIB& Target) {
    if (&Source == &Target || !Source.hDIB() || Source.BPP() != 32) return false;
    cPal8bpp palette;
    if (method_ == kOptimalPalette) {
        BuildOptimalPalette(Source, palette);
        if (palette.Entries() == 0) return false; // no memory for the thumbnail
        BuildNearestLUT(palette);
    } else {
        palette.CreateHalftone(4);
    }
    if (!Target.Create(Source.Width(), Source.Height(), 8)) return false;
    Target.SetPalette(palette.Table());
    if (method_ == kOptimalPalette)
        DitherNearestLUT(Source, Target);
    else
        DitherHalftoneCube(Source, Target);
    return true;
}

void mDither8bpp::BuildOptimalPalette(const cDIB& Source, cPal8bpp& Palette) const {
    int32_t bfx = 0, bfy = 0, bfW = 0, bfH = 0;
    Source.GetBestFitInfo(kThumbnailBox, kThumbnailBox, bfx, bfy, bfW, bfH, false);
    // Sampled straight from the source: a full-size copy first would double the memory a
    // large picture takes, for the same pixels. A picture 300 or more times wider than high
    // (or the reverse) would fit to 0 pixels.
    cDIB thumbnail;
    if (!thumbnail.Create(std::max(bfW, 1), std::max(bfH, 1), 32)) return;
    Source.Stretch(thumbnail.hDIBDC(), 0, 0, thumbnail.Width(), thumbnail.Height());
    Palette.CreateOptimal(thumbnail, 256, 8, 1.0f, 1.0f, 1.0f);
}

void mDither8bpp::DitherHalftoneCube(const cDIB& Source, cDIB& Target) const {
    DitherRows(
        Source, Target, DitherMatrix51, [](int t) { return Level6.From(26 - t); },
        [](uint8_t b, uint8_t g, uint8_t r) { return static_cast<uint8_t>(36 * b + 6 * g + r); });
}

void mDither8bpp::DitherNearestLUT(const cDIB& Source, cDIB& Target) const {
    DitherRows(
        Source, Target, DitherMatrix16, [](int t) { return Level16.From(8 - t); },
        [this](uint8_t b, uint8_t g, uint8_t r) { return NearestLUT[256u * b + 16u * g + r]; });
}

void mDither8bpp::BuildNearestLUT(const cPal8bpp& Palette) {
    for (int32_t lb = 0; lb < 16; ++lb)
        for (int32_t lg = 0; lg < 16; ++lg)
            for (int32_t lr = 0; lr < 16; ++lr)
                NearestLUT[static_cast<size_t>(256 * lb + 16 * lg + lr)] = Palette.ClosestIndex(
                    static_cast<uint8_t>(17 * lr), static_cast<uint8_t>(17 * lg),
                    static_cast<uint8_t>(17 * lb));
}

} // namespace lumatrim
