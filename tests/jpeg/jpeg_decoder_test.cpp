// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The decoder and the lossless rewrite: pictures upright by every orientation with their
// profile, colour spaces as a browser shows them, damaged or oversized files refused with
// their cause, and the metadata and size limits of the rewrite.
#include "jpeg/exif_orientation.h"
#include "jpeg/jpeg_decoder.h"
#include "jpeg/jpeg_lossless.h"
#include "jpeg/test_jpeg_files.h"
#include "support/test_support.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace lumatrim {
namespace {

using namespace std::literals;
using test::Decode;
using test::Rewrite;
using test::Rgb;
using test::TestJpeg;
using test::WithFrameSize;
constexpr uint64_t kLimit = test::kPixelLimit;

// The sample at x, y shows `wanted`, within the loss of a quality-95 encode of flat areas.
void ExpectShows(const JpegPicture& picture, uint32_t x, uint32_t y, const Rgb& wanted) {
    const uint8_t* p = &picture.samples[(size_t{y} * picture.width + x) * picture.components];
    const int g = p[picture.components / 2], b = p[picture.components - 1];
    EXPECT_LE(std::abs(p[0] - wanted.r) + std::abs(g - wanted.g) + std::abs(b - wanted.b), 12)
        << x << "," << y << ": " << int(p[0]) << "," << g << "," << b;
}

// Which stored quadrant shows at the upright top-left, top-right and bottom-left corners, as
// the EXIF standard describes each orientation (0 top-left, 1 top-right, 2 bottom-left,
// 3 bottom-right).
constexpr int kUprightCorners[9][3] = {{},        {0, 1, 2}, {1, 0, 3}, {3, 2, 1}, {2, 3, 0},
                                       {0, 2, 1}, {2, 0, 3}, {3, 1, 2}, {1, 3, 0}};

void ExpectUpright(const JpegPicture& picture, uint8_t orientation, const TestJpeg& spec) {
    const bool turned = orientation >= 5;
    ASSERT_EQ(picture.width, turned ? spec.height : spec.width);
    ASSERT_EQ(picture.height, turned ? spec.width : spec.height);
    const auto stored = [&](int quadrant) {
        const int grey = test::kGreyQuadrants[quadrant];
        return spec.stored == JCS_GRAYSCALE ? Rgb{grey, grey, grey} : test::kQuadrants[quadrant];
    };
    const int* corners = kUprightCorners[orientation];
    ExpectShows(picture, 1, 1, stored(corners[0]));
    ExpectShows(picture, picture.width - 2, 1, stored(corners[1]));
    ExpectShows(picture, 1, picture.height - 2, stored(corners[2]));
}

int LargestDifference(const JpegPicture& a, const JpegPicture& b) {
    int largest = 0;
    for (size_t i = 0; i < std::min(a.samples.size(), b.samples.size()); ++i)
        largest = std::max(largest, std::abs(a.samples[i] - b.samples[i]));
    return largest;
}

// The orientation of the file's first EXIF block; 1 for none.
uint8_t OrientationOf(const std::vector<uint8_t>& file) {
    const uint8_t app1[] = {0xFF, 0xE1};
    const auto at = std::search(file.begin(), file.end(), app1, app1 + 2);
    if (at == file.end()) return 1;
    return ReadExifOrientation({&at[4], (size_t{at[2]} << 8 | at[3]) - 2});
}

// Every stored colour space, sampling and orientation shows as a browser shows it: upright,
// CMYK as inverted inks with or without Adobe's marker. An ink profile cannot describe RGB
// samples and is dropped; any other is kept, also one that needs two APP2 segments.
// The lossless rewrite keeps the coefficients and tables in progressive scans, with the profile
// and Adobe's marker. Where each block is whole, the coefficients turn upright and the file
// says no more about orientation; a decoder's rounding, done in another order then, may move a
// sample by a few levels. Where a partial block would move to the top or left, the EXIF block
// keeps the orientation alone and the picture decodes exactly as before.
TEST(JpegDecoder, EveryColourSpaceAndOrientationShowsAsABrowserShowsItBeforeAndAfterTheRewrite) {
    const std::vector<uint8_t> profile = test::TestProfile("RGB ", 70000);
    const std::vector<uint8_t> ink = test::TestProfile("CMYK", 600);
    struct Case {
        const char* name;
        TestJpeg spec;
        bool keepsProfile;
        bool whole; // whole MCUs on the axes that mirror
    };
    const Case cases[] = {
        {"4:2:0, whole MCUs", {.iccProfile = profile}, true, true},
        {"4:2:0, partial MCUs", {.width = 36, .height = 20, .iccProfile = profile}, true, false},
        {"4:2:2", {.width = 32, .height = 24, .lumaV = 1, .progressive = true}, true, true},
        {"4:4:4", {.lumaH = 1, .lumaV = 1, .progressive = true}, true, true},
        {"rgb", {.stored = JCS_RGB, .lumaH = 1, .lumaV = 1}, true, true},
        {"grey",
         {.stored = JCS_GRAYSCALE, .iccProfile = test::TestProfile("GRAY", 300)},
         true,
         true},
        {"cmyk", {.stored = JCS_CMYK, .lumaH = 1, .lumaV = 1, .iccProfile = ink}, false, true},
        {"cmyk unmarked",
         {.stored = JCS_CMYK, .lumaH = 1, .lumaV = 1, .adobeMarker = false},
         true,
         true},
        {"ycck, partial MCUs", {.width = 40, .height = 24, .stored = JCS_YCCK}, true, false},
    };
    for (const Case& c : cases)
        for (uint8_t orientation = 1; orientation <= 8; ++orientation) {
            SCOPED_TRACE(testing::Message() << c.name << " #" << int(orientation));
            TestJpeg spec = c.spec;
            spec.orientation = orientation;
            const std::vector<uint8_t> source = test::WriteTestJpeg(spec);
            const JpegPicture picture = Decode(source);
            ExpectUpright(picture, orientation, spec);
            const bool grey = spec.stored == JCS_GRAYSCALE;
            EXPECT_EQ(picture.components, grey ? 1 : 3);
            EXPECT_EQ(picture.iccProfile,
                      c.keepsProfile ? spec.iccProfile : std::vector<uint8_t>{});
            EXPECT_EQ(picture.sourceFullChroma, !grey && spec.lumaH == 1 && spec.lumaV == 1);

            const std::vector<uint8_t> rewritten = Rewrite(source);
            const JpegPicture seen = Decode(rewritten);
            ASSERT_EQ(seen.width, picture.width);
            ASSERT_EQ(seen.height, picture.height);
            // A transpose alone (5) moves no edge, so it is exact at any size.
            const bool turned = orientation != 1 && (c.whole || orientation == 5);
            EXPECT_LE(LargestDifference(seen, picture), turned ? 4 : 0);
            EXPECT_EQ(OrientationOf(rewritten), turned ? 1 : orientation);
            EXPECT_EQ(seen.iccProfile, picture.iccProfile);
            EXPECT_TRUE(test::Contains(rewritten, "\xFF\xC2"sv)); // progressive
            EXPECT_EQ(test::Contains(rewritten, "ICC_PROFILE"sv), !spec.iccProfile.empty());
            EXPECT_EQ(test::Contains(rewritten, "\xFF\xEE"sv),
                      test::Contains(source, "\xFF\xEE"sv));

            // Kept, the source's own EXIF block says upright once the picture is (the decoded
            // one always is), and no second block is added where the rewrite left the
            // orientation to it.
            const auto keep = JpegMetadata::Keep;
            const std::vector<uint8_t> kept = test::Given<std::vector<uint8_t>>(
                RewriteJpegLosslessly(source, kLimit, SIZE_MAX, keep));
            EXPECT_EQ(OrientationOf(kept), turned ? 1 : orientation);
            EXPECT_EQ(kept.size(), rewritten.size() + (turned ? 36 : 0));
            const auto metadata =
                test::Given<JpegPicture>(DecodeJpeg(source, kLimit, {}, keep)).metadata;
            ASSERT_EQ(metadata.size(), orientation != 1 ? 1u : 0u);
            for (const JpegSegment& segment : metadata)
                EXPECT_EQ(ReadExifOrientation(segment.data), 1);
        }
}

std::vector<uint8_t> Spliced(std::vector<uint8_t> file, size_t at, std::vector<uint8_t> bytes,
                             size_t replacing) {
    file.erase(file.begin() + ptrdiff_t(at), file.begin() + ptrdiff_t(at + replacing));
    file.insert(file.begin() + ptrdiff_t(at), bytes.begin(), bytes.end());
    return file;
}

// Where the first scan's entropy-coded data starts.
size_t ScanData(const std::vector<uint8_t>& file) {
    const uint8_t sos[] = {0xFF, 0xDA};
    const size_t at = size_t(std::search(file.begin(), file.end(), sos, sos + 2) - file.begin());
    return at + 2 + (size_t{file[at + 2]} << 8 | file[at + 3]);
}

TEST(JpegDecoder, DamagedOversizedAndForeignFilesAreRefusedWithTheirCauseAlsoByTheRewrite) {
    const std::vector<uint8_t> good = test::WriteTestJpeg({.width = 256, .height = 128});
    const size_t scan = ScanData(good), half = good.size() / 2;
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        JpegFault fault;
    };
    const Case cases[] = {
        {"empty", {}, JpegFault::NotJpeg},
        {"text", {'h', 'i', '!'}, JpegFault::NotJpeg},
        {"cut in the headers", {good.begin(), good.begin() + 40}, JpegFault::Damaged},
        {"cut in half", {good.begin(), good.begin() + ptrdiff_t(half)}, JpegFault::Damaged},
        {"cut in half, end marker after", Spliced(good, half, {0xFF, 0xD9}, good.size() - half),
         JpegFault::Damaged},
        {"no end marker", {good.begin(), good.end() - 2}, JpegFault::Damaged},
        {"a marker inside the scan", Spliced(good, scan + 40, {0xFF, 0xD3}, 2), JpegFault::Damaged},
        // Stuffed 0xFF bytes: more one bits in a row than any Huffman code has.
        {"scan bytes flipped to ones",
         Spliced(good, scan + 60, {0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0}, 4), JpegFault::Damaged},
        // A few kilobytes could not hold the 4 M blocks this header declares.
        {"16384 x 16384 in a small file", WithFrameSize(good, 16384, 16384), JpegFault::Damaged},
        {"20000 x 20000", WithFrameSize(good, 20000, 20000), JpegFault::TooLarge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const JpegDecodeResult result = DecodeJpeg(c.file, kLimit);
        ASSERT_EQ(test::FaultOf(result), c.fault);
        EXPECT_FALSE(std::get<JpegFailure>(result).detail.empty());
        EXPECT_EQ(test::FaultOf(RewriteJpegLosslessly(c.file, kLimit)), c.fault);
    }
    std::stop_source stopping;
    stopping.request_stop();
    EXPECT_EQ(test::FaultOf(DecodeJpeg(good, kLimit, stopping.get_token())), JpegFault::Stopped);
    // Junk between header segments costs no pixel, so browsers and we read the file.
    EXPECT_EQ(Decode(Spliced(good, 2, {0, 0, 0}, 0)).width, 256u);
}

// Marking upright writes the value 1 in the block's own byte order and nothing else; what the
// reader does not trust is left as it is.
TEST(ExifOrientation, ReadsAndMarksUprightEitherByteOrderAndIgnoresWhatItCannotTrust) {
    const std::vector<uint8_t> littleEndian = {'E', 'x', 'i', 'f', 0, 0,    'I', 'I', 42, 0, 8,
                                               0,   0,   0,   1,   0, 0x12, 1,   3,   0,  1, 0,
                                               0,   0,   3,   0,   0, 0,    0,   0,   0,  0};
    for (const std::vector<uint8_t>& block : {littleEndian, ExifOrientationBlock(6)}) {
        std::vector<uint8_t> marked = block;
        EXPECT_NE(ReadExifOrientation(block), 1);
        ASSERT_TRUE(MarkExifUpright(marked));
        EXPECT_EQ(ReadExifOrientation(marked), 1);
        marked[24] = block[24], marked[25] = block[25];
        EXPECT_EQ(marked, block) << "only the value's two bytes change";
    }
    std::vector<uint8_t> outOfRange = ExifOrientationBlock(6);
    outOfRange[25] = 9;
    std::vector<uint8_t> aLong = ExifOrientationBlock(6);
    aLong[19] = 4; // LONG, not SHORT
    std::vector<uint8_t> farDirectory = ExifOrientationBlock(6);
    farDirectory[12] = 0xFF; // the directory starts past the data's end
    const std::vector<uint8_t> cut(littleEndian.begin(), littleEndian.begin() + 20);
    EXPECT_EQ(ReadExifOrientation(littleEndian), 3);
    EXPECT_EQ(ReadExifOrientation(outOfRange), 1);
    for (const std::vector<uint8_t>& untrusted :
         {aLong, farDirectory, cut, std::vector<uint8_t>{'h', 't'}}) {
        std::vector<uint8_t> kept = untrusted;
        EXPECT_EQ(ReadExifOrientation(untrusted), 1);
        EXPECT_FALSE(MarkExifUpright(kept));
        EXPECT_EQ(kept, untrusted);
    }
}

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
