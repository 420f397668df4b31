// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "png/metadata_filter.h"

#include "png_builder.h"

#include <gtest/gtest.h>

namespace lumatrim::png {
namespace {

RawImage TinyGrey() {
    RawImage image;
    image.width = 2, image.height = 1, image.colourType = kGrey;
    image.rows = {7, 9};
    return image;
}

// Text and time chunks go wherever they stand; the other boxes are the source's bytes in order.
TEST(MetadataFilter, DropsTextAndTimeChunksAndCopiesTheRestAsTheyAre) {
    const RawImage image = TinyGrey();
    const std::vector<uint8_t> plain =
        test::MakePng(image, {test::Chunk("gAMA", "abcd"), test::Chunk("prIv", "x", true)});
    const std::vector<uint8_t> annotated = test::MakePng(
        image, {test::Chunk("tEXt", "a\0b"), test::Chunk("gAMA", "abcd"),
                test::Chunk("zTXt", "k\0\0z"), test::Chunk("iTXt", "i"),
                test::Chunk("tIME", "1234567", true), test::Chunk("prIv", "x", true)});
    EXPECT_EQ(WithoutMetadata(annotated), std::optional(plain));
}

TEST(MetadataFilter, LeavesFilesWithoutMetadataOrWithBrokenChunksAlone) {
    const std::vector<uint8_t> plain = test::MakePng(TinyGrey(), {test::Chunk("gAMA", "abcd")});
    std::vector<uint8_t> badCrc = test::MakePng(TinyGrey(), {test::Chunk("tEXt", "a\0b")});
    badCrc[8 + 25 + 8] ^= 1; // the tEXt chunk's first data byte, after the signature and IHDR
    for (const std::vector<uint8_t>& file :
         {plain, badCrc, std::vector<uint8_t>(plain.begin(), plain.end() - 4)})
        EXPECT_EQ(WithoutMetadata(file), std::nullopt);
}

} // namespace
} // namespace lumatrim::png
