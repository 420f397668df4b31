#include "gif/lzw_decoder.h"
#include "gif/lzw_encoder.h"
#include "gif_builder.h"

#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <random>

namespace lumatrim {
namespace {

using test::PackCodes;
using test::PlainLzw;

std::unique_ptr<cDIB> Surface(int32_t width, int32_t height, uint8_t fill = 0) {
    auto dib = std::make_unique<cDIB>();
    EXPECT_TRUE(dib->Create(width, height, 8));
    for (int32_t y = 0; y < height; ++y)
        std::fill_n(dib->lpBits() + y * dib->BytesPerScanline(), width, fill);
    return dib;
}

std::vector<uint8_t> Pixels(const cDIB& dib) {
    std::vector<uint8_t> out;
    for (int32_t y = 0; y < dib.Height(); ++y) {
        const uint8_t* row = dib.lpBits() + y * dib.BytesPerScanline();
        out.insert(out.end(), row, row + dib.Width());
    }
    return out;
}

void Decode(cDIB& dib, bool interlaced, uint8_t minCodeSize, const std::vector<uint8_t>& data) {
    mGIFLZWDec().DecodeImage(dib, interlaced, minCodeSize, data);
}

// The GIF row that fills each surface row: pixel value = GIF row number.
std::vector<uint8_t> RowsFilledInOrder(int32_t height, bool interlaced) {
    std::vector<uint8_t> gifRows(static_cast<size_t>(height));
    std::iota(gifRows.begin(), gifRows.end(), uint8_t{0});
    auto dib = Surface(1, height, 0xFF);
    Decode(*dib, interlaced, 7, PlainLzw(gifRows, 7));
    return Pixels(*dib);
}

TEST(LzwDecoder, FillsRowsInInterlacedOrderOnlyForFramesTallerThanFour) {
    // Surface row r holds the number of the GIF row stored there.
    EXPECT_EQ(RowsFilledInOrder(10, true),
              (std::vector<uint8_t>{0, 5, 3, 6, 2, 7, 4, 8, 1, 9})); // order 0 8 4 2 6 1 3 5 7 9
    EXPECT_EQ(RowsFilledInOrder(4, true), (std::vector<uint8_t>{0, 1, 2, 3}));
    EXPECT_EQ(RowsFilledInOrder(5, true), (std::vector<uint8_t>{0, 3, 2, 4, 1}));
    EXPECT_EQ(RowsFilledInOrder(10, false), (std::vector<uint8_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(LzwDecoder, DataThatStopsEarlyKeepsTheRestOfTheSurface) {
    auto dib = Surface(4, 2, 9);
    const auto data = PlainLzw({1, 2, 3, 1, 2, 3, 1, 2}, 2);
    Decode(*dib, false, 2, std::vector<uint8_t>(data.begin(), data.begin() + 4)); // 10 codes
    EXPECT_EQ(Pixels(*dib), (std::vector<uint8_t>{1, 2, 3, 1, 2, 3, 9, 9}));
}

TEST(LzwDecoder, ExtraPixelsAreDiscarded) {
    auto dib = Surface(2, 2);
    Decode(*dib, false, 2, PlainLzw({1, 2, 3, 1, 3, 3, 3, 3, 3}, 2));
    EXPECT_EQ(Pixels(*dib), (std::vector<uint8_t>{1, 2, 3, 1}));
}

TEST(LzwDecoder, CodeEqualToNextFreeCodeRepeatsThePreviousStringAndItsFirstByte) {
    // Clear, 1, 6 (= next free: "1 1"), 7 (= next free: "1 1 1"), End at 3 bits.
    auto dib = Surface(6, 1, 9);
    Decode(*dib, false, 2, PackCodes({{4, 3}, {1, 3}, {6, 3}, {7, 3}, {5, 4}}));
    EXPECT_EQ(Pixels(*dib), (std::vector<uint8_t>{1, 1, 1, 1, 1, 1}));
}

TEST(LzwDecoder, CodeAboveNextFreeCodeEndsTheFrame) {
    auto dib = Surface(4, 1, 9);
    // Clear, 1, then 7 while the next free code is 6.
    Decode(*dib, false, 2, PackCodes({{4, 3}, {1, 3}, {7, 3}, {1, 3}, {5, 3}}));
    EXPECT_EQ(Pixels(*dib), (std::vector<uint8_t>{1, 9, 9, 9}));
}

TEST(LzwDecoder, ClearCodesResetTheTableAndAMissingLeadingClearLosesNothing) {
    auto dib = Surface(4, 1, 9);
    // 2, Clear, Clear, 3, 1, 6 (= "3 1" from the new table), End.
    Decode(*dib, false, 2, PackCodes({{2, 3}, {4, 3}, {4, 3}, {3, 3}, {1, 3}, {5, 3}}));
    EXPECT_EQ(Pixels(*dib), (std::vector<uint8_t>{2, 3, 1, 9}));
    // A first code after Clear that is not a root has no string to start from.
    auto bad = Surface(2, 1, 9);
    Decode(*bad, false, 2, PackCodes({{4, 3}, {6, 3}, {1, 3}, {5, 3}}));
    EXPECT_EQ(Pixels(*bad), (std::vector<uint8_t>{9, 9}));
}

TEST(LzwDecoder, ImpossibleCodeSizesDecodeNothing) {
    auto dib = Surface(2, 1, 9);
    Decode(*dib, false, 12, PlainLzw({1, 1}, 11));
    EXPECT_EQ(Pixels(*dib), (std::vector<uint8_t>{9, 9}));
    // Minimum code size 9: root 300 is no byte.
    Decode(*dib, false, 9, PackCodes({{512, 10}, {1, 10}, {300, 10}, {513, 10}}));
    EXPECT_EQ(Pixels(*dib), (std::vector<uint8_t>{1, 9}));
}

TEST(LzwDecoder, TableFullWithoutClearKeepsDecoding) {
    // 5000 different pairs fill the table; the encoder here never sends a Clear: 12-bit codes
    // after the table is full are plain roots.
    std::vector<std::pair<uint32_t, int>> codes{{256, 9}};
    std::vector<uint8_t> expected;
    uint32_t nextFree = 258;
    int width = 9;
    for (int i = 0; i < 5000; ++i) {
        const auto pixel = static_cast<uint32_t>((i * 7) % 256);
        codes.emplace_back(pixel, width);
        expected.push_back(static_cast<uint8_t>(pixel));
        if (i > 0 && nextFree < 4096) ++nextFree;
        if (nextFree > (1u << width) - 1 && width < 12) ++width;
    }
    codes.emplace_back(257, width);
    auto dib = Surface(5000, 1);
    Decode(*dib, false, 8, PackCodes(codes));
    EXPECT_EQ(Pixels(*dib), expected);
}

std::vector<uint8_t> Encode(const cDIB& dib, int initBits, bool interlaced) {
    std::vector<uint8_t> out;
    mGIFLZWEnc().EncodeImage(out, dib, initBits, interlaced);
    return out;
}

// The data sub-blocks without their length bytes.
std::vector<uint8_t> Unpacketize(const std::vector<uint8_t>& blocks) {
    std::vector<uint8_t> data;
    for (size_t at = 0; at < blocks.size(); at += blocks[at] + 1u)
        data.insert(data.end(), blocks.begin() + static_cast<std::ptrdiff_t>(at) + 1,
                    blocks.begin() + static_cast<std::ptrdiff_t>(at + blocks[at] + 1));
    return data;
}

TEST(LzwEncoder, OnePixelIsClearPixelEndInOnePacket) {
    auto dib = Surface(1, 1, 3);
    // Clear 4, pixel 3, End 5, 3 bits each: 100 011 101 -> 0x5C 0x01.
    EXPECT_EQ(Encode(*dib, 3, false), (std::vector<uint8_t>{2, 0x5C, 0x01}));
}

TEST(LzwEncoder, GrowsTheCodeWidthAndClearsAFullTable) {
    // Random pixels fill the table quickly; the codes must follow the width rules exactly.
    auto dib = Surface(300, 300);
    std::mt19937 random(7);
    for (int32_t y = 0; y < 300; ++y)
        for (int32_t x = 0; x < 300; ++x)
            dib->lpBits()[y * dib->BytesPerScanline() + x] = static_cast<uint8_t>(random() % 4);
    const auto blocks = Encode(*dib, 3, false);
    size_t at = 0;
    for (; at + 255 < blocks.size(); at += 255)
        ASSERT_EQ(blocks[at], 254);
    EXPECT_EQ(blocks[at] + at + 1, blocks.size());

    // Read the codes back with the width rules of a decoder and find the Clear codes.
    const auto data = Unpacketize(blocks);
    size_t bit = 0;
    int width = 3;
    uint32_t nextFree = 6;
    std::vector<size_t> clearsAt; // code numbers
    bool first = true;
    for (size_t n = 0;; ++n) {
        uint32_t code = 0;
        for (int b = 0; b < width; ++b, ++bit)
            code |= ((data[bit / 8] >> (bit % 8)) & 1u) << b;
        if (code == 5) break;
        if (code == 4) {
            if (n > 0) {
                EXPECT_EQ(width, 12) << "a Clear goes out at the width in force";
            }
            clearsAt.push_back(n);
            width = 3;
            nextFree = 6;
            first = true;
            continue;
        }
        if (!first && nextFree < 4096 && ++nextFree > (1u << width) - 1 && width < 12) {
            ++width;
        }
        first = false;
    }
    EXPECT_GT(clearsAt.size(), 2u);

    auto back = Surface(300, 300);
    Decode(*back, false, 2, data);
    EXPECT_EQ(Pixels(*back), Pixels(*dib));
}

TEST(LzwCodec, RoundTripsEveryHeightInBothRowOrders) {
    std::mt19937 random(11);
    for (int32_t height : {1, 2, 3, 4, 5, 6, 7, 8, 9, 17, 64}) {
        for (bool interlaced : {false, true}) {
            auto dib = Surface(13, height);
            for (int32_t y = 0; y < height; ++y)
                for (int32_t x = 0; x < 13; ++x)
                    dib->lpBits()[y * dib->BytesPerScanline() + x] =
                        static_cast<uint8_t>(random() % 3 == 0 ? random() % 256 : y);
            auto back = Surface(13, height);
            Decode(*back, interlaced, 8, Unpacketize(Encode(*dib, 9, interlaced)));
            EXPECT_EQ(Pixels(*back), Pixels(*dib)) << height << (interlaced ? " interlaced" : "");
        }
    }
}

TEST(LzwCodec, LongRunsOfOneColourRoundTrip) {
    // Strings longer than 4000 bytes: a table of 4090 entries all extending one run.
    auto dib = Surface(4000, 2200, 1);
    auto back = Surface(4000, 2200, 0);
    Decode(*back, false, 2, Unpacketize(Encode(*dib, 3, false)));
    EXPECT_EQ(Pixels(*back), Pixels(*dib));
}

} // namespace
} // namespace lumatrim
