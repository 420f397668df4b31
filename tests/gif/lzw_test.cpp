// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gif/gif.h"
#include "gif/lzw_decoder.h"
#include "gif/lzw_encoder.h"
#include "gif_builder.h"

#include <gtest/gtest.h>
#include <memory>
#include <numeric>
#include <tuple>

namespace lumatrim {
namespace {

using test::PackCodes;
using test::Pixels;
using test::PlainLzw;

std::unique_ptr<cDIB> Surface(int32_t width, int32_t height, uint8_t fill) {
    auto dib = std::make_unique<cDIB>();
    EXPECT_TRUE(dib->Create(width, height, 8));
    for (int32_t y = 0; y < height; ++y)
        std::fill_n(dib->lpBits() + y * dib->BytesPerScanline(), width, fill);
    return dib;
}

using Bytes = std::vector<uint8_t>;

// The pixels decoded from `data` onto a surface of `fill`, which stays where the data never
// reaches.
Bytes Decoded(int32_t width, int32_t height, bool interlaced, uint8_t minCodeSize,
              const Bytes& data, uint8_t fill = 9) {
    const auto dib = Surface(width, height, fill);
    mGIFLZWDec().DecodeImage(*dib, interlaced, minCodeSize, data);
    return Pixels(*dib);
}
Bytes DecodedRow(uint8_t minCodeSize, const Bytes& data, int32_t width) {
    return Decoded(width, 1, false, minCodeSize, data);
}

// Surface row r holds the number of the GIF row stored there.
TEST(LzwDecoder, FillsRowsInInterlacedOrderOnlyForFramesTallerThanFour) {
    for (const auto& [height, interlaced, rows] : std::vector<std::tuple<int32_t, bool, Bytes>>{
             {10, true, {0, 5, 3, 6, 2, 7, 4, 8, 1, 9}},
             {4, true, {0, 1, 2, 3}},
             {5, true, {0, 3, 2, 4, 1}},
             {10, false, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}}}) {
        Bytes gifRows(static_cast<size_t>(height));
        std::iota(gifRows.begin(), gifRows.end(), uint8_t{0});
        EXPECT_EQ(Decoded(1, height, interlaced, 7, PlainLzw(gifRows, 7), 0xFF), rows);
    }
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
    auto noise = Surface(300, 200, 0);
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
        EXPECT_EQ(Decoded(dib->Width(), dib->Height(), false, static_cast<uint8_t>(bits - 1),
                          Unpacked(blocks), 0xFF),
                  Pixels(*dib));
    }
}

} // namespace
} // namespace lumatrim
