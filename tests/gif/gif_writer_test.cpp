#include "gif/gif.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string_view>

namespace lumatrim {
namespace {

bool Contains(const std::vector<uint8_t>& bytes, const std::vector<uint8_t>& part) {
    return std::search(bytes.begin(), bytes.end(), part.begin(), part.end()) != bytes.end();
}

std::vector<uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

TEST(GifWriter, OneFrameFileLayout) {
    cGIF gif;
    gif.FrameInsert(1, 1, 1, false);
    gif.FrameDIBXOR(1)->lpBits()[0] = 1;
    const auto bytes = gif.SaveToMemory();
    const std::vector<uint8_t> expected{
        'G',  'I',  'F',  '8',  '9', 'a', 1, 0, 1, 0,
        0x00, 0,    0,                                   // header, screen, no global table
        0x21, 0xF9, 4,    0,    0,   0,   0, 0,          // graphic control, always written
        0x2C, 0,    0,    0,    0,   1,   0, 1, 0, 0x80, // descriptor with a 2-entry table
        0,    0,    0,    255,  255, 255,                // local table
        2,    2,    0x4C, 0x01, 0,                       // Clear, 1, End at 3 bits
        0x3B};
    EXPECT_EQ(bytes, expected);
}

TEST(GifWriter, GlobalTableLoopingBlockAndFrameFields) {
    cGIF gif;
    gif.SetGlobalPaletteExists(true);
    gif.SetGlobalPaletteEntries(5);
    gif.lpGlobalPalette()[4 * 4 + 2] = 200; // red of entry 4
    gif.FrameInsert(1, 2, 2, true);
    gif.FrameInsert(2, 2, 2, true);
    gif.SetFrameDisposalMethod(2, 3);
    gif.SetFrameUserInput(2, true);
    gif.SetFrameUseTransparentColor(2, true);
    gif.SetFrameTransparentColorIndex(2, 4);
    gif.SetFrameDelay(2, 0x0102);
    gif.SetLocalPaletteSorted(2, true);
    const auto bytes = gif.SaveToMemory();
    EXPECT_EQ(bytes[10], 0xA2); // 8-entry table, colour resolution equal to its size
    EXPECT_EQ(gif.ScreenFlags(), 0xA2);
    EXPECT_EQ(bytes[13 + 12], 200);
    EXPECT_TRUE(std::all_of(bytes.begin() + 13 + 15, bytes.begin() + 13 + 24,
                            [](uint8_t b) { return b == 0; }));
    auto looping = Bytes("\x21\xFF\x0BNETSCAPE2.0");
    looping.insert(looping.end(), {3, 1, 0, 0, 0});
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 37, bytes.begin() + 56), looping);
    EXPECT_TRUE(Contains(bytes, {0x21, 0xF9, 4, 3 << 2 | 2 | 1, 2, 1, 4, 0}));
    // No local table: table size field 2, sort bit from the frame, code size 3.
    EXPECT_TRUE(Contains(bytes, {0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0x22, 3}));
}

TEST(GifWriter, CommentsAreWrittenIn255ByteBlocks) {
    cGIF gif;
    gif.FrameInsert(1, 1, 1, false);
    for (const std::string& text :
         {std::string(300, 'a'), std::string(256, 'b'), std::string("\xE9"), std::string()}) {
        gif.TrailingCommentAdd();
        gif.SetTrailingComment(gif.TrailingCommentsCount(), text);
    }
    const auto bytes = gif.SaveToMemory();
    const auto a = std::search_n(bytes.begin(), bytes.end(), 255, 'a');
    ASSERT_NE(a, bytes.end());
    EXPECT_EQ(*(a - 1), 255);
    EXPECT_EQ(*(a + 255), 45);
    const auto b = std::search_n(bytes.begin(), bytes.end(), 255, 'b');
    EXPECT_EQ(std::vector<uint8_t>(b + 255, b + 258), (std::vector<uint8_t>{1, 'b', 0}));
    // Latin-1 and the empty comment: an extension with no sub-blocks, then the trailer.
    EXPECT_TRUE(Contains(bytes, {0x21, 0xFE, 1, 0xE9, 0, 0x21, 0xFE, 0, 0x3B}));

    cGIF back;
    ASSERT_TRUE(back.LoadFromStream(bytes));
    ASSERT_EQ(back.TrailingCommentsCount(), 4);
    EXPECT_EQ(back.TrailingComment(1), std::string(300, 'a'));
    EXPECT_EQ(back.TrailingComment(3), "\xE9");
    EXPECT_EQ(back.TrailingComment(4), "");
}

TEST(GifWriter, ImpossibleDocumentsFailWithoutWritingAFile) {
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
    EXPECT_TRUE(Contains(gif.SaveToMemory(), {0x21, 0xF9, 4, 63 << 2}));
    gif.SetLocalPaletteEntries(1, 257);
    EXPECT_TRUE(gif.SaveToMemory().empty());
    EXPECT_EQ(test::ReadBytes(target), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_FALSE(gif.Save(dir / "missing" / "out.gif"));
    EXPECT_EQ(dir.FileNames(), std::vector<std::string>{"out.gif"});
}

TEST(GifWriter, IndicesBeyondTheTableWidenTheCodeSize) {
    cGIF gif;
    gif.FrameInsert(1, 2, 1, false); // a 2-entry table
    gif.FrameDIBXOR(1)->lpBits()[1] = 5;
    const auto bytes = gif.SaveToMemory();
    EXPECT_TRUE(Contains(bytes, {0, 0, 0, 255, 255, 255, 3})); // table, then code size 3
    cGIF back;
    ASSERT_TRUE(back.LoadFromStream(bytes));
    EXPECT_EQ(back.FrameDIBXOR(1)->lpBits()[1], 5);
}

// Document -> bytes -> document: every property of every frame and the same bytes again.
void ExpectRoundTrip(cGIF& gif) {
    const auto bytes = gif.SaveToMemory();
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(gif.SaveToMemory(), bytes);
    cGIF back;
    ASSERT_TRUE(back.LoadFromStream(bytes));
    ASSERT_EQ(back.FramesCount(), gif.FramesCount());
    EXPECT_EQ(back.AnimationLoops(), gif.FramesCount() > 1 ? gif.AnimationLoops() : 0);
    EXPECT_EQ(back.TrailingCommentsCount(), gif.TrailingCommentsCount());
    for (int32_t n = 1; n <= gif.FramesCount(); ++n) {
        const auto a = gif.FrameDIBXOR(n);
        const auto b = back.FrameDIBXOR(n);
        ASSERT_EQ(b->Width(), a->Width());
        ASSERT_EQ(b->Height(), a->Height());
        for (int32_t y = 0; y < a->Height(); ++y)
            ASSERT_TRUE(std::equal(a->lpBits() + y * a->BytesPerScanline(),
                                   a->lpBits() + y * a->BytesPerScanline() + a->Width(),
                                   b->lpBits() + y * b->BytesPerScanline()))
                << "frame " << n << " row " << y;
        EXPECT_EQ(back.FrameLeft(n), gif.FrameLeft(n));
        EXPECT_EQ(back.FrameTop(n), gif.FrameTop(n));
        EXPECT_EQ(back.FrameDelay(n), gif.FrameDelay(n));
        EXPECT_EQ(back.FrameDisposalMethod(n), gif.FrameDisposalMethod(n));
        EXPECT_EQ(back.FrameInterlaced(n), gif.FrameInterlaced(n));
        EXPECT_EQ(back.FrameUseTransparentColor(n), gif.FrameUseTransparentColor(n));
        EXPECT_EQ(back.FrameTransparentColorIndex(n), gif.FrameTransparentColorIndex(n));
        EXPECT_EQ(back.LocalPaletteUsed(n), gif.LocalPaletteUsed(n));
        EXPECT_EQ(back.lpFramePalette(n), gif.lpFramePalette(n));
        ASSERT_EQ(back.FrameCommentsCount(n), gif.FrameCommentsCount(n));
        for (int32_t c = 1; c <= gif.FrameCommentsCount(n); ++c)
            EXPECT_EQ(back.FrameComment(n, c), gif.FrameComment(n, c));
    }
    EXPECT_EQ(back.SaveToMemory(), bytes);
}

TEST(GifWriter, RoundTripsFramesOfEverySizeTableAndOrder) {
    std::mt19937 random(3);
    for (const int entries : {2, 4, 16, 128, 256}) {
        cGIF gif;
        gif.SetGlobalPaletteExists(true);
        gif.SetGlobalPaletteEntries(entries);
        for (int i = 0; i < 4 * entries; ++i)
            if (i % 4 != 3) gif.lpGlobalPalette()[static_cast<size_t>(i)] = random() & 0xFF;
        gif.SetAnimationLoops(entries);
        const std::vector<std::pair<int32_t, int32_t>> sizes{{1, 1}, {7, 4}, {3, 9}, {640, 480}};
        for (int32_t n = 1; n <= static_cast<int32_t>(sizes.size()); ++n) {
            const auto [w, h] = sizes[static_cast<size_t>(n) - 1];
            gif.FrameInsert(n, w, h, n % 2 == 1);
            gif.SetFrameInterlaced(n, n >= 2);
            gif.SetFrameLeft(n, n * 3);
            gif.SetFrameTop(n, n);
            gif.SetFrameDelay(n, -n);
            gif.SetFrameDisposalMethod(n, n);
            gif.SetFrameUseTransparentColor(n, n % 2 == 0);
            gif.SetFrameTransparentColorIndex(n, n % 2 == 0 ? 1 : 0);
            gif.FrameCommentAdd(n);
            gif.SetFrameComment(n, 1, n == 2 ? "" : "frame comment");
            const int32_t colours = gif.LocalPaletteUsed(n) ? 2 : entries;
            const auto dib = gif.FrameDIBXOR(n);
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x)
                    dib->lpBits()[y * dib->BytesPerScanline() + x] =
                        static_cast<uint8_t>((x / 5 + y / 3 + (random() % 7 == 0)) % colours);
        }
        SCOPED_TRACE(entries);
        ExpectRoundTrip(gif);
    }
}

} // namespace
} // namespace lumatrim
