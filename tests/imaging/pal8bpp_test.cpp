#include "colour_pictures.h"
#include "imaging/errors.h"
#include "imaging/pal8bpp.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

using namespace lumatrim;
using namespace lumatrim::test;

namespace {

enum class Fixed { Grey, EGA, Halftone, Websafe };

void Create(cPal8bpp& pal, Fixed kind, int code) {
    switch (kind) {
    case Fixed::Grey:
        return pal.CreateGreyScale(code);
    case Fixed::EGA:
        return pal.CreateEGA();
    case Fixed::Halftone:
        return pal.CreateHalftone(code);
    case Fixed::Websafe:
        return pal.CreateWebsafe();
    }
}

void SetColour(cPal8bpp& pal, uint8_t index, Rgb c) {
    pal.SetrgbR(index, c.r);
    pal.SetrgbG(index, c.g);
    pal.SetrgbB(index, c.b);
}

} // namespace

TEST(Pal8bppFixed, EntriesCountsAndGreyness) {
    struct Case {
        Fixed kind;
        int code, entries;
        bool grey;
        std::vector<std::pair<int, Rgb>> samples; // index and colour
    };
    const std::vector<Case> cases = {
        {Fixed::Grey, 0, 2, true, {{0, {0, 0, 0}}}},
        {Fixed::Grey, 1, 16, true, {{1, {17, 17, 17}}}},
        {Fixed::Grey, 2, 256, true, {{200, {200, 200, 200}}}},
        {Fixed::EGA, 0, 16, false, {{7, {192, 192, 192}}, {8, {128, 128, 128}}}},
        {Fixed::Halftone, 0, 8, false, {{1, {255, 0, 0}}}},
        {Fixed::Halftone, 1, 27, false, {{1, {128, 0, 0}}}},
        {Fixed::Halftone, 4, 216, false, {{1, {51, 0, 0}}, {6, {0, 51, 0}}, {36, {0, 0, 51}}}},
        // The cube skips the eight colours the EGA halves hold, so it ends at 215.
        {Fixed::Websafe,
         0,
         256,
         false,
         {{7, {192, 192, 192}},
          {8, {51, 0, 0}},
          {215, {204, 255, 255}},
          {216, {0, 0, 0}},
          {217, {8, 8, 8}},
          {247, {248, 248, 248}},
          {248, {128, 128, 128}}}},
    };
    for (const Case& c : cases) {
        const std::string name =
            std::to_string(static_cast<int>(c.kind)) + "/" + std::to_string(c.code);
        cPal8bpp pal;
        pal.CreateGreyScale(2); // every fixed palette starts from a cleared table
        Create(pal, c.kind, c.code);
        EXPECT_EQ(pal.Entries(), c.entries) << name;
        EXPECT_EQ(pal.IsGreyScale(), c.grey) << name;
        EXPECT_EQ(TableEntry(pal.Table(), c.entries - 1), (Rgb{255, 255, 255})) << name;
        for (const auto& [index, colour] : c.samples)
            EXPECT_EQ(TableEntry(pal.Table(), index), colour) << name << " entry " << index;
        for (int i = c.entries; i < 256; ++i)
            ASSERT_EQ(TableEntry(pal.Table(), i), (Rgb{0, 0, 0})) << name << " entry " << i;
    }
}

TEST(Pal8bppSearch, ExactMatchesWinAndTiesGoToTheLowestIndex) {
    cPal8bpp pal;
    pal.Initialize(4);
    SetColour(pal, 0, {10, 10, 10});
    SetColour(pal, 1, {30, 10, 10});
    SetColour(pal, 2, {30, 10, 10});
    SetColour(pal, 3, {200, 0, 0});
    pal.BuildLogicalPalette();
    struct Case {
        Rgb query;
        int index;
    };
    for (const Case c : {Case{{30, 10, 10}, 1}, // the first of two equal entries
                         Case{{20, 10, 10}, 0}, // equally near 0 and 1
                         Case{{110, 0, 0}, 1},  // 80^2 + 10^2 + 10^2 < 90^2
                         Case{{120, 0, 0}, 3}}) // 80^2 < 90^2 + 10^2 + 10^2
        EXPECT_EQ(pal.ClosestIndex(c.query.r, c.query.g, c.query.b), c.index) << c.index;
    uint8_t r = 0, g = 0, b = 0;
    pal.ClosestColor(190, 5, 5, r, g, b);
    EXPECT_EQ((Rgb{r, g, b}), (Rgb{200, 0, 0}));
}

TEST(Pal8bppSearch, AgreesWithAFullScanOnPalettesFullOfTies) {
    std::mt19937 random(5);
    std::uniform_int_distribution<int> level(0, 6); // few values: many equal entries and ties
    const auto channel = [&](int step) { return static_cast<uint8_t>(step * level(random)); };
    for (int entries : {1, 7, 256}) {
        cPal8bpp pal;
        pal.Initialize(entries);
        for (int i = 0; i < entries; ++i)
            SetColour(pal, static_cast<uint8_t>(i), {channel(40), channel(40), channel(40)});
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

TEST(Pal8bppSearch, OnlyTheValidEntriesAsOfTheLastBuildAreSearched) {
    cPal8bpp pal;
    pal.CreateEGA();
    SetColour(pal, 16, {1, 2, 3}); // beyond Entries
    pal.BuildLogicalPalette();
    EXPECT_EQ(pal.ClosestIndex(1, 2, 3), 0) << "an entry at or beyond Entries never matches";

    pal.SetrgbR(1, 5); // was 128
    EXPECT_EQ(pal.ClosestIndex(140, 0, 0), 1) << "edits are seen only after a build";
    pal.BuildLogicalPalette();
    EXPECT_EQ(pal.ClosestIndex(5, 0, 0), 1);
    EXPECT_EQ(pal.ClosestIndex(140, 0, 0), 9) << "bright red (255, 0, 0) is now the nearest";

    pal.SetEntries(17);
    pal.BuildLogicalPalette();
    EXPECT_EQ(pal.ClosestIndex(1, 2, 3), 16);
}

TEST(Pal8bppErrors, MisuseThrowsTypedErrorsAndBadCodesLeaveAnEmptyPalette) {
    cPal8bpp pal;
    EXPECT_EQ(pal.lpPalette(), nullptr);
    EXPECT_THROW(pal.SetrgbB(0, 1), IndexOutOfRangeError) << "no table yet";
    EXPECT_THROW(pal.ClosestIndex(0, 0, 0), IndexOutOfRangeError);
    EXPECT_THROW(pal.Initialize(257), IndexOutOfRangeError);
    for (const auto& [kind, code] : {std::pair{Fixed::Grey, 3}, std::pair{Fixed::Halftone, 5}}) {
        pal.CreateEGA();
        EXPECT_THROW(Create(pal, kind, code), IndexOutOfRangeError);
        EXPECT_EQ(pal.Entries(), 0);
        EXPECT_EQ(pal.hPal(), 0u);
        EXPECT_FALSE(pal.IsGreyScale());
        EXPECT_THROW(pal.ClosestIndex(0, 0, 0), IndexOutOfRangeError) << "no entries to search";
    }
    EXPECT_THROW(pal.SetEntries(-1), IndexOutOfRangeError);
    pal.Destroy();
    EXPECT_THROW(pal.rgbG(3), IndexOutOfRangeError);
}
