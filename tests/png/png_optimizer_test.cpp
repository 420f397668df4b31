// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "png/png_optimizer.h"

#include "png/chunk_walker.h"
#include "png/spng_decoder.h"
#include "png_builder.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace lumatrim::png {
namespace {

using test::MakeRgba;

PngOptions Options(PngEffort effort, bool keepMetadata = false, std::stop_token stop = {}) {
    PngOptions options;
    options.effort = effort;
    options.keepMetadata = keepMetadata;
    options.stop = std::move(stop);
    return options;
}

std::vector<uint8_t> Encoded(const PngResult& result) {
    if (const auto* refusal = std::get_if<PngRefusal>(&result)) {
        ADD_FAILURE() << refusal->detail;
        return {};
    }
    return std::get<std::vector<uint8_t>>(result);
}

RgbaPicture Decoded(const std::vector<uint8_t>& file) {
    auto decoded = DecodeRgba(file, 1 << 24);
    if (auto* failure = std::get_if<DecodeFailure>(&decoded)) {
        ADD_FAILURE() << failure->detail;
        return {};
    }
    return std::get<RgbaPicture>(decoded);
}

// IHDR's colour type and bit depth.
std::pair<int, int> Layout(const std::vector<uint8_t>& file) {
    return {file.size() > 25 ? file[25] : -1, file.size() > 24 ? file[24] : -1};
}

std::vector<std::string> ChunkTypes(const std::vector<uint8_t>& file) {
    std::vector<std::string> types;
    for (const ChunkView& chunk : WalkChunks(file).chunks)
        types.emplace_back(chunk.Type());
    return types;
}

RgbaPicture Sixteen(uint32_t width, uint32_t height, bool fitsEight) {
    RgbaPicture picture{width, height, true, std::vector<uint8_t>(size_t{width} * height * 8)};
    for (size_t i = 0; i < size_t{width} * height * 4; ++i) {
        const auto byte = static_cast<uint16_t>(i * 37 % 256);
        const uint16_t sample =
            fitsEight ? static_cast<uint16_t>(byte * 257) : static_cast<uint16_t>(byte * 251 + i);
        std::memcpy(picture.samples.data() + 2 * i, &sample, 2);
    }
    return picture;
}

// Scattered bits, so that no layout's rows compress to nearly nothing.
uint32_t Scatter(uint32_t x, uint32_t y) {
    uint32_t h = x * 73856093u ^ y * 19349663u;
    h = (h ^ (h >> 13)) * 0x5bd1e995u;
    return h ^ (h >> 15);
}

struct LayoutCase {
    std::string name;
    RgbaPicture picture;
    std::pair<int, int> layout; // colour type, bit depth of the smallest file
};

std::vector<LayoutCase> LayoutCases() {
    const auto noise = [](uint32_t x, uint32_t y) {
        return RgbaColour{uint8_t(x * 7 + y * 3), uint8_t(x * y), uint8_t(x ^ y), 255};
    };
    return {
        {"many colours, opaque", MakeRgba(40, 9, noise), {2, 8}},
        {"many colours, alpha",
         MakeRgba(40, 9,
                  [&](uint32_t x, uint32_t y) {
                      RgbaColour c = noise(x, y);
                      c[3] = uint8_t(x * 5);
                      return c;
                  }),
         {6, 8}},
        // Past the size where an alpha channel is also tried beside the key.
        {"one transparent colour",
         MakeRgba(257, 256,
                  [&](uint32_t x, uint32_t y) {
                      return x == 3 ? RgbaColour{1, 2, 3, 0} : noise(x, y);
                  }),
         {2, 8}},
        {"two colours",
         MakeRgba(61, 20,
                  [](uint32_t x, uint32_t y) {
                      return Scatter(x, y) % 2 ? RgbaColour{200, 10, 10, 255}
                                               : RgbaColour{0, 0, 90, 128};
                  }),
         {3, 1}},
        {"grey, four levels",
         MakeRgba(11, 7,
                  [](uint32_t x, uint32_t) {
                      const uint8_t level = uint8_t(x % 4 * 85);
                      return RgbaColour{level, level, level, 255};
                  }),
         {0, 2}},
        {"grey, every level",
         MakeRgba(256, 3,
                  [](uint32_t x, uint32_t y) {
                      const uint8_t level = uint8_t(x + y);
                      return RgbaColour{level, level, level, 255};
                  }),
         {0, 8}},
        {"grey with alpha",
         MakeRgba(256, 2,
                  [](uint32_t x, uint32_t) {
                      return RgbaColour{uint8_t(x), uint8_t(x), uint8_t(x), uint8_t(255 - x)};
                  }),
         {4, 8}},
        {"one pixel",
         MakeRgba(1, 1,
                  [](uint32_t, uint32_t) {
                      return RgbaColour{5, 6, 7, 8};
                  }),
         {6, 8}}, // a palette's tables cost more than they save
        {"16 bits that fit 8", Sixteen(23, 4, true), {6, 8}},
        {"16 bits", Sixteen(23, 4, false), {6, 16}},
    };
}

// Each picture comes back sample for sample at both efforts, in the layout that holds it in
// the fewest bits.
TEST(PngOptimizer, EncodesEveryPictureExactlyInItsSmallestLayout) {
    for (const PngEffort effort : {PngEffort::Fast, PngEffort::Default}) {
        for (const LayoutCase& test : LayoutCases()) {
            SCOPED_TRACE(test.name);
            const std::vector<uint8_t> file = Encoded(EncodePng(test.picture, {}, Options(effort)));
            EXPECT_EQ(Layout(file), test.layout);
            const RgbaPicture back = Decoded(file);
            EXPECT_EQ(back.sixteenBit, test.picture.sixteenBit && test.layout.second == 16);
            if (back.sixteenBit == test.picture.sixteenBit) {
                EXPECT_EQ(back.samples, test.picture.samples);
            }
        }
    }
}

TEST(PngOptimizer, IndexedPictureDropsUnusedAndRepeatedEntries) {
    IndexedPicture picture{64, 16, std::vector<uint8_t>(64 * 16), {}};
    const uint8_t used[] = {0, 1, 4, 3}; // 0 and 3 are one colour, 2 is not used
    for (size_t i = 0; i < picture.indices.size(); ++i)
        picture.indices[i] = used[Scatter(uint32_t(i), 0) % 4];
    picture.palette = {
        {9, 9, 9, 255}, {1, 1, 1, 255}, {50, 60, 70, 255}, {9, 9, 9, 255}, {0, 9, 0, 9}};
    const std::vector<uint8_t> file = Encoded(EncodePng(picture, {}, {}));
    EXPECT_EQ(Layout(file), std::pair(3, 2)); // three colours left
    const RgbaPicture back = Decoded(file);
    for (size_t i = 0; i < picture.indices.size(); ++i)
        EXPECT_EQ(
            std::memcmp(back.samples.data() + 4 * i, picture.palette[picture.indices[i]].data(), 4),
            0);
    picture.indices[1] = 5;
    EXPECT_TRUE(std::holds_alternative<PngRefusal>(EncodePng(picture, {}, {})));
}

// Colour and geometry chunks stay where they stood, layout-bound ones go, text goes unless
// asked for; an unknown chunk stays when it is safe to copy and makes us decline when not.
TEST(PngOptimizer, KeepsTheChunksThatChangeHowThePictureShows) {
    RawImage image;
    image.width = 3, image.height = 2, image.colourType = kTruecolour;
    image.rows = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    const std::vector<PngChunk> chunks{
        test::Chunk("gAMA", "abcd"),    test::Chunk("bKGD", "123456"),
        test::Chunk("sBIT", "888"),     test::Chunk("tEXt", "a\0b"),
        test::Chunk("prIv", "kept"),    test::Chunk("tIME", "1234567", true),
        test::Chunk("eXIf", "MM", true)};
    const std::vector<uint8_t> source = test::MakePng(image, chunks);
    const auto types = [&](bool keepMetadata) {
        return ChunkTypes(Encoded(OptimizePng(source, Options(PngEffort::Fast, keepMetadata))));
    };
    EXPECT_EQ(types(false),
              (std::vector<std::string>{"IHDR", "gAMA", "prIv", "IDAT", "eXIf", "IEND"}));
    EXPECT_EQ(types(true), (std::vector<std::string>{"IHDR", "gAMA", "tEXt", "prIv", "IDAT", "tIME",
                                                     "eXIf", "IEND"}));
    const std::vector<uint8_t> unsafe = test::MakePng(image, {test::Chunk("prIV", "x")});
    const PngResult declined = OptimizePng(unsafe, {});
    ASSERT_TRUE(std::holds_alternative<PngRefusal>(declined));
    EXPECT_EQ(std::get<PngRefusal>(declined).reason, PngDecline::Unsupported);
}

// A chunk that stood between PLTE and the picture data stays there, one before PLTE before it.
TEST(PngOptimizer, KeptChunksKeepTheirPlaceAroundThePalette) {
    RawImage image;
    image.width = 64, image.height = 64, image.colourType = kIndexed;
    image.plte = {10, 20, 30, 200, 0, 0, 0, 90, 0};
    for (uint32_t i = 0; i < 64 * 64; ++i)
        image.rows.push_back(uint8_t(Scatter(i, 1) % 3));
    const std::vector<uint8_t> source = test::MakePng(
        image, {test::Chunk("gAMA", "abcd"), test::Chunk("prIv", "after PLTE", false, true)});
    EXPECT_EQ(source.capacity(), source.size()); // the writer reserves exactly what it writes
    const std::vector<uint8_t> output = Encoded(OptimizePng(source, {}));
    EXPECT_EQ(ChunkTypes(output),
              (std::vector<std::string>{"IHDR", "gAMA", "PLTE", "prIv", "IDAT", "IEND"}));
    // Taking the bytes over, it frees them only once they are read.
    EXPECT_EQ(Encoded(OptimizePng(std::vector<uint8_t>(source), {})), output);
}

// An APNG keeps every frame, its control chunk and sequence as they are; only text goes.
TEST(PngOptimizer, AnimationKeepsItsFrames) {
    RawImage image;
    image.width = 2, image.height = 2, image.colourType = kGrey;
    image.rows = {1, 2, 3, 4};
    const std::string frame(26, '\1'), data("\0\0\0\2xyz", 7);
    const std::vector<uint8_t> source =
        test::MakePng(image, {test::Chunk("acTL", std::string("\0\0\0\2\0\0\0\0", 8)),
                              test::Chunk("fcTL", frame), test::Chunk("tEXt", "a"),
                              test::Chunk("fcTL", frame, true), test::Chunk("fdAT", data, true)});
    const std::vector<uint8_t> output = Encoded(OptimizePng(source, {}));
    std::vector<ChunkView> expected = WalkChunks(source).chunks;
    expected.erase(expected.begin() + 3); // tEXt
    const std::vector<ChunkView> kept = WalkChunks(output).chunks;
    ASSERT_EQ(kept.size(), expected.size());
    for (size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(kept[i].Type(), expected[i].Type());
        EXPECT_TRUE(std::equal(kept[i].data.begin(), kept[i].data.end(), expected[i].data.begin(),
                               expected[i].data.end()));
    }
}

TEST(PngOptimizer, DeclinesDamagedFilesWithTheirFault) {
    RawImage image;
    image.width = 2, image.height = 2, image.colourType = kGrey;
    image.rows = {1, 2, 3, 4};
    const std::vector<uint8_t> valid = test::MakePng(image);
    std::vector<uint8_t> badCrc = valid;
    badCrc[30] ^= 1;
    RawImage wide = image;
    wide.width = 3; // rows too short for the header
    const std::vector<uint8_t> shortRows = WritePng(wide, test::UnfilteredStream(image), {});
    RawImage huge = image;
    huge.width = huge.height = 10000; // 12 bytes of picture data cannot fill 10^8 pixels
    const std::vector<uint8_t> bomb = WritePng(huge, test::UnfilteredStream(image), {});
    std::vector<uint8_t> badType = valid, noHeader(valid.begin(), valid.begin() + 8);
    badType[8 + 25 + 4] = '1'; // the second chunk's type, IDAT, gets a digit
    AppendChunk(noHeader, "gAMA", std::vector<uint8_t>{0, 0, 0, 1});
    noHeader.insert(noHeader.end(), valid.begin() + 8, valid.end());
    const struct {
        std::string name;
        std::vector<uint8_t> file;
        PngDecline reason;
    } cases[] = {
        {"not a PNG", {'G', 'I', 'F', '8'}, PngDecline::NotPng},
        {"a type that is not letters", badType, PngDecline::Damaged},
        {"IHDR not first", noHeader, PngDecline::Damaged},
        {"cut off", {valid.begin(), valid.end() - 5}, PngDecline::Damaged},
        {"bad CRC", badCrc, PngDecline::Damaged},
        {"rows too short", shortRows, PngDecline::Damaged},
        {"data too short for its pixels", bomb, PngDecline::Damaged},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const PngResult result = OptimizePng(test.file, {});
        ASSERT_TRUE(std::holds_alternative<PngRefusal>(result));
        EXPECT_EQ(std::get<PngRefusal>(result).reason, test.reason);
    }
    EXPECT_EQ(std::get<PngRefusal>(OptimizePng(valid, {}, 3)).reason, PngDecline::TooLarge);
    std::vector<uint8_t> trailing = valid;
    trailing.insert(trailing.end(), {'j', 'u', 'n', 'k'}); // after IEND: not part of the file
    EXPECT_EQ(Encoded(OptimizePng(trailing, {})), Encoded(OptimizePng(valid, {})));
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(std::get<PngRefusal>(
                  OptimizePng(valid, Options(PngEffort::Default, false, stop.get_token())))
                  .reason,
              PngDecline::Stopped);
}

// Real files of the corpus (palette at 4 bits with tRNS, interlaced RGBA, RGB with bKGD):
// smaller, and the same pixels.
TEST(PngOptimizer, RealFilesComeBackSmallerWithTheirPixels) {
    for (const std::string name : {"tcl-ttkthemes_entry-n.png", "libsixel-examples_basi6a08.png",
                                   "../audacious-plugins-data_posbar.png"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> source =
            lumatrim::test::ReadBytes(lumatrim::test::DataFile("png/" + name));
        const std::vector<uint8_t> output = Encoded(OptimizePng(source, {}));
        EXPECT_LT(output.size(), source.size());
        EXPECT_EQ(Decoded(output).samples, Decoded(source).samples);
    }
}

} // namespace
} // namespace lumatrim::png
