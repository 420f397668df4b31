// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The decoder: pictures upright by every orientation with their profile, colour spaces as a
// browser shows them, and damaged or oversized files refused with their cause.
#include "jpeg/exif_orientation.h"
#include "jpeg/jpeg_decoder.h"
#include "jpeg/test_jpeg_files.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

namespace lumatrim {
namespace {

using test::Decode;
using test::Rgb;
using test::TestJpeg;
using test::WithFrameSize;
constexpr uint64_t kLimit = test::kPixelLimit;

Rgb PixelAt(const JpegPicture& picture, uint32_t x, uint32_t y) {
    const uint8_t* p = &picture.samples[(size_t{y} * picture.width + x) * picture.components];
    return picture.components == 1 ? Rgb{p[0], p[0], p[0]} : Rgb{p[0], p[1], p[2]};
}

// Within the loss of a quality-95 encode of flat areas, away from the edges.
void ExpectNear(const Rgb& seen, const Rgb& wanted) {
    EXPECT_LE(
        std::abs(seen.r - wanted.r) + std::abs(seen.g - wanted.g) + std::abs(seen.b - wanted.b), 12)
        << seen.r << "," << seen.g << "," << seen.b << " for " << wanted.r << "," << wanted.g << ","
        << wanted.b;
}

// Which stored quadrant shows at the upright top-left, top-right and bottom-left corners, as
// the EXIF standard describes each orientation (0 top-left, 1 top-right, 2 bottom-left,
// 3 bottom-right).
struct Corners {
    int topLeft, topRight, bottomLeft;
};
constexpr Corners kUprightCorners[9] = {{},        {0, 1, 2}, {1, 0, 3}, {3, 2, 1}, {2, 3, 0},
                                        {0, 2, 1}, {2, 0, 3}, {3, 1, 2}, {1, 3, 0}};

void ExpectUpright(const JpegPicture& picture, uint8_t orientation, const TestJpeg& spec) {
    const bool turned = orientation >= 5;
    ASSERT_EQ(picture.width, turned ? spec.height : spec.width);
    ASSERT_EQ(picture.height, turned ? spec.width : spec.height);
    const Corners corners = kUprightCorners[orientation];
    const uint32_t right = picture.width - 2, bottom = picture.height - 2;
    ExpectNear(PixelAt(picture, 1, 1), test::kQuadrants[corners.topLeft]);
    ExpectNear(PixelAt(picture, right, 1), test::kQuadrants[corners.topRight]);
    ExpectNear(PixelAt(picture, 1, bottom), test::kQuadrants[corners.bottomLeft]);
}

// Both sizes: one of whole 16-pixel MCUs, one with partial MCUs at the right and bottom. The
// profile is long enough to need two APP2 segments.
TEST(JpegDecoder, EveryOrientationStandsUprightAndKeepsItsProfile) {
    const std::vector<uint8_t> profile = test::TestProfile("RGB ", 70000);
    for (const auto& [width, height] : {std::pair{32u, 16u}, std::pair{36u, 20u}})
        for (uint8_t orientation = 1; orientation <= 8; ++orientation) {
            SCOPED_TRACE(testing::Message() << width << "x" << height << " #" << int(orientation));
            const TestJpeg spec{.width = width,
                                .height = height,
                                .iccProfile = profile,
                                .orientation = orientation};
            const JpegPicture picture = Decode(test::WriteTestJpeg(spec));
            ExpectUpright(picture, orientation, spec);
            EXPECT_EQ(picture.components, 3);
            EXPECT_EQ(picture.iccProfile, profile);
            EXPECT_FALSE(picture.sourceFullChroma);
        }
}

// Browsers read CMYK as inverted inks with or without Adobe's marker; the ink profile cannot
// describe RGB samples and is dropped, while a grey file keeps its grey profile.
TEST(JpegDecoder, ColourSpacesDecodeAsABrowserShowsThem) {
    struct Case {
        const char* name;
        TestJpeg spec;
        uint8_t components;
        bool keepsProfile;
    };
    const std::vector<uint8_t> ink = test::TestProfile("CMYK", 600);
    const std::vector<uint8_t> grey = test::TestProfile("GRAY", 300);
    const Case cases[] = {
        {"ycc 4:4:4", {.lumaH = 1, .lumaV = 1, .progressive = true}, 3, true},
        {"rgb", {.stored = JCS_RGB, .lumaH = 1, .lumaV = 1}, 3, true},
        {"grey", {.stored = JCS_GRAYSCALE, .iccProfile = grey}, 1, true},
        {"cmyk", {.stored = JCS_CMYK, .lumaH = 1, .lumaV = 1, .iccProfile = ink}, 3, false},
        {"cmyk unmarked",
         {.stored = JCS_CMYK, .lumaH = 1, .lumaV = 1, .adobeMarker = false},
         3,
         true},
        {"ycck", {.stored = JCS_YCCK}, 3, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const JpegPicture picture = Decode(test::WriteTestJpeg(c.spec));
        EXPECT_EQ(picture.components, c.components);
        EXPECT_EQ(picture.iccProfile.empty(), !c.keepsProfile || c.spec.iccProfile.empty());
        if (c.components == 1) {
            EXPECT_NEAR(PixelAt(picture, 1, 1).r, test::kGreyQuadrants[0], 3);
            EXPECT_NEAR(PixelAt(picture, 30, 14).r, test::kGreyQuadrants[3], 3);
        } else {
            ExpectUpright(picture, 1, c.spec);
        }
    }
    EXPECT_TRUE(Decode(test::WriteTestJpeg({.lumaH = 1, .lumaV = 1})).sourceFullChroma);
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

TEST(JpegDecoder, DamagedOversizedAndForeignFilesAreRefusedWithTheirCause) {
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
        {"start marker only", {0xFF, 0xD8, 0xFF}, JpegFault::Damaged},
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
    }
    std::stop_source stopping;
    stopping.request_stop();
    EXPECT_EQ(test::FaultOf(DecodeJpeg(good, kLimit, stopping.get_token())), JpegFault::Stopped);
    // Junk between header segments costs no pixel, so browsers and we read the file.
    EXPECT_EQ(Decode(Spliced(good, 2, {0, 0, 0}, 0)).width, 256u);
}

TEST(ExifOrientation, ReadsEitherByteOrderAndIgnoresWhatItCannotTrust) {
    const std::vector<uint8_t> littleEndian = {'E', 'x', 'i', 'f', 0, 0,    'I', 'I', 42, 0, 8,
                                               0,   0,   0,   1,   0, 0x12, 1,   3,   0,  1, 0,
                                               0,   0,   3,   0,   0, 0,    0,   0,   0,  0};
    std::vector<uint8_t> outOfRange = ExifOrientationBlock(6);
    outOfRange[25] = 9;
    const std::vector<uint8_t> cut(littleEndian.begin(), littleEndian.begin() + 20);
    struct Case {
        std::vector<uint8_t> app1;
        uint8_t orientation;
    };
    const Case cases[] = {{ExifOrientationBlock(6), 6},
                          {littleEndian, 3},
                          {outOfRange, 1},
                          {cut, 1},
                          {{'h', 't', 't', 'p'}, 1}};
    for (const Case& c : cases)
        EXPECT_EQ(ReadExifOrientation(c.app1), c.orientation);
}

} // namespace
} // namespace lumatrim
