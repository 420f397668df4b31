// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "imaging/dib.h"
#include "imaging/dither8bpp.h"
#include "imaging/pal8bpp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <random>
#include <span>

using namespace lumatrim;

namespace {

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

void PrintTo(const Rgb& c, std::ostream* os) {
    *os << "(" << int{c.r} << ", " << int{c.g} << ", " << int{c.b} << ")";
}

void SetPixel(cDIB& dib, int x, int memoryRow, Rgb c) {
    uint8_t* p = dib.lpBits() + memoryRow * dib.BytesPerScanline() + 4 * x;
    p[0] = c.b, p[1] = c.g, p[2] = c.r;
}

// A 32-bit picture of one colour, or one row of the given colours in memory order.
void MakePicture(cDIB& dib, int width, int height, Rgb fill) {
    ASSERT_TRUE(dib.Create(width, height, 32));
    dib.Cls(RGB(fill.r, fill.g, fill.b));
}
void MakeRow(cDIB& dib, const std::vector<Rgb>& colours) {
    MakePicture(dib, static_cast<int>(colours.size()), 1, {0, 0, 0});
    for (size_t x = 0; x < colours.size(); ++x)
        SetPixel(dib, static_cast<int>(x), 0, colours[x]);
}

// Entry i of a colour table in the blue, green, red, 0 layout.
Rgb TableEntry(std::span<const uint8_t> table, int i) {
    return {table[4 * i + 2], table[4 * i + 1], table[4 * i]};
}

Rgb OutputColour(const cDIB& target, int x, int memoryRow) {
    return TableEntry(target.ColorTable(),
                      target.lpBits()[memoryRow * target.BytesPerScanline() + x]);
}

void Dither(const cDIB& source, int method, cDIB& target) {
    mDither8bpp dither;
    dither.SetDitherMethod(method);
    EXPECT_TRUE(dither.DitherTo8bpp(source, target));
}

std::vector<Rgb> Optimal(const cDIB& dib, int nColors = 256, int nLevels = 8) {
    cPal8bpp pal;
    pal.CreateOptimal(dib, nColors, nLevels, 1.0f, 1.0f, 1.0f);
    std::vector<Rgb> entries;
    for (int i = 0; i < pal.Entries(); ++i)
        entries.push_back(TableEntry(pal.Table(), i));
    return entries;
}

} // namespace

// The full scan takes the lowest index among the nearest entries, so exact matches and ties
// are covered too.
TEST(Pal8bppSearch, AgreesWithAFullScanOnPalettesFullOfTies) {
    std::mt19937 random(5);
    std::uniform_int_distribution<int> level(0, 6); // few values: many equal entries and ties
    const auto channel = [&](int step) { return static_cast<uint8_t>(step * level(random)); };
    for (int entries : {1, 7, 256}) {
        cPal8bpp pal;
        pal.Initialize(entries);
        for (int i = 0; i < entries; ++i)
            pal.SetrgbR(uint8_t(i), channel(40)), pal.SetrgbG(uint8_t(i), channel(40)),
                pal.SetrgbB(uint8_t(i), channel(40));
        pal.BuildLogicalPalette();
        for (int q = 0; q < 2000; ++q) {
            const Rgb c{channel(20), static_cast<uint8_t>(random()), channel(20)};
            int best = 0, bestDistance = INT_MAX;
            for (int i = 0; i < entries; ++i) {
                const Rgb e = TableEntry(pal.Table(), i);
                const int d = (e.r - c.r) * (e.r - c.r) + (e.g - c.g) * (e.g - c.g) +
                              (e.b - c.b) * (e.b - c.b);
                if (d < bestDistance) best = i, bestDistance = d;
            }
            ASSERT_EQ(pal.ClosestIndex(c.r, c.g, c.b), best) << entries << " entries, query " << q;
        }
    }
}

// Leaves give the rounded means of their pixels; when there are too many, the last listed node
// of the deepest level folds and keeps its place in the table.
TEST(OptimalPalette, LeavesAndFoldsGiveTheRoundedMeansOfTheirPixels) {
    struct Case {
        const char* name;
        std::vector<Rgb> pixels;
        int colours, levels;
        std::vector<Rgb> entries;
    };
    const Case cases[] = {
        // 0 to 2 splits at 1, and 1 is not above it; the mean 0.5 rounds to even.
        {"reds 0 and 1 share a leaf",
         {{0, 9, 9}, {1, 9, 9}, {1, 9, 9}, {0, 9, 9}},
         256,
         8,
         {{0, 9, 9}}},
        {"greens 0 and 1 share a leaf", {{9, 1, 9}, {9, 0, 9}, {9, 1, 9}}, 256, 8, {{9, 1, 9}}},
        {"reds 199 and 200 do not", {{199, 0, 0}, {200, 0, 0}}, 256, 8, {{199, 0, 0}, {200, 0, 0}}},
        // Three leaves fold the last listed node ((0,0,0)), then the reds into (174.5 -> 174,
        // 0, 0); (0,0,100) joins the folded node.
        {"folds",
         {{200, 0, 0}, {149, 0, 0}, {0, 0, 0}, {0, 0, 100}},
         2,
         2,
         {{174, 0, 0}, {0, 0, 50}}},
    };
    for (const Case& c : cases) {
        cDIB dib;
        MakeRow(dib, c.pixels);
        EXPECT_EQ(Optimal(dib, c.colours, c.levels), c.entries) << c.name;
    }
}

// One colour too many: exactly two pixels' colours go, replaced by their rounded mean.
TEST(OptimalPalette, TwoHundredAndFiftySevenColoursFoldIntoAtMost256) {
    std::vector<Rgb> pixels;
    for (int i = 0; i < 128; ++i)
        pixels.insert(pixels.end(), {{uint8_t(2 * i), 0, 0}, {uint8_t(2 * i), 255, 0}});
    pixels.push_back({0, 0, 255});
    cDIB dib;
    MakeRow(dib, pixels);
    const std::vector<Rgb> entries = Optimal(dib);
    std::vector<Rgb> missing, merged;
    for (const Rgb& p : pixels)
        if (std::find(entries.begin(), entries.end(), p) == entries.end()) missing.push_back(p);
    for (const Rgb& e : entries)
        if (std::find(pixels.begin(), pixels.end(), e) == pixels.end()) merged.push_back(e);
    ASSERT_EQ((std::array{entries.size(), missing.size(), merged.size()}),
              (std::array<size_t, 3>{256, 2, 1}));
    const auto mean = [](int a, int b) {
        return static_cast<uint8_t>(std::nearbyint((a + b) / 2.0));
    };
    EXPECT_EQ(merged[0], (Rgb{mean(missing[0].r, missing[1].r), mean(missing[0].g, missing[1].g),
                              mean(missing[0].b, missing[1].b)}));
}

// A grey between two grid levels takes the upper one where the threshold is low. The pattern
// is anchored at the first memory row (the bottom picture row) and the first column. A grey on
// a level is not dithered, and the row padding stays zero.
TEST(Dither8bpp, PatternPhaseStartsAtTheBottomLeft) {
    constexpr bool kNone[4][4] = {};
    constexpr bool kQuarter[4][4] = {{1, 0, 1, 0}, {0, 0, 0, 0}, {1, 0, 1, 0}, {0, 0, 0, 0}};
    constexpr bool kChecker[4][4] = {{1, 0, 1, 0}, {0, 1, 0, 1}, {1, 0, 1, 0}, {0, 1, 0, 1}};
    struct Case {
        int method;
        uint8_t grey, low, high;
        const bool (*upper)[4];
    };
    for (const Case c : {Case{1, 124, 119, 136, kQuarter}, // thresholds 1 to 4 go up
                         Case{1, 128, 119, 136, kChecker}, // 1 to 8
                         Case{0, 115, 102, 153, kQuarter}, Case{1, 119, 119, 136, kNone},
                         Case{0, 102, 102, 153, kNone}}) {
        // 5 x 6: neither size is a multiple of 4. The grid greys themselves give the optimal
        // method its palette entries; they sit in the last two pixels, which are not checked.
        cDIB source;
        MakePicture(source, 5, 6, {c.grey, c.grey, c.grey});
        SetPixel(source, 3, 5, {c.low, c.low, c.low});
        SetPixel(source, 4, 5, {c.high, c.high, c.high});
        cDIB target;
        Dither(source, c.method, target);
        ASSERT_EQ(target.BytesPerScanline(), 8);
        for (int row = 0; row < 6; ++row) {
            for (int x = 0; x < (row == 5 ? 3 : 5); ++x) {
                const uint8_t level = c.upper[row % 4][x % 4] ? c.high : c.low;
                EXPECT_EQ(OutputColour(target, x, row), (Rgb{level, level, level}))
                    << "method " << c.method << " grey " << int{c.grey} << " at " << x << ","
                    << row;
            }
            const uint8_t* padding = target.lpBits() + row * 8 + 5;
            EXPECT_EQ(padding[0] | padding[1] | padding[2], 0) << "method " << c.method;
        }
    }
}

// The palette comes from the picture fitted into 150 x 150 by nearest-pixel sampling: one
// marked red pixel shows whether the thumbnail kept it; where it did, the pixel stays red. The
// target takes the source's size whatever it held; pictures 300 or more times wider than high (or
// the reverse) still get one.
TEST(Dither8bpp, PaletteComesFromA150By150Thumbnail) {
    struct Case {
        int width, height, x, y; // y = 0 is the top row
        bool kept;
    };
    for (const Case c : {Case{150, 150, 149, 149, true}, // used as it is
                         Case{151, 151, 150, 0, false},  // the last column is dropped
                         Case{300, 150, 2, 2, true},     // 150 x 75: every second pixel
                         Case{300, 150, 1, 0, false},    // odd columns are dropped
                         Case{300, 150, 2, 1, false},    // so are odd rows: the aspect is kept
                         Case{1000, 1, 6, 0, true},      // 150 x 1, not 150 x 0
                         Case{1, 1000, 0, 993, true}}) {
        cDIB source, target;
        MakePicture(source, c.width, c.height, {0, 0, 0});
        SetPixel(source, c.x, c.height - 1 - c.y, {255, 0, 0});
        ASSERT_TRUE(target.Create(7, 3, 32));
        Dither(source, 1, target);
        bool kept = false;
        for (int i = 0; i < 256; ++i)
            kept |= TableEntry(target.ColorTable(), i) == Rgb{255, 0, 0};
        EXPECT_EQ(kept, c.kept) << c.width << "x" << c.height << " at " << c.x << "," << c.y;
        if (kept) {
            EXPECT_EQ(OutputColour(target, c.x, c.height - 1 - c.y), (Rgb{255, 0, 0}));
        }
        EXPECT_EQ(target.Width() * 10000 + target.Height(), c.width * 10000 + c.height);
    }
}
