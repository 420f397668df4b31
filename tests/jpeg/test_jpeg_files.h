// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Small JPEG files written with libjpeg for the decoder and rewrite tests: a picture of four
// flat quadrants, stored in a chosen colour space and sampling, with an optional colour profile
// and EXIF orientation.
#pragma once

#include "jpeg/jpeg_decoder.h"
#include "jpeg/jpeg_lossless.h"

#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <optional>
#include <vector>

namespace lumatrim::test {

struct Rgb {
    int r, g, b;
};

// The quadrants, top-left, top-right, bottom-left, bottom-right, as stored.
inline constexpr Rgb kQuadrants[4] = {{220, 40, 40}, {40, 200, 60}, {40, 60, 220}, {230, 220, 60}};
// In grey files, the same quadrants' levels.
inline constexpr int kGreyQuadrants[4] = {40, 100, 160, 220};

struct TestJpeg {
    uint32_t width = 32, height = 16;
    J_COLOR_SPACE stored = JCS_YCbCr; // JCS_GRAYSCALE, JCS_YCbCr, JCS_CMYK or JCS_YCCK
    int lumaH = 2, lumaV = 2;         // the first component's sampling factors
    bool progressive = false;
    bool adobeMarker = true; // for CMYK
    std::vector<uint8_t> iccProfile{};
    uint8_t orientation = 1; // 1 writes no EXIF block
};

std::vector<uint8_t> WriteTestJpeg(const TestJpeg& spec);

inline constexpr uint64_t kPixelLimit = uint64_t{1} << 28;

// What a decode or rewrite gave; a refusal fails the test and gives an empty value.
template <typename Value, typename Result> Value Given(Result result) {
    if (const auto* failure = std::get_if<JpegFailure>(&result)) ADD_FAILURE() << failure->detail;
    auto* value = std::get_if<Value>(&result);
    return value ? std::move(*value) : Value{};
}
inline JpegPicture Decode(const std::vector<uint8_t>& file) {
    return Given<JpegPicture>(DecodeJpeg(file, kPixelLimit));
}
inline std::vector<uint8_t> Rewrite(const std::vector<uint8_t>& file) {
    return Given<std::vector<uint8_t>>(RewriteJpegLosslessly(file, kPixelLimit));
}

// The fault a decode or rewrite failed with; none when it gave a result.
template <typename Result> std::optional<JpegFault> FaultOf(const Result& result) {
    const auto* failure = std::get_if<JpegFailure>(&result);
    return failure ? std::optional(failure->fault) : std::nullopt;
}

// The file with its baseline frame header's width and height replaced.
inline std::vector<uint8_t> WithFrameSize(std::vector<uint8_t> jpeg, uint16_t width,
                                          uint16_t height) {
    size_t at = 2;
    while (jpeg.at(at + 1) != 0xC0)
        at += 2 + (size_t{jpeg.at(at + 2)} << 8 | jpeg.at(at + 3));
    jpeg.at(at + 5) = uint8_t(height >> 8), jpeg.at(at + 6) = uint8_t(height);
    jpeg.at(at + 7) = uint8_t(width >> 8), jpeg.at(at + 8) = uint8_t(width);
    return jpeg;
}

// A made-up profile of `bytes` bytes for `space` ("RGB ", "GRAY", "CMYK"); one over 65,519
// bytes needs more than one APP2 segment.
std::vector<uint8_t> TestProfile(const char* space, size_t bytes);

} // namespace lumatrim::test
