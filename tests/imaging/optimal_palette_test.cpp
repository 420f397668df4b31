#include "colour_pictures.h"
#include "imaging/errors.h"
#include "imaging/pal8bpp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace lumatrim;
using namespace lumatrim::test;

namespace {

// A picture of the colours in memory order, one row.
void MakeRow(cDIB& dib, const std::vector<Rgb>& colours) {
    MakePicture(dib, static_cast<int>(colours.size()), 1, {0, 0, 0});
    for (size_t x = 0; x < colours.size(); ++x)
        SetPixel(dib, static_cast<int>(x), 0, colours[x]);
}

std::vector<Rgb> Entries(const cPal8bpp& pal) {
    std::vector<Rgb> entries;
    for (int i = 0; i < pal.Entries(); ++i)
        entries.push_back(TableEntry(pal.Table(), i));
    return entries;
}

std::vector<Rgb> Optimal(const cDIB& dib, int nColors = 256, int nLevels = 8) {
    cPal8bpp pal;
    pal.CreateOptimal(dib, nColors, nLevels, 1.0f, 1.0f, 1.0f);
    EXPECT_NE(pal.hPal(), 0u);
    return Entries(pal);
}

} // namespace

TEST(OptimalPalette, LeavesGiveTheRoundedMeansOfTheirPixels) {
    struct Case {
        const char* name;
        std::vector<Rgb> pixels;
        std::vector<Rgb> entries;
    };
    const std::vector<Case> cases = {
        {"one colour", {{1, 2, 3}, {1, 2, 3}}, {{1, 2, 3}}},
        {"white", {{255, 255, 255}}, {{255, 255, 255}}},
        // 0 to 2 splits at 1, and 1 is not above it; the mean 0.5 rounds to even.
        {"reds 0 and 1 share a leaf", {{0, 9, 9}, {1, 9, 9}, {1, 9, 9}, {0, 9, 9}}, {{0, 9, 9}}},
        {"greens 0 and 1 share a leaf", {{9, 1, 9}, {9, 0, 9}, {9, 1, 9}}, {{9, 1, 9}}},
        {"reds 199 and 200 do not", {{199, 0, 0}, {200, 0, 0}}, {{199, 0, 0}, {200, 0, 0}}},
    };
    for (const Case& c : cases) {
        cDIB dib;
        MakeRow(dib, c.pixels);
        EXPECT_EQ(Optimal(dib), c.entries) << c.name;
    }
}

TEST(OptimalPalette, FoldsTheLastListedNodeOfTheDeepestLevelAndKeepsItsPlace) {
    // Two levels and two colours, read bottom row first: (200,0,0) and (149,0,0) make the
    // first inner node's leaves, (0,0,0) a second inner node; three leaves fold the second
    // (the last listed, with one leaf), then the first into (174.5 -> 174, 0, 0).
    // (0,0,100) then joins the folded second node. Entries follow the node table.
    cDIB dib;
    MakePicture(dib, 2, 2, {0, 0, 0});
    SetPixel(dib, 0, 0, {200, 0, 0});
    SetPixel(dib, 1, 0, {149, 0, 0});
    SetPixel(dib, 0, 1, {0, 0, 0});
    SetPixel(dib, 1, 1, {0, 0, 100});
    EXPECT_EQ(Optimal(dib, 2, 2), (std::vector<Rgb>{{174, 0, 0}, {0, 0, 50}}));
}

TEST(OptimalPalette, TwoHundredAndFiftySevenColoursFoldIntoAtMost256) {
    std::vector<Rgb> pixels;
    for (int i = 0; i < 128; ++i) {
        pixels.push_back({static_cast<uint8_t>(2 * i), 0, 0});
        pixels.push_back({static_cast<uint8_t>(2 * i), 255, 0});
    }
    pixels.push_back({0, 0, 255});
    cDIB dib;
    MakeRow(dib, pixels);
    const std::vector<Rgb> entries = Optimal(dib);
    ASSERT_LE(entries.size(), 256u);

    // The pixels missing from the palette are the ones a fold merged: they became one entry,
    // their rounded mean, and nothing else changed.
    std::vector<Rgb> missing, merged;
    for (const Rgb& p : pixels)
        if (std::find(entries.begin(), entries.end(), p) == entries.end()) missing.push_back(p);
    for (const Rgb& e : entries)
        if (std::find(pixels.begin(), pixels.end(), e) == pixels.end()) merged.push_back(e);
    ASSERT_EQ(missing.size(), 2u);
    ASSERT_EQ(merged.size(), 1u);
    EXPECT_EQ(entries.size(), 256u);
    const auto mean = [](int a, int b) {
        return static_cast<uint8_t>(std::nearbyint((a + b) / 2.0));
    };
    EXPECT_EQ(merged[0], (Rgb{mean(missing[0].r, missing[1].r), mean(missing[0].g, missing[1].g),
                              mean(missing[0].b, missing[1].b)}));
}

TEST(OptimalPalette, OtherDepthsLeaveThePaletteAndBadArgumentsThrow) {
    cDIB dib;
    ASSERT_TRUE(dib.Create(2, 2, 8));
    cPal8bpp pal;
    pal.CreateEGA();
    pal.CreateOptimal(dib, 256, 8, 1, 1, 1);
    EXPECT_EQ(pal.Entries(), 16);
    EXPECT_EQ(TableEntry(pal.Table(), 15), (Rgb{255, 255, 255}));

    MakePicture(dib, 2, 2, {1, 2, 3});
    EXPECT_THROW(pal.CreateOptimal(dib, 257, 8, 1, 1, 1), IndexOutOfRangeError);
    EXPECT_THROW(pal.CreateOptimal(dib, 256, 0, 1, 1, 1), IndexOutOfRangeError);
    EXPECT_THROW(pal.CreateOptimal(dib, 256, 9, 1, 1, 1), IndexOutOfRangeError);
    EXPECT_EQ(pal.Entries(), 16);
}
