// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The JPEG encoder, read back by libjpeg: tables, components and sampling, profiles, and what
// it refuses.
#include "jpegenc/jpeg_encoder.h"

#include "libjpeg_decode.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <tuple>

namespace lumatrim {
namespace {

// Smooth colour gradients (up to 96x64) with a fine grey texture, so that every setting has detail
// to quantize.
JpegPicture MakePicture(uint32_t width, uint32_t height, uint8_t components) {
    JpegPicture picture{width, height, components, {}, {}, false, {}};
    uint32_t noise = 12345;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            noise = noise * 1103515245 + 12345;
            for (uint8_t c = 0; c < components; ++c) {
                const uint32_t base = 10 + x + y + c * 30u; // at most 243 with the noise
                picture.samples.push_back(static_cast<uint8_t>(base + (noise >> 28)));
            }
        }
    return picture;
}

double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += (a[i] - b[i]) * (a[i] - b[i]);
    return sum == 0 ? 99 : 10 * std::log10(255.0 * 255.0 * static_cast<double>(a.size()) / sum);
}

TEST(EncodeJpeg, WritesLibjpegsTablesAtTheAskedQuality) {
    for (const bool fast : {true, false})
        for (const int quality : {1, 50, 85, 100}) {
            const test::QuantTables reference = test::LibjpegTables(quality);
            for (const uint8_t components : {1, 3}) {
                const auto file = EncodeJpeg(MakePicture(24, 16, components), {quality, fast});
                EXPECT_EQ(
                    test::DecodeWithLibjpeg(file).tables,
                    test::QuantTables(reference.begin(), reference.begin() + components / 2 + 1))
                    << quality;
            }
        }
}

// Every size (partial blocks and MCUs), component count, sampling and effort gives a
// progressive file that libjpeg reads without a warning, close to the picture, with its colour
// profile (one of several segments for colour).
TEST(EncodeJpeg, OutputsDecodeCleanlyCloseToThePicture) {
    for (const auto& [width, height] :
         {std::pair{1u, 1u}, {7u, 9u}, {8u, 8u}, {17u, 33u}, {64u, 47u}})
        for (const uint8_t components : {1, 3})
            for (const ChromaSampling chroma : {ChromaSampling::Full, ChromaSampling::Half})
                for (const bool fast : {true, false}) {
                    SCOPED_TRACE(testing::Message() << width << "x" << height << " "
                                                    << int(components) << (fast ? " fast" : ""));
                    JpegPicture picture = MakePicture(width, height, components);
                    for (size_t i = 0; i < (components == 3 ? 70000u : 3u); ++i)
                        picture.iccProfile.push_back(static_cast<uint8_t>(i * 7));
                    const test::DecodedJpeg decoded =
                        test::DecodeWithLibjpeg(EncodeJpeg(picture, {90, fast, chroma}));
                    ASSERT_TRUE(decoded.ok);
                    std::vector<int> sampling(components, 1); // luma's, then chroma's
                    sampling[0] = components == 3 && chroma == ChromaSampling::Half ? 2 : 1;
                    EXPECT_EQ(std::tuple(decoded.warnings, decoded.progressive, decoded.width,
                                         decoded.height, decoded.samplingH, decoded.samplingV),
                              std::tuple(0, true, width, height, sampling, sampling));
                    EXPECT_GT(Psnr(decoded.samples, picture.samples), 30);
                    EXPECT_EQ(decoded.iccProfile, picture.iccProfile);
                }
}

TEST(EncodeJpeg, RefusesPicturesItCannotWrite) {
    const JpegPicture twoComponents{4, 4, 2, std::vector<uint8_t>(32), {}, false, {}};
    const JpegPicture short_{4, 4, 3, std::vector<uint8_t>(47), {}, false, {}};
    JpegPicture wide{65501, 1, 1, std::vector<uint8_t>(65501, 0), {}, false, {}};
    for (const JpegPicture& picture : {JpegPicture{}, twoComponents, short_, wide})
        EXPECT_TRUE(EncodeJpeg(picture, {}).empty());
    // A run that is stopping gets no file, however far the encoding had come.
    std::stop_source stopping;
    stopping.request_stop();
    for (const bool fast : {true, false})
        EXPECT_TRUE(
            EncodeJpeg(MakePicture(64, 64, 3), {85, fast, {}, stopping.get_token()}).empty());
}

// Red lines one sample wide on white: colour edges that halved chroma would blur.
JpegPicture RedLines(bool sourceFullChroma) {
    JpegPicture picture{48, 32, 3, {}, {}, sourceFullChroma, {}};
    for (uint32_t y = 0; y < 32; ++y)
        for (uint32_t x = 0; x < 48; ++x) {
            const uint8_t other = x % 4 == 1 ? 0 : 255;
            picture.samples.insert(picture.samples.end(), {255, other, other});
        }
    return picture;
}

// A source that had halved chroma already, or smooth colour, gets halved chroma.
TEST(EncodeJpeg, KeepsFullChromaWhereAFullChromaSourceHasSharpColourEdges) {
    JpegPicture smooth = MakePicture(48, 32, 3);
    smooth.sourceFullChroma = true;
    const std::pair<JpegPicture, int> cases[] = {
        {RedLines(true), 1}, {RedLines(false), 2}, {smooth, 2}};
    for (const auto& [picture, luma] : cases)
        EXPECT_EQ(test::DecodeWithLibjpeg(EncodeJpeg(picture, {})).samplingH.at(0), luma);
}

// The search trades error for bits: fewer bytes than plain rounding, for a bounded loss.
TEST(EncodeJpeg, TheSearchSavesBytesForALittleError) {
    const JpegPicture picture = MakePicture(96, 64, 3);
    const auto rounded = EncodeJpeg(picture, {85, true});
    const auto searched = EncodeJpeg(picture, {85, false});
    EXPECT_LT(searched.size(), rounded.size());
    const double loss = Psnr(test::DecodeWithLibjpeg(rounded).samples, picture.samples) -
                        Psnr(test::DecodeWithLibjpeg(searched).samples, picture.samples);
    EXPECT_LT(loss, 1.5);
}

} // namespace
} // namespace lumatrim
