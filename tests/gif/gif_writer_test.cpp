// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gif/gif.h"
#include "gif_builder.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <random>

namespace lumatrim {
namespace {

using test::GifBuilder;
using Bytes = std::vector<uint8_t>;

TEST(GifWriter, OneFrameFileLayout) {
    cGIF gif;
    gif.FrameInsert(1, 1, 1, false);
    gif.FrameDIBXOR(1)->lpBits()[0] = 1;
    // No global table, a graphic control even with nothing to say, a 2-entry local table, then
    // Clear, 1, End at 3 bits.
    GifBuilder expected;
    expected.Text("GIF89a").Word(1).Word(1).Bytes({0, 0, 0}).Control(0, 0, 0);
    expected.Bytes({0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0x80, 0, 0, 0, 255, 255, 255});
    expected.Bytes({2, 2, 0x4C, 0x01, 0, 0x3B});
    EXPECT_EQ(gif.SaveToMemory(), expected.bytes());
}

TEST(GifWriter, GlobalTableLoopingBlockAndFrameFields) {
    cGIF gif;
    gif.SetGlobalPaletteExists(true);
    gif.SetGlobalPaletteEntries(5);
    gif.lpGlobalPalette()[4 * 4 + 2] = 200; // red of entry 4
    gif.FrameInsert(1, 2, 2, true);
    gif.FrameInsert(2, 2, 2, true);
    gif.SetFrameTransparentColorIndex(1, 3); // unused without transparency: written as 0
    gif.SetFrameDisposalMethod(2, 3);
    gif.SetFrameUserInput(2, true);
    gif.SetFrameUseTransparentColor(2, true);
    gif.SetFrameTransparentColorIndex(2, 4);
    gif.SetFrameDelay(2, 0x0102);
    gif.SetLocalPaletteSorted(2, true);
    const auto bytes = gif.SaveToMemory();
    // An 8-entry table with colour resolution equal to its size, padded with black.
    GifBuilder start;
    start.Text("GIF89a").Word(2).Word(2).Bytes({0xA2, 0, 0});
    for (int i = 0; i < 8; ++i)
        start.Bytes({static_cast<uint8_t>(i == 4 ? 200 : 0), 0, 0});
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 56), start.Looping(0).bytes());
    EXPECT_TRUE(test::Contains(bytes, Bytes{0x21, 0xF9, 4, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(test::Contains(bytes, Bytes{0x21, 0xF9, 4, 3 << 2 | 2 | 1, 2, 1, 4, 0}));
    // No local table: table size field 2, sort bit from the frame; the code size follows the
    // pixels (all index 0), not the table.
    EXPECT_TRUE(test::Contains(bytes, Bytes{0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0x22, 2}));
}

TEST(GifWriter, ImpossibleDocumentsFailWithoutTouchingTheTarget) {
    test::TempDir dir;
    const auto target = dir / "out.gif";
    test::WriteBytes(target, {1, 2, 3});
    cGIF gif;
    EXPECT_FALSE(gif.Save(target)); // no frames
    gif.FrameInsert(1, 1, 1, false);
    gif.SetLocalPaletteUsed(1, false); // and no global table
    EXPECT_FALSE(gif.Save(target));
    gif.SetLocalPaletteUsed(1, true);
    gif.SetFrameDisposalMethod(1, 64);
    EXPECT_FALSE(gif.Save(target));
    gif.SetFrameDisposalMethod(1, 63); // spills into the reserved bits, as stored
    EXPECT_TRUE(test::Contains(gif.SaveToMemory(), Bytes{0x21, 0xF9, 4, 63 << 2}));
    gif.SetLocalPaletteEntries(1, 257);
    EXPECT_TRUE(gif.SaveToMemory().empty());
    EXPECT_EQ(test::ReadBytes(target), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_FALSE(gif.Save(dir / "missing" / "out.gif"));
    EXPECT_EQ(dir.FileNames(), std::vector<std::string>{"out.gif"});
}

// Every frame field, table size and comment shape comes back, and a second save is identical.
// The best of the clear policies is never larger than the classic one and reads back the same.
TEST(GifWriter, RoundTripsEveryFieldTableSizeAndComment) {
    std::mt19937 random(3);
    for (const int entries : {2, 16, 256}) {
        SCOPED_TRACE(entries);
        cGIF gif;
        gif.SetGlobalPaletteExists(true);
        gif.SetGlobalPaletteEntries(entries);
        for (int i = 0; i < 4 * entries; ++i)
            if (i % 4 != 3) gif.lpGlobalPalette()[static_cast<size_t>(i)] = random() & 0xFF;
        gif.SetAnimationLoops(entries);
        gif.SetScreenBackgroundColorIndex(entries - 1);
        gif.SetScreenPixelAspectRatio(0.5f);
        const std::pair<int32_t, int32_t> sizes[]{{1, 1}, {7, 4}, {3, 9}, {640, 480}};
        for (int32_t n = 1; n <= 4; ++n) {
            const auto [w, h] = sizes[n - 1];
            gif.FrameInsert(n, w, h, n % 2 == 1);
            gif.SetFrameInterlaced(n, n >= 2);
            gif.SetFrameLeft(n, n * 3);
            gif.SetFrameDelay(n, -n);
            gif.SetFrameDisposalMethod(n, n);
            gif.SetFrameUserInput(n, n == 3);
            gif.SetFrameUseTransparentColor(n, n % 2 == 0);
            gif.SetFrameTransparentColorIndex(n, n % 2 == 0 ? 1 : 0);
            gif.FrameCommentAdd(n);
            gif.SetFrameComment(n, 1, n == 2 ? "" : std::string(256 + n, 'a'));
            const int32_t colours = gif.LocalPaletteUsed(n) ? 2 : entries;
            const auto dib = gif.FrameDIBXOR(n);
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x)
                    dib->lpBits()[y * dib->BytesPerScanline() + x] =
                        static_cast<uint8_t>((x / 5 + y / 3 + (random() % 7 == 0)) % colours);
        }
        // An index beyond the 2-entry local table needs a wider code size to survive.
        gif.FrameDIBXOR(3)->lpBits()[1] = 5;
        gif.TrailingCommentAdd();
        gif.SetTrailingComment(1, "\xE9");
        const auto one = gif.SaveToMemory(LzwEffort::OnePolicy);
        const auto best = gif.SaveToMemory(LzwEffort::BestPolicy);
        EXPECT_LT(best.size(), one.size());
        for (const auto* bytes : {&one, &best}) {
            cGIF back;
            ASSERT_TRUE(back.LoadFromStream(*bytes));
            EXPECT_EQ(test::Describe(back), test::Describe(gif));
            for (int32_t n = 1; n <= 4; ++n) {
                EXPECT_EQ(back.lpFramePalette(n), gif.lpFramePalette(n)) << n;
                EXPECT_EQ(test::Pixels(*back.FrameDIBXOR(n)), test::Pixels(*gif.FrameDIBXOR(n)))
                    << n;
            }
            EXPECT_EQ(
                back.SaveToMemory(bytes == &one ? LzwEffort::OnePolicy : LzwEffort::BestPolicy),
                *bytes);
        }
    }
}

} // namespace
} // namespace lumatrim
