// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The lossless rewrite: the same coefficients and tables in progressive scans, upright by every
// orientation with the profile kept, and the decoder's refusals.
#include "jpeg/exif_orientation.h"
#include "jpeg/jpeg_decoder.h"
#include "jpeg/jpeg_lossless.h"
#include "jpeg/test_jpeg_files.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace lumatrim {
namespace {

using test::Decode;
using test::TestJpeg;
constexpr uint64_t kLimit = test::kPixelLimit;

std::vector<uint8_t> Rewrite(const std::vector<uint8_t>& file) {
    JpegRewriteResult result = RewriteJpegLosslessly(file, kLimit);
    if (const auto* failure = std::get_if<JpegFailure>(&result)) ADD_FAILURE() << failure->detail;
    auto* bytes = std::get_if<std::vector<uint8_t>>(&result);
    return bytes ? std::move(*bytes) : std::vector<uint8_t>{};
}

int LargestDifference(const JpegPicture& a, const JpegPicture& b) {
    int largest = 0;
    for (size_t i = 0; i < std::min(a.samples.size(), b.samples.size()); ++i)
        largest = std::max(largest, std::abs(a.samples[i] - b.samples[i]));
    return largest;
}

bool Contains(const std::vector<uint8_t>& file, const std::string& bytes) {
    return std::search(file.begin(), file.end(), bytes.begin(), bytes.end(),
                       [](uint8_t a, char b) { return a == uint8_t(b); }) != file.end();
}

// The orientation of the file's first EXIF block; 1 for none.
uint8_t OrientationOf(const std::vector<uint8_t>& file) {
    const uint8_t app1[] = {0xFF, 0xE1};
    const auto at = std::search(file.begin(), file.end(), app1, app1 + 2);
    if (at == file.end()) return 1;
    return ReadExifOrientation({&at[4], (size_t{at[2]} << 8 | at[3]) - 2});
}

// The coefficients and tables stay, in progressive scans, with the colour profile and Adobe's
// marker. Where each block is whole, the coefficients turn upright and the file says no more
// about orientation; a decoder's rounding, done in another order then, may move a sample by a
// few levels. Where a partial block would move to the top or left, the EXIF block keeps the
// orientation alone and the picture decodes exactly as before.
TEST(JpegLossless, KeepsEveryColourSpaceExactAndStandsUprightWhereverBlocksAreWhole) {
    const std::vector<uint8_t> profile = test::TestProfile("RGB ", 70000);
    const TestJpeg cmyk{.width = 40, .height = 24, .stored = JCS_CMYK, .lumaH = 1, .lumaV = 1};
    TestJpeg inked = cmyk, unmarked = cmyk;
    inked.iccProfile = test::TestProfile("CMYK", 900);
    unmarked.adobeMarker = false;
    struct Case {
        const char* name;
        TestJpeg spec;
        bool exact; // whole MCUs on the axes that mirror
    };
    const Case cases[] = {
        {"4:2:0, whole MCUs", {.width = 32, .height = 16, .iccProfile = profile}, true},
        {"4:2:0, partial MCUs", {.width = 36, .height = 20, .iccProfile = profile}, false},
        {"4:2:2, whole MCUs", {.width = 32, .height = 24, .lumaV = 1, .progressive = true}, true},
        {"4:4:4", {.width = 40, .height = 40, .lumaH = 1, .lumaV = 1, .progressive = true}, true},
        {"grey, whole blocks", {.width = 24, .height = 16, .stored = JCS_GRAYSCALE}, true},
        {"cmyk with an ink profile", inked, true},
        {"cmyk unmarked", unmarked, true},
        {"ycck, partial MCUs", {.width = 40, .height = 24, .stored = JCS_YCCK}, false},
    };
    for (const Case& c : cases)
        for (uint8_t orientation = 1; orientation <= 8; ++orientation) {
            SCOPED_TRACE(testing::Message() << c.name << " #" << int(orientation));
            TestJpeg spec = c.spec;
            spec.orientation = orientation;
            const std::vector<uint8_t> source = test::WriteTestJpeg(spec);
            const std::vector<uint8_t> rewritten = Rewrite(source);
            const JpegPicture wanted = Decode(source), seen = Decode(rewritten);
            ASSERT_EQ(seen.width, wanted.width);
            ASSERT_EQ(seen.height, wanted.height);
            // A transpose alone (5) moves no edge, so it is exact at any size.
            const bool turned = orientation != 1 && (c.exact || orientation == 5);
            EXPECT_LE(LargestDifference(seen, wanted), turned ? 4 : 0);
            EXPECT_EQ(OrientationOf(rewritten), turned ? 1 : orientation);
            EXPECT_EQ(seen.iccProfile, wanted.iccProfile);
            EXPECT_TRUE(Contains(rewritten, "\xFF\xC2")); // progressive
            EXPECT_EQ(Contains(rewritten, "ICC_PROFILE"), !spec.iccProfile.empty());
            EXPECT_EQ(Contains(rewritten, "\xFF\xEE"), Contains(source, "\xFF\xEE"));
        }
}

// The JFIF segment (18 bytes) and the EXIF block (36) count; the profile, which stays, does not.
TEST(JpegLossless, CountsTheMetadataItLeavesOut) {
    const std::vector<uint8_t> file =
        test::WriteTestJpeg({.iccProfile = test::TestProfile("RGB ", 70000), .orientation = 6});
    EXPECT_EQ(DroppedMetadataBytes(file), 18u + 36u);
    // A segment cut off by the file's end counts to that end, and no further.
    EXPECT_EQ(DroppedMetadataBytes({file.begin(), file.begin() + 30}), 18u + 10u);
}

// The limit is the most bytes a caller can use: a rewrite of exactly that many is given, one
// byte less stops it, however far into the file it got.
TEST(JpegLossless, RefusesWhatTheDecoderRefusesAndStopsAtTheSizeLimit) {
    const std::vector<uint8_t> good = test::WriteTestJpeg({.width = 256, .height = 128});
    std::vector<uint8_t> cut(good.begin(), good.begin() + ptrdiff_t(good.size() / 2));
    cut.insert(cut.end(), {0xFF, 0xD9});
    for (const auto& [file, fault] :
         {std::pair{cut, JpegFault::Damaged},
          std::pair{std::vector<uint8_t>{'h', 'i'}, JpegFault::NotJpeg}}) {
        EXPECT_EQ(test::FaultOf(RewriteJpegLosslessly(file, kLimit)), fault);
    }
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
