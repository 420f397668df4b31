#include "colour_pictures.h"
#include "imaging/errors.h"
#include "imaging/pal8bpp.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <random>
#include <set>
#include <tuple>

using namespace lumatrim;
using namespace lumatrim::test;

namespace {

struct FixedCase {
    const char* name;
    std::function<void(cPal8bpp&)> create;
    int entries;
    bool grey;
    std::vector<std::pair<int, Rgb>> samples; // index and expected colour
};

void SetColour(cPal8bpp& pal, uint8_t index, Rgb c) {
    pal.SetrgbR(index, c.r);
    pal.SetrgbG(index, c.g);
    pal.SetrgbB(index, c.b);
}

} // namespace

TEST(Pal8bppFixed, EntriesCountsAndGreyness) {
    const std::vector<FixedCase> cases = {
        {"grey 0",
         [](cPal8bpp& p) { p.CreateGreyScale(0); },
         2,
         true,
         {{0, {0, 0, 0}}, {1, {255, 255, 255}}, {2, {0, 0, 0}}}},
        {"grey 1",
         [](cPal8bpp& p) { p.CreateGreyScale(1); },
         16,
         true,
         {{1, {17, 17, 17}}, {15, {255, 255, 255}}}},
        {"grey 2", [](cPal8bpp& p) { p.CreateGreyScale(2); }, 256, true, {{200, {200, 200, 200}}}},
        {"EGA",
         [](cPal8bpp& p) { p.CreateEGA(); },
         16,
         false,
         {{1, {128, 0, 0}}, {7, {192, 192, 192}}, {8, {128, 128, 128}}, {14, {0, 255, 255}}}},
        {"halftone 0",
         [](cPal8bpp& p) { p.CreateHalftone(0); },
         8,
         false,
         {{1, {255, 0, 0}}, {7, {255, 255, 255}}}},
        {"halftone 1",
         [](cPal8bpp& p) { p.CreateHalftone(1); },
         27,
         false,
         {{1, {128, 0, 0}}, {26, {255, 255, 255}}}}, // 128, not 127, in the middle
        {"halftone 4",
         [](cPal8bpp& p) { p.CreateHalftone(4); },
         216,
         false,
         {{1, {51, 0, 0}}, {6, {0, 51, 0}}, {36, {0, 0, 51}}, {215, {255, 255, 255}}}},
        {"websafe",
         [](cPal8bpp& p) { p.CreateWebsafe(); },
         256,
         false,
         {{7, {192, 192, 192}},
          {8, {51, 0, 0}},
          {216, {0, 0, 0}},
          {217, {8, 8, 8}},
          {247, {248, 248, 248}},
          {248, {128, 128, 128}},
          {255, {255, 255, 255}}}},
    };
    for (const FixedCase& c : cases) {
        cPal8bpp pal;
        pal.CreateGreyScale(2); // every fixed palette starts from a cleared table
        c.create(pal);
        EXPECT_EQ(pal.Entries(), c.entries) << c.name;
        EXPECT_EQ(pal.IsGreyScale(), c.grey) << c.name;
        EXPECT_NE(pal.hPal(), 0u) << c.name;
        for (const auto& [index, colour] : c.samples)
            EXPECT_EQ(TableEntry(pal.Table(), index), colour) << c.name << " entry " << index;
        for (int i = c.entries; i < 256; ++i)
            ASSERT_EQ(TableEntry(pal.Table(), i), (Rgb{0, 0, 0})) << c.name << " entry " << i;
    }
}

TEST(Pal8bppFixed, WebsafeSkipsTheCubeColoursTheEGAHalvesHold) {
    cPal8bpp pal;
    pal.CreateWebsafe();
    std::set<std::tuple<int, int, int>> colours;
    for (int i = 0; i < 256; ++i) {
        if (i >= 216 && i < 248) continue; // black and the greys, some of which repeat EGA's
        const Rgb c = TableEntry(pal.Table(), i);
        EXPECT_TRUE(colours.insert({c.r, c.g, c.b}).second) << "entry " << i << " repeats";
    }
    EXPECT_EQ(TableEntry(pal.Table(), 215), (Rgb{204, 255, 255})); // the cube's last written
}

TEST(Pal8bppFixed, BadLevelCodesThrowAndLeaveAnEmptyPalette) {
    cPal8bpp pal;
    pal.CreateEGA();
    EXPECT_THROW(pal.CreateGreyScale(3), IndexOutOfRangeError);
    EXPECT_EQ(pal.Entries(), 0);
    pal.CreateEGA();
    EXPECT_THROW(pal.CreateHalftone(5), IndexOutOfRangeError);
    EXPECT_EQ(pal.Entries(), 0);
    EXPECT_EQ(pal.hPal(), 0u);
    EXPECT_FALSE(pal.IsGreyScale());
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
                         Case{{29, 10, 10}, 1}, // nearer
                         Case{{110, 0, 0}, 1},  // 80^2 + 10^2 + 10^2 < 90^2
                         Case{{120, 0, 0}, 3}}) // 80^2 < 90^2 + 10^2 + 10^2
        EXPECT_EQ(pal.ClosestIndex(c.query.r, c.query.g, c.query.b), c.index)
            << int{c.query.r} << "," << int{c.query.g} << "," << int{c.query.b};
    uint8_t r = 0, g = 0, b = 0;
    pal.ClosestColor(190, 5, 5, r, g, b);
    EXPECT_EQ((Rgb{r, g, b}), (Rgb{200, 0, 0}));
}

TEST(Pal8bppSearch, AgreesWithAFullScanOnPalettesFullOfTies) {
    std::mt19937 random(5);
    std::uniform_int_distribution<int> level(0, 6); // few values: many equal entries and ties
    for (int entries : {1, 7, 256}) {
        cPal8bpp pal;
        pal.Initialize(entries);
        for (int i = 0; i < entries; ++i)
            SetColour(pal, static_cast<uint8_t>(i),
                      {static_cast<uint8_t>(40 * level(random)),
                       static_cast<uint8_t>(40 * level(random)),
                       static_cast<uint8_t>(40 * level(random))});
        pal.BuildLogicalPalette();
        for (int q = 0; q < 2000; ++q) {
            const Rgb c{static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
                        static_cast<uint8_t>(20 * level(random))};
            int best = 0, bestDistance = INT32_MAX;
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

TEST(Pal8bppErrors, MisuseThrowsTypedErrors) {
    cPal8bpp pal;
    EXPECT_EQ(pal.lpPalette(), nullptr);
    EXPECT_THROW(pal.rgbR(0), IndexOutOfRangeError);
    EXPECT_THROW(pal.SetrgbB(0, 1), IndexOutOfRangeError);
    EXPECT_THROW(pal.ClosestIndex(0, 0, 0), IndexOutOfRangeError);
    EXPECT_THROW(pal.Initialize(257), IndexOutOfRangeError);
    pal.Initialize(0);
    pal.BuildLogicalPalette();
    EXPECT_THROW(pal.ClosestIndex(0, 0, 0), IndexOutOfRangeError) << "no entries to search";
    EXPECT_THROW(pal.SetEntries(-1), IndexOutOfRangeError);
    pal.CreateEGA();
    pal.Destroy();
    EXPECT_EQ(pal.Entries(), 0);
    EXPECT_EQ(pal.hPal(), 0u);
    EXPECT_THROW(pal.rgbG(3), IndexOutOfRangeError);
}
