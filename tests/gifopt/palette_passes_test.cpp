// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gifopt/gif_optimizer.h"

#include "gif/gif_builder.h"

#include <gtest/gtest.h>

namespace lumatrim {
namespace {

using namespace mGIFOptimizer;

std::vector<uint8_t> Entries(const ColorTable1024& table, size_t from, size_t to) {
    return {table.begin() + ptrdiff_t(from * 4), table.begin() + ptrdiff_t(to * 4)};
}

TEST(CompactPaletteTest, GlobalKeepsUsedEntriesInOrderAndRenumbersEverythingOnIt) {
    for (const auto& [background, expectedBackground] : {std::pair{4, 0}, std::pair{5, 2}}) {
        cGIF gif;
        test::SetGlobal(gif, 8);
        const ColorTable1024 old = gif.lpGlobalPalette();
        gif.SetScreenBackgroundColorIndex(background);
        test::AddFrame(gif, 4, 1, {0, 3, 5, 3});
        test::SetTransparent(gif, 1, 5);
        EXPECT_EQ(CompactGlobalPalette(gif), 5);
        EXPECT_EQ(test::Pixels(*gif.FrameDIBXOR(1)), (std::vector<uint8_t>{0, 1, 2, 1}));
        EXPECT_EQ(std::tuple(gif.GlobalPaletteEntries(), gif.FrameTransparentColorIndex(1),
                             gif.ScreenBackgroundColorIndex(), gif.LocalPaletteEntries(1)),
                  std::tuple(3, 2, expectedBackground, 3));
        EXPECT_EQ(Entries(gif.lpGlobalPalette(), 1, 2), Entries(old, 3, 4));
        EXPECT_EQ(Entries(gif.lpGlobalPalette(), 3, 256), std::vector<uint8_t>(253 * 4));
        EXPECT_EQ(gif.lpFramePalette(1), gif.lpGlobalPalette());
        // The surface is ready to draw: transparent entry black, mask on the transparent pixel.
        EXPECT_EQ(gif.FrameDIBXOR(1)->ColorTable()[8 + 2], 0);
        EXPECT_EQ(gif.FrameDIBAND(1)->lpBits()[0], 0x20);
    }
}

TEST(CompactPaletteTest, LeavesUnreadablePalettesAlone) {
    cGIF gif;
    test::SetGlobal(gif, 4);
    // A pixel, or a background, beyond the table has no entry to move to: nothing changes.
    test::AddFrame(gif, 4, 1, {0, 0, 0, 6});
    EXPECT_EQ(CompactGlobalPalette(gif), 0);
    test::SetPixels(gif, 1, {0, 0, 0, 0});
    gif.SetScreenBackgroundColorIndex(200);
    EXPECT_EQ(CompactGlobalPalette(gif), 0);
    EXPECT_EQ(gif.GlobalPaletteEntries(), 4);
    EXPECT_EQ(gif.ScreenBackgroundColorIndex(), 200);
}

TEST(CompactPaletteTest, LocalPalettesShrinkAndAGlobalNobodyUsesIsDropped) {
    cGIF gif;
    test::SetGlobal(gif, 4);
    std::vector<uint8_t> pixels(17);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint8_t(i * 15);
    test::AddFrame(gif, 17, 1, pixels, 0, 0, 256);
    test::SetTransparent(gif, 1, 240);
    EXPECT_EQ(CompactLocalPalette(gif, 1), 256 - 17);
    EXPECT_EQ(gif.LocalPaletteEntries(1), 17);
    EXPECT_EQ(test::Pixels(*gif.FrameDIBXOR(1))[16], 16);
    EXPECT_EQ(gif.FrameTransparentColorIndex(1), 16); // the transparent entry moves with its pixel
    // Ready to draw: the surface has the new table (entry 15 was 225) and masks pixel 16.
    EXPECT_EQ(std::pair(gif.FrameDIBXOR(1)->ColorTable()[60], gif.FrameDIBAND(1)->lpBits()[2]),
              std::pair(uint8_t{225}, uint8_t{0x80}));
    EXPECT_EQ(CompactGlobalPalette(gif), 0);
    EXPECT_FALSE(gif.GlobalPaletteExists());
    EXPECT_EQ(gif.GlobalPaletteEntries(), 0);
    EXPECT_EQ(gif.lpGlobalPalette(), ColorTable1024{});
}

TEST(MergeLocalPalettesTest, SharesEqualColoursOneToOneAndAppendsTheRest) {
    cGIF gif;
    test::AddFrame(gif, 3, 1, {0, 1, 2}, 0, 0, 3);
    test::AddFrame(gif, 3, 1, {0, 1, 2}, 0, 0, 3);
    auto& second = gif.lpFramePalette(2);
    second = gif.lpFramePalette(1);
    std::swap_ranges(second.begin(), second.begin() + 4, second.begin() + 8); // 2, 1, 0
    std::copy_n(second.begin() + 4, 4, second.begin() + 8);                   // 2, 1, 1
    test::SetTransparent(gif, 2, 0);
    EXPECT_EQ(MergeLocalPalettes(gif), 2);
    // Frame 1 became the global palette; frame 2's second "1" needed an entry of its own.
    EXPECT_EQ(gif.GlobalPaletteEntries(), 4);
    EXPECT_EQ(test::Pixels(*gif.FrameDIBXOR(1)), (std::vector<uint8_t>{0, 1, 2}));
    EXPECT_EQ(test::Pixels(*gif.FrameDIBXOR(2)), (std::vector<uint8_t>{2, 1, 3}));
    EXPECT_EQ(gif.FrameTransparentColorIndex(2), 2) << "the transparent entry follows its colour";
    // Ready to draw: surface tables show the grown global table, the mask the transparent pixel.
    EXPECT_EQ(gif.FrameDIBXOR(1)->ColorTable()[12], gif.lpGlobalPalette()[12]);
    EXPECT_EQ(gif.FrameDIBAND(2)->lpBits()[0], 0x80);
    for (int32_t n : {1, 2}) {
        EXPECT_FALSE(gif.LocalPaletteUsed(n));
        EXPECT_EQ(gif.LocalPaletteEntries(n), 4);
        EXPECT_EQ(gif.lpFramePalette(n), gif.lpGlobalPalette());
    }
}

TEST(MergeLocalPalettesTest, FramesThatDoNotFitOrReachBeyondTheirTableKeepTheirPalette) {
    cGIF gif;
    test::SetGlobal(gif, 250);
    test::AddFrame(gif, 1, 1, {0});
    test::AddFrame(gif, 10, 1, test::Filled(10, 1, 0), 0, 0, 10);
    std::copy_n(gif.lpGlobalPalette().begin(), 12, gif.lpFramePalette(2).begin()); // 3 shared
    test::AddFrame(gif, 2, 1, {0, 5}, 0, 0, 2);                                    // beyond
    test::AddFrame(gif, 6, 1, test::Filled(6, 1, 0), 0, 0, 6);
    gif.lpFramePalette(4)[3] = 1; // differs from global entry 0 only in the fourth byte
    EXPECT_EQ(MergeLocalPalettes(gif), 1);
    // 7 new colours for 6 free entries; an index beyond its 2 entries.
    for (const auto& [n, entries] : {std::pair{2, 10}, std::pair{3, 2}}) {
        EXPECT_TRUE(gif.LocalPaletteUsed(n));
        EXPECT_EQ(gif.LocalPaletteEntries(n), entries);
    }
    EXPECT_EQ(test::Pixels(*gif.FrameDIBXOR(3)), (std::vector<uint8_t>{0, 5}));
    EXPECT_FALSE(gif.LocalPaletteUsed(4));
    EXPECT_EQ(gif.GlobalPaletteEntries(), 256);
    EXPECT_EQ(gif.LocalPaletteEntries(1), 256);
}

} // namespace
} // namespace lumatrim
