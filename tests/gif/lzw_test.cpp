// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gif/gif.h"
#include "gif/lzw_decoder.h"
#include "gif/lzw_encoder.h"
#include "gif_builder.h"
#include "support/test_support.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <numeric>

namespace lumatrim {
namespace {

using test::PackCodes;
using test::Pixels;
using test::PlainLzw;

std::unique_ptr<cDIB> Surface(int32_t width, int32_t height, uint8_t fill = 0) {
    auto dib = std::make_unique<cDIB>();
    EXPECT_TRUE(dib->Create(width, height, 8));
    for (int32_t y = 0; y < height; ++y)
        std::fill_n(dib->lpBits() + y * dib->BytesPerScanline(), width, fill);
    return dib;
}

void Decode(cDIB& dib, bool interlaced, uint8_t minCodeSize, const std::vector<uint8_t>& data) {
    mGIFLZWDec().DecodeImage(dib, interlaced, minCodeSize, data);
}

using Bytes = std::vector<uint8_t>;

// One row of `width` pixels decoded from `data`; pixels the data never reaches stay 9.
Bytes DecodedRow(uint8_t minCodeSize, const Bytes& data, size_t width) {
    auto dib = Surface(static_cast<int32_t>(width), 1, 9);
    Decode(*dib, false, minCodeSize, data);
    return Pixels(*dib);
}

// Surface row r holds the number of the GIF row stored there.
Bytes RowsFilledInOrder(int32_t height, bool interlaced) {
    Bytes gifRows(static_cast<size_t>(height));
    std::iota(gifRows.begin(), gifRows.end(), uint8_t{0});
    auto dib = Surface(1, height, 0xFF);
    Decode(*dib, interlaced, 7, PlainLzw(gifRows, 7));
    return Pixels(*dib);
}

TEST(LzwDecoder, FillsRowsInInterlacedOrderOnlyForFramesTallerThanFour) {
    EXPECT_EQ(RowsFilledInOrder(10, true), (Bytes{0, 5, 3, 6, 2, 7, 4, 8, 1, 9}));
    EXPECT_EQ(RowsFilledInOrder(4, true), (Bytes{0, 1, 2, 3}));
    EXPECT_EQ(RowsFilledInOrder(5, true), (Bytes{0, 3, 2, 4, 1}));
    EXPECT_EQ(RowsFilledInOrder(10, false), (Bytes{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(LzwDecoder, DamagedAndUnusualCodeStreams) {
    // Minimum code size 2: Clear 4, End 5, first free code 6.
    // A code equal to the next free code is the previous string plus its own first byte.
    EXPECT_EQ(DecodedRow(2, PackCodes({{4, 3}, {1, 3}, {6, 3}, {7, 3}, {5, 4}}), 6),
              (Bytes{1, 1, 1, 1, 1, 1}));
    // A code above the next free code ends the frame.
    EXPECT_EQ(DecodedRow(2, PackCodes({{4, 3}, {1, 3}, {7, 3}, {1, 3}, {5, 3}}), 4),
              (Bytes{1, 9, 9, 9}));
    // No leading Clear loses nothing; a Clear resets the table.
    EXPECT_EQ(DecodedRow(2, PackCodes({{2, 3}, {4, 3}, {4, 3}, {3, 3}, {1, 3}, {5, 3}}), 4),
              (Bytes{2, 3, 1, 9}));
    // After a Clear, a code that is no root has no string to extend.
    EXPECT_EQ(DecodedRow(2, PackCodes({{4, 3}, {6, 3}, {1, 3}, {5, 3}}), 2), (Bytes{9, 9}));
    // Data cut after ten codes; pixels beyond the surface.
    const auto cut = PlainLzw({1, 2, 3, 1, 2, 3, 1, 2}, 2);
    EXPECT_EQ(DecodedRow(2, {cut.begin(), cut.begin() + 4}, 8), (Bytes{1, 2, 3, 1, 2, 3, 9, 9}));
    EXPECT_EQ(DecodedRow(2, PlainLzw({1, 2, 3, 1, 3, 3, 3, 3, 3}, 2), 4), (Bytes{1, 2, 3, 1}));
    // Code sizes no GIF can have: above 11, and a root (300) that is no byte.
    EXPECT_EQ(DecodedRow(12, PlainLzw({1, 1}, 11), 2), (Bytes{9, 9}));
    EXPECT_EQ(DecodedRow(9, PackCodes({{512, 10}, {1, 10}, {300, 10}, {513, 10}}), 2),
              (Bytes{1, 9}));
}

TEST(LzwDecoder, TableFullWithoutClearKeepsDecoding) {
    // Once the table is full, 12-bit codes are plain roots and add no entries.
    std::vector<std::pair<uint32_t, int>> codes{{256, 9}};
    Bytes expected;
    uint32_t nextFree = 258;
    int width = 9;
    for (int i = 0; i < 5000; ++i) {
        const auto pixel = static_cast<uint32_t>((i * 7) % 256);
        codes.emplace_back(pixel, width);
        expected.push_back(static_cast<uint8_t>(pixel));
        if (i > 0 && nextFree < 4096) ++nextFree;
        if (nextFree > (1u << width) - 1 && width < 12) ++width;
    }
    // The last entry, 4095, was pixels 3837 and 3838.
    codes.insert(codes.end(), {{4095, 12}, {257, 12}});
    expected.insert(expected.end(), {expected[3837], expected[3838]});
    EXPECT_EQ(DecodedRow(8, PackCodes(codes), 5002), expected);
}

// Data sub-blocks joined into the bare code stream; every block but the last holds 254 bytes.
Bytes Unpacked(const Bytes& blocks) {
    Bytes data;
    size_t at = 0;
    for (; at < blocks.size(); at += blocks[at] + 1u) {
        EXPECT_TRUE(at + 255 >= blocks.size() || blocks[at] == 254) << at;
        data.insert(data.end(), blocks.begin() + static_cast<std::ptrdiff_t>(at) + 1,
                    blocks.begin() + static_cast<std::ptrdiff_t>(at + blocks[at] + 1));
    }
    EXPECT_EQ(at, blocks.size());
    return data;
}

// Every clear policy gives data the decoder turns back into the same pixels: one colour grows
// strings past 4000 bytes, noise on 16 colours fills the table several times (reported full).
TEST(LzwCodec, EveryPictureAndClearPolicyRoundTrips) {
    auto noise = Surface(300, 200);
    uint32_t seed = 1;
    for (int32_t y = 0; y < 200; ++y)
        for (int32_t x = 0; x < 300; ++x) {
            seed = seed * 1103515245u + 12345u;
            noise->lpBits()[y * noise->BytesPerScanline() + x] = static_cast<uint8_t>(seed >> 28);
        }
    const auto flat = Surface(4000, 2200, 1), tiny = Surface(8, 8, 3);
    const std::pair<const cDIB*, ClearPolicy> cases[] = {
        {flat.get(), {}},
        {noise.get(), {}},
        {noise.get(), {4093, false, 0}},
        {noise.get(), {300, false, 0}},
        {noise.get(), {4096, true, 0}},
        {noise.get(), {4096, true, ClearPolicy::kNever}},
        {tiny.get(), {}}};
    mGIFLZWEnc encoder;
    for (const auto& [dib, policy] : cases) {
        SCOPED_TRACE(testing::Message() << dib->Width() << " wide, clear at " << policy.fullAt
                                        << (policy.deferred ? " deferred" : ""));
        const uint8_t bits = dib == noise.get() ? 5 : 3;
        Bytes blocks;
        encoder.EncodeImage(blocks, *dib, bits, false, policy);
        EXPECT_EQ(encoder.TableFilled(), dib != tiny.get());
        auto back = Surface(dib->Width(), dib->Height(), 0xFF);
        Decode(*back, false, static_cast<uint8_t>(bits - 1), Unpacked(blocks));
        EXPECT_EQ(Pixels(*back), Pixels(*dib));
    }
}

constexpr int32_t kTolerance = 400;

// A pixel may stray by the tolerance from its colour plus the carried error, which is at most
// three quarters of the tolerance again: 1.75 x its square root in any channel.
const int32_t kBound = static_cast<int32_t>(1.75 * std::sqrt(kTolerance)) + 1;

int32_t ChannelDistance(uint32_t a, uint32_t b) {
    int32_t largest = 0;
    for (int shift = 0; shift < 24; shift += 8)
        largest = std::max(largest, std::abs(static_cast<int32_t>(a >> shift & 0xFF) -
                                             static_cast<int32_t>(b >> shift & 0xFF)));
    return largest;
}

void ExpectSameFrameAndNearPixels(const cGIF& source, const cGIF& lossy, int32_t n,
                                  const std::string& name) {
    const cDIB& a = *source.FrameDIBXOR(n);
    const cDIB& b = *lossy.FrameDIBXOR(n);
    const bool transparency = source.FrameUseTransparentColor(n);
    const uint8_t clear = source.FrameTransparentColorIndex(n);
    int32_t worst = 0;
    for (int32_t y = 0; y < a.Height(); ++y) {
        const uint8_t* rowA = a.lpBits() + static_cast<ptrdiff_t>(y) * a.BytesPerScanline();
        const uint8_t* rowB = b.lpBits() + static_cast<ptrdiff_t>(y) * b.BytesPerScanline();
        for (int32_t x = 0; x < a.Width(); ++x) {
            if (transparency) {
                ASSERT_EQ(rowA[x] == clear, rowB[x] == clear) << name;
            }
            worst = std::max(worst, ChannelDistance(source.lpFramePaletteColor(n, rowA[x]),
                                                    lossy.lpFramePaletteColor(n, rowB[x])));
        }
    }
    EXPECT_LE(worst, kBound) << name << " frame " << n;
}

// Every test GIF written with lossy LZW reads back as the same animation (screen, loop, frames
// with their places, timing, disposal and transparency) with every pixel near its source and
// transparent exactly where the source is; in all, in fewer bytes than the exact encoding.
TEST(LossyLzw, KeepsTheAnimationAndStraysOnlyWithinTheTolerance) {
    size_t exactBytes = 0;
    size_t lossyBytes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(test::DataFile("gif"))) {
        if (entry.path().extension() != ".gif") continue;
        const std::string name = entry.path().filename().string();
        cGIF source;
        ASSERT_TRUE(source.LoadFromFile(entry.path())) << name;
        exactBytes += source.SaveToMemory().size();
        for (const LzwEffort effort : {LzwEffort::OnePolicy, LzwEffort::BestPolicy}) {
            const std::vector<uint8_t> bytes = source.SaveToMemory(effort, kTolerance);
            if (effort == LzwEffort::OnePolicy) lossyBytes += bytes.size();
            cGIF lossy;
            ASSERT_TRUE(lossy.LoadFromStream(bytes)) << name;
            EXPECT_EQ(lossy.LoadDamaged(), source.LoadDamaged()) << name;
            // The screen and every frame's size, place, timing, disposal and transparency.
            ASSERT_EQ(test::Describe(lossy), test::Describe(source)) << name;
            EXPECT_EQ(lossy.AnimationPlaysOnce(), source.AnimationPlaysOnce()) << name;
            for (int32_t n = 1; n <= source.FramesCount(); ++n)
                ExpectSameFrameAndNearPixels(source, lossy, n, name);
        }
    }
    EXPECT_LT(lossyBytes, exactBytes);
}

} // namespace
} // namespace lumatrim
