// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The lossless rewrite: the metadata it leaves out, and its pixel and size limits.
#include "jpeg/jpeg_decoder.h"
#include "jpeg/jpeg_lossless.h"
#include "jpeg/test_jpeg_files.h"

#include <gtest/gtest.h>

namespace lumatrim {
namespace {

using test::Rewrite;
constexpr uint64_t kLimit = test::kPixelLimit;

// The JFIF segment (18 bytes) and the EXIF block (36) count, the EXIF block only while the
// metadata is dropped; the profile, which stays, does not.
TEST(JpegLossless, CountsTheMetadataItLeavesOut) {
    const std::vector<uint8_t> file =
        test::WriteTestJpeg({.iccProfile = test::TestProfile("RGB ", 70000), .orientation = 6});
    EXPECT_EQ(DroppedMetadataBytes(file), 18u + 36u);
    EXPECT_EQ(DroppedMetadataBytes(file, JpegMetadata::Keep), 18u);
    // A segment cut off by the file's end counts to that end, and no further.
    EXPECT_EQ(DroppedMetadataBytes({file.begin(), file.begin() + 30}), 18u + 10u);
}

// The limit is the most bytes a caller can use: a rewrite of exactly that many is given, one
// byte less stops it, however far into the file it got.
TEST(JpegLossless, StopsAtThePixelAndSizeLimits) {
    const std::vector<uint8_t> good = test::WriteTestJpeg({.width = 256, .height = 128});
    EXPECT_EQ(test::FaultOf(RewriteJpegLosslessly(good, 256 * 128 - 1)), JpegFault::TooLarge);
    const size_t size = Rewrite(good).size();
    EXPECT_EQ(std::get<std::vector<uint8_t>>(RewriteJpegLosslessly(good, kLimit, size)).size(),
              size);
    for (const size_t limit : {size - 1, size / 2, size_t{10}})
        EXPECT_EQ(test::FaultOf(RewriteJpegLosslessly(good, kLimit, limit)), JpegFault::OverLimit)
            << limit;
}

} // namespace
} // namespace lumatrim
