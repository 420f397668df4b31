// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The fixed palettes: grey ramps, the EGA colours, halftone cubes and the web-safe set.
#include "imaging/errors.h"
#include "imaging/pal8bpp.h"

#include <algorithm>
#include <array>

namespace lumatrim {

namespace {

struct Rgb {
    uint8_t r, g, b;
};

constexpr std::array<Rgb, 16> kEGA = {{{0, 0, 0},
                                       {128, 0, 0},
                                       {0, 128, 0},
                                       {128, 128, 0},
                                       {0, 0, 128},
                                       {128, 0, 128},
                                       {0, 128, 128},
                                       {192, 192, 192},
                                       {128, 128, 128},
                                       {255, 0, 0},
                                       {0, 255, 0},
                                       {255, 255, 0},
                                       {0, 0, 255},
                                       {255, 0, 255},
                                       {0, 255, 255},
                                       {255, 255, 255}}};

constexpr std::array<int32_t, 3> kGreySteps = {255, 17, 1};
constexpr std::array<int32_t, 5> kHalftoneSteps = {256, 128, 85, 64, 51};

// The cube colours the two EGA halves already hold: black, white and the six pure colours.
bool IsInEGA(int32_t r, int32_t g, int32_t b) {
    const int32_t sum = r + g + b;
    const int32_t zeros = (r == 0) + (g == 0) + (b == 0);
    return sum == 0 || sum == 765 || (sum == 510 && zeros == 1) || (sum == 255 && zeros == 2);
}

} // namespace

void cPal8bpp::WriteEGAHalf(int32_t start, int32_t firstEGA) {
    for (int32_t i = 0; i < 8; ++i) {
        const Rgb& c = kEGA[static_cast<size_t>(firstEGA + i)];
        SetEntry(start + i, c.r, c.g, c.b);
    }
}

void cPal8bpp::CreateGreyScale(int32_t GreyLevels) {
    Initialize(0);
    if (GreyLevels < 0 || GreyLevels > 2) throw IndexOutOfRangeError("unknown grey level code");
    const int32_t step = kGreySteps[static_cast<size_t>(GreyLevels)];
    for (int32_t i = 0; i <= 255 / step; ++i)
        SetEntry(i, i * step, i * step, i * step);
    SetEntries(255 / step + 1);
    BuildLogicalPalette();
}

void cPal8bpp::CreateEGA() {
    Initialize(0);
    WriteEGAHalf(0, 0);
    WriteEGAHalf(8, 8);
    SetEntries(16);
    BuildLogicalPalette();
}

void cPal8bpp::CreateHalftone(int32_t HalftoneLevels) {
    Initialize(0);
    if (HalftoneLevels < 0 || HalftoneLevels > 4)
        throw IndexOutOfRangeError("unknown halftone level code");
    const int32_t step = kHalftoneSteps[static_cast<size_t>(HalftoneLevels)];
    int32_t index = 0;
    // Blue outermost and red innermost: entry (b * n + g) * n + r for level indices b, g, r.
    for (int32_t b = 0; b <= 256; b += step)
        for (int32_t g = 0; g <= 256; g += step)
            for (int32_t r = 0; r <= 256; r += step)
                SetEntry(index++, std::min(r, 255), std::min(g, 255), std::min(b, 255));
    SetEntries(index);
    BuildLogicalPalette();
}

void cPal8bpp::CreateWebsafe() {
    Initialize(0);
    WriteEGAHalf(0, 0);
    int32_t index = 8;
    for (int32_t b = 0; b <= 255; b += 51)
        for (int32_t g = 0; g <= 255; g += 51)
            for (int32_t r = 0; r <= 255; r += 51)
                if (!IsInEGA(r, g, b)) SetEntry(index++, r, g, b);
    // Entry 216 stays black; 217 to 247 are the greys 8 to 248.
    for (int32_t k = 1; k <= 31; ++k)
        SetEntry(216 + k, 8 * k, 8 * k, 8 * k);
    WriteEGAHalf(248, 8);
    SetEntries(256);
    BuildLogicalPalette();
}

} // namespace lumatrim
