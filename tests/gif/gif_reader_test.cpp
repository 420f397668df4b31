// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gif/gif.h"
#include "gif_builder.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

namespace lumatrim {
namespace {

using namespace std::literals;
using test::Describe;
using test::GifBuilder;
using test::Lines;
using test::Pixels;

std::vector<uint8_t> FramePixels(const cGIF& gif, int32_t nFrame) {
    return Pixels(*gif.FrameDIBXOR(nFrame));
}

bool MaskBit(const cGIF& gif, int32_t nFrame, int32_t x) {
    return (gif.FrameDIBAND(nFrame)->lpBits()[x / 8] >> (7 - x % 8)) & 1;
}

// The other application's block has size 9 and a payload shaped like a loop count of 7.
TEST(GifReader, TakesTheGlobalTableAndTheLoopsAndSkipsBlocksItDoesNotUseAndStrayBytes) {
    GifBuilder file;
    file.Screen("87a", 3, 2, 4).Bytes({0x00, 0x17}).Looping(5);
    file.Bytes({0x21, 0x01, 0x0C}).Text("twelve bytes").Bytes({0x02, 'h', 'i', 0x00});
    file.Bytes({0x21, 0x42, 0x01, 0x2C, 0x00});
    const std::vector<uint8_t> block =
        GifBuilder().Bytes({0x09}).Text("xmahjongg").Bytes({0x03, 0x01, 0x07, 0x00, 0x00}).bytes();
    file.Bytes({0x21, 0xFF}).Bytes(block);
    cGIF gif;
    file.Image(3, 2, {0, 1, 2, 3, 2, 1}).Image(3, 2, {0, 0, 0, 0, 0, 0}).Trailer();
    ASSERT_TRUE(gif.LoadFromStream(file.bytes()));
    EXPECT_EQ(gif.Version(), "87a");
    EXPECT_EQ(Describe(gif), (Lines{"3x2 bg 0 aspect 0.234375 loops 5",
                                    "3x2 at 0,0 0 0 0 0 0/0 0/4", "3x2 at 0,0 0 0 0 0 0/0 0/4"}));
    EXPECT_FALSE(gif.AnimationPlaysOnce());
    EXPECT_EQ(FramePixels(gif, 1), (std::vector<uint8_t>{0, 1, 2, 3, 2, 1}));
    // Without transparency the index surface shows the frame table and the mask is opaque.
    const auto table = gif.FrameDIBXOR(1)->ColorTable();
    EXPECT_TRUE(std::equal(table.begin(), table.end(), gif.lpFramePalette(1).begin()));
    EXPECT_FALSE(MaskBit(gif, 1, 0));
    // The other application's block is kept as it was, sub-blocks and all, and saved again.
    ASSERT_EQ(gif.ApplicationBlocksCount(), 1);
    EXPECT_EQ(gif.ApplicationBlock(1), block);
    cGIF saved;
    ASSERT_TRUE(saved.LoadFromStream(gif.SaveToMemory()));
    EXPECT_EQ(saved.ApplicationBlock(1), block);
    EXPECT_EQ(saved.AnimationLoops(), 5);
}

TEST(GifReader,
     GraphicControlAndCommentsGoToTheNextFrameAndNoLoopingBlockPlaysOnce) {
    GifBuilder file;
    file.Screen("89a", 2, 1, 2).Comment("one").Comment("caf\xE9");
    file.Control(0x08 | 0x02 | 0x01, 25, 1).Image(2, 1, {0, 1}).Comment(std::string(300, 'x'));
    file.Image(2, 1, {1, 1}).Bytes({0x21, 0xFE, 0x00}).Trailer();
    cGIF gif;
    ASSERT_TRUE(gif.LoadFromStream(file.bytes()));
    EXPECT_EQ(Describe(gif), (Lines{"2x1 bg 0 aspect 0.234375 loops 0 []",
                                    "2x1 at 0,0 25 2 1 0 1/1 0/2 [one] [caf\xE9]",
                                    "2x1 at 0,0 0 0 0 0 0/0 0/2 [" + std::string(300, 'x') + "]"}));
    EXPECT_EQ(std::pair(MaskBit(gif, 1, 0), MaskBit(gif, 1, 1)), std::pair(false, true));
    // Drawing needs the transparent entry black on the surface; the frame table keeps it.
    EXPECT_EQ(gif.FrameDIBXOR(1)->ColorTable()[4], 0);
    EXPECT_EQ(gif.lpFramePaletteColor(1, 1), RGB(1, 2, 3));
    // Without a looping block the animation plays once, so it is saved without one, until a
    // loop count is asked for.
    EXPECT_TRUE(gif.AnimationPlaysOnce());
    EXPECT_FALSE(test::Contains(gif.SaveToMemory(), "NETSCAPE2.0"sv));
    gif.SetAnimationLoops(0);
    EXPECT_TRUE(test::Contains(gif.SaveToMemory(), "NETSCAPE2.0"sv));
}

// What is there is kept, and the document says it is damaged: the data of a frame ending early,
// a record or table cut off, or no trailer (later frames may be lost) all count.
TEST(GifReader, TruncatedFilesKeepWhatIsThereAndAreDamaged) {
    GifBuilder file;
    file.Screen("89a", 4, 4, 2).Image(4, 4, std::vector<uint8_t>(16, 1)).Trailer();
    const auto& full = file.bytes();
    cGIF gif;
    const size_t introducer = 13 + 6;
    for (size_t n = 6; n < full.size(); ++n) {
        const bool loaded = gif.LoadFromStream(std::span(full).first(n));
        EXPECT_EQ(std::pair(loaded, loaded && gif.LoadDamaged()),
                  std::pair(n > introducer, n > introducer))
            << n;
    }
    ASSERT_TRUE(gif.LoadFromStream(full));
    EXPECT_FALSE(gif.LoadDamaged());
    // An application block cut off by the end is not kept: written back, it would be malformed.
    GifBuilder cutBlock;
    cutBlock.Screen("89a", 4, 4, 2).Image(4, 4, std::vector<uint8_t>(16, 1));
    cutBlock.Bytes({0x21, 0xFF, 0x0B}).Text("XMP DataXMP").Bytes({0x05, 'a'});
    ASSERT_TRUE(gif.LoadFromStream(cutBlock.bytes()));
    EXPECT_EQ(gif.ApplicationBlocksCount(), 0);
    // Data that stops early with an End code is damaged too, trailer or not. The pixels it never
    // reached show nothing, as browsers leave them: they take the frame's transparent index, or
    // a free one, or index 0 when the frame uses every index.
    struct Case {
        uint8_t control;                      // graphic control packed byte; 1: transparent 1
        std::vector<uint8_t> decoded, hidden; // the first row given, the second one as loaded
        bool transparent;
    };
    for (const Case& c :
         {Case{0, {1, 1, 1, 1}, {0, 0, 0, 0}, true}, Case{1, {0, 0, 0, 0}, {1, 1, 1, 1}, true},
          Case{0, {0, 1, 0, 1}, {0, 0, 0, 0}, false}}) {
        GifBuilder file;
        file.Screen("89a", 4, 4, 2).Control(c.control, 0, 1).Image(4, 1, c.decoded);
        auto shortFrame = file.bytes();
        shortFrame[13 + 6 + 8 + 1 + 6] = 2; // the descriptor claims two rows
        ASSERT_TRUE(gif.LoadFromStream(shortFrame));
        EXPECT_TRUE(gif.LoadDamaged());
        auto expected = c.decoded;
        expected.insert(expected.end(), c.hidden.begin(), c.hidden.end());
        EXPECT_EQ(FramePixels(gif, 1), expected);
        EXPECT_EQ(gif.FrameUseTransparentColor(1), c.transparent);
    }

    // A cut-off descriptor, or a huge frame claimed by a few bytes, makes a frame without
    // surfaces. Decoders refuse an image of no size, so it is saved as one transparent pixel.
    GifBuilder cutDescriptor, huge;
    cutDescriptor.Screen("89a", 4, 4, 2).Control(0x01, 7, 1).Bytes({0x2C, 0x01, 0x00, 0x02});
    huge.Screen("89a", 1, 1, 2).Image(16000, 16000, {1}).Trailer();
    for (const auto& [file, saved] : {std::pair{cutDescriptor, "1x1 at 0,0 7 0 0 0 1/1 0/2"},
                                      std::pair{huge, "1x1 at 0,0 0 0 0 0 1/0 0/2"}}) {
        ASSERT_TRUE(gif.LoadFromStream(file.bytes()));
        EXPECT_TRUE(gif.LoadDamaged());
        EXPECT_EQ(gif.FrameDIBXOR(1)->hDIB(), 0u);
        ASSERT_TRUE(gif.LoadFromStream(gif.SaveToMemory()));
        EXPECT_EQ(Describe(gif)[1], saved);
        EXPECT_TRUE(MaskBit(gif, 1, 0));
    }
    // An ordinary frame cut short does get a surface.
    ASSERT_TRUE(gif.LoadFromStream(
        GifBuilder().Screen("89a", 1, 1, 2).Image(2000, 2000, {1}).Trailer().bytes()));
    EXPECT_EQ(gif.FrameDIBXOR(1)->Width(), 2000);
    EXPECT_EQ(FramePixels(gif, 1)[0], 1);
    EXPECT_TRUE(gif.LoadDamaged());
}

// Real files against ImageMagick's decoding (tests/data/gif/make_expected.py): NAME.frames
// lists each frame's size and place, NAME.rgba its pixels, alpha 0 where transparent (whose
// colour is not compared).
void ExpectLikeTheReference(const cGIF& gif, const std::string& name) {
    std::ostringstream places;
    std::vector<uint8_t> rgba;
    for (int32_t n = 1; n <= gif.FramesCount(); ++n) {
        places << gif.FrameDIBXOR(n)->Width() << ' ' << gif.FrameDIBXOR(n)->Height() << ' '
               << gif.FrameLeft(n) << ' ' << gif.FrameTop(n) << '\n';
        for (const uint8_t index : FramePixels(gif, n)) {
            const uint8_t* bgr = &gif.lpFramePalette(n)[4 * size_t{index}];
            rgba.insert(rgba.end(), {bgr[2], bgr[1], bgr[0], 255});
            if (gif.FrameUseTransparentColor(n) && index == gif.FrameTransparentColorIndex(n))
                std::fill_n(rgba.end() - 4, 4, 0);
        }
    }
    EXPECT_EQ(places.str(), test::ReadText(test::DataFile("gif/" + name + ".frames")));
    auto expected = test::ReadBytes(test::DataFile("gif/" + name + ".rgba"));
    for (size_t i = 0; i < expected.size(); i += 4)
        if (expected[i + 3] == 0) std::fill_n(expected.begin() + ptrdiff_t(i), 3, 0);
    EXPECT_TRUE(rgba == expected) << "pixels unlike the reference";
}

// Lossy LZW moves a pixel by the tolerance from its colour plus the carried error, which is at
// most three quarters of the tolerance again: 1.75 x its square root in any channel. It keeps
// transparent exactly the pixels that were.
void ExpectNearPixels(const cGIF& source, const cGIF& lossy, int32_t tolerance) {
    const int32_t bound = static_cast<int32_t>(1.75 * std::sqrt(tolerance)) + 1;
    for (int32_t n = 1; n <= source.FramesCount(); ++n) {
        const auto a = FramePixels(source, n), b = FramePixels(lossy, n);
        const uint8_t clear = source.FrameTransparentColorIndex(n);
        int32_t worst = 0, transparencyMoved = 0;
        for (size_t i = 0; i < a.size(); ++i) {
            transparencyMoved +=
                source.FrameUseTransparentColor(n) && (a[i] == clear) != (b[i] == clear);
            const uint32_t was = source.lpFramePaletteColor(n, a[i]);
            const uint32_t is = lossy.lpFramePaletteColor(n, b[i]);
            for (int shift = 0; shift < 24; shift += 8)
                worst = std::max(
                    worst, std::abs(int32_t(was >> shift & 0xFF) - int32_t(is >> shift & 0xFF)));
        }
        EXPECT_LE(worst, bound) << "frame " << n;
        EXPECT_EQ(transparencyMoved, 0) << "frame " << n;
    }
}

// Each file decodes like the reference, also after a save, which a second save repeats byte for
// byte. Written with lossy LZW at either effort, it reads back as the same animation (screen,
// loops, frames with their places, timing, disposal and transparency) with every pixel near its
// source; in all, in fewer bytes than the exact encoding.
TEST(GifRealFiles, DecodeLikeTheReferenceAndSurviveExactAndLossySaves) {
    constexpr int32_t kTolerance = 400;
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(test::DataFile("gif")))
        if (entry.path().extension() == ".gif") names.push_back(entry.path().stem().string());
    ASSERT_GE(names.size(), 10u);
    size_t exactBytes = 0, lossyBytes = 0;
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        cGIF gif;
        ASSERT_TRUE(gif.LoadFromFile(test::DataFile("gif/" + name + ".gif")));
        ExpectLikeTheReference(gif, name);
        const auto saved = gif.SaveToMemory();
        exactBytes += saved.size();
        cGIF back;
        ASSERT_TRUE(back.LoadFromStream(saved));
        ExpectLikeTheReference(back, name);
        EXPECT_EQ(back.AnimationLoops(), gif.FramesCount() > 1 ? gif.AnimationLoops() : 0);
        EXPECT_EQ(back.SaveToMemory(), saved);
        for (const LzwEffort effort : {LzwEffort::OnePolicy, LzwEffort::BestPolicy}) {
            const std::vector<uint8_t> bytes = gif.SaveToMemory(effort, kTolerance);
            if (effort == LzwEffort::OnePolicy) lossyBytes += bytes.size();
            cGIF lossy;
            ASSERT_TRUE(lossy.LoadFromStream(bytes));
            EXPECT_EQ(lossy.LoadDamaged(), gif.LoadDamaged());
            ASSERT_EQ(Describe(lossy), Describe(gif));
            EXPECT_EQ(lossy.AnimationPlaysOnce(), gif.AnimationPlaysOnce());
            ExpectNearPixels(gif, lossy, kTolerance);
        }
    }
    EXPECT_LT(lossyBytes, exactBytes);
}

// Bad signatures and documents beyond the limits are refused with no frame; the limits say so.
// A file without frames keeps what it held before: the screen, its loops and comments.
TEST(GifReader, FailedLoadsKeepNoFrameAndTellDocumentsBeyondTheLimits) {
    GifBuilder huge, many; // 20000 x 20000 pixels in one frame; 32768 frames
    huge.Screen("89a", 1, 1, 2).Bytes({0x2C, 0, 0, 0, 0}).Word(20000).Word(20000);
    huge.Bytes({0x00, 2}).SubBlocks(std::vector<uint8_t>(200, 0)).Trailer();
    many.Screen("89a", 1, 1, 2);
    for (int i = 0; i <= 32767; ++i)
        many.Image(1, 1, {1});
    const std::pair<std::vector<uint8_t>, bool> cases[] = {
        {GifBuilder().Text("GIF90a").bytes(), false},
        {GifBuilder().Text("GIF8").bytes(), false},
        {GifBuilder().Text("PNG89a").bytes(), false},
        {huge.bytes(), true},
        {many.Trailer().bytes(), true}};
    cGIF gif;
    for (const auto& [file, tooLarge] : cases) {
        EXPECT_FALSE(gif.LoadFromStream(file)) << file.size();
        EXPECT_EQ(std::pair(gif.LoadTooLarge(), int{gif.FramesCount()}), std::pair(tooLarge, 0));
    }
    EXPECT_FALSE(gif.LoadFromStream(
        GifBuilder().Screen("89a", 7, 5, 2).Looping(3).Comment("c").Trailer().bytes()));
    EXPECT_EQ(Describe(gif), Lines{"7x5 bg 0 aspect 0.234375 loops 3 [c]"});
    EXPECT_FALSE(gif.LoadTooLarge());
}

} // namespace
} // namespace lumatrim
