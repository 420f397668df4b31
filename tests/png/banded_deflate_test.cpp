// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "png/banded_deflate.h"
#include "png/deflate_join.h"
#include "png_builder.h"

#include <gtest/gtest.h>
#include <libdeflate.h>
#include <zlib.h>

namespace lumatrim::png {
namespace {

// Bytes that compress somewhat: a few values, with runs.
std::vector<uint8_t> Sample(size_t size, uint32_t seed) {
    std::vector<uint8_t> data(size);
    for (size_t i = 0; i < size; ++i) {
        seed = seed * 1103515245u + 12345u;
        data[i] = (seed >> 28) < 5 && i ? data[i - 1] : static_cast<uint8_t>(seed >> 29);
    }
    return data;
}

std::vector<uint8_t> RawDeflate(const std::vector<uint8_t>& data, int level) {
    libdeflate_compressor* compressor = libdeflate_alloc_compressor(level);
    std::vector<uint8_t> stream(libdeflate_deflate_compress_bound(compressor, data.size()));
    stream.resize(libdeflate_deflate_compress(compressor, data.data(), data.size(), stream.data(),
                                              stream.size()));
    libdeflate_free_compressor(compressor);
    return stream;
}

// Streams of every kind libdeflate makes (stored, fixed and dynamic codes, ending anywhere in a
// byte), once made joinable, are followed by another and inflate to both parts in turn.
TEST(DeflateJoin, JoinedStreamsInflateToTheirPartsInTurn) {
    const std::vector<uint8_t> tail = Sample(3000, 99);
    const std::vector<uint8_t> tailStream = RawDeflate(tail, 6);
    for (const int level : {0, 1, 6, 12})
        for (const size_t size : {size_t{0}, size_t{1}, size_t{7}, size_t{100}, size_t{4097},
                                  size_t{70000}, size_t{300001}})
            for (uint32_t seed = 1; seed <= 3; ++seed) {
                std::vector<uint8_t> head = Sample(size, seed);
                std::vector<uint8_t> joined = RawDeflate(head, level);
                const size_t bytes = joined.size();
                joined.resize(bytes + kJoinTailBytes);
                joined.resize(MakeJoinable(joined, bytes));
                ASSERT_FALSE(joined.empty()) << level << " " << size;
                joined.insert(joined.end(), tailStream.begin(), tailStream.end());
                head.insert(head.end(), tail.begin(), tail.end());
                EXPECT_EQ(test::Inflated(joined, -MAX_WBITS), head)
                    << level << " " << size << " " << seed;
            }
}

TEST(DeflateJoin, RefusesWhatIsNotOneWholeStreamAndLeavesItAlone) {
    const std::vector<uint8_t> whole = RawDeflate(Sample(5000, 1), 6);
    std::vector<uint8_t> cut(whole.begin(), whole.end() - 3), longer = whole, damaged = whole,
                                                              empty;
    longer.push_back(0);
    damaged[0] |= 6; // block type 3 does not exist
    for (std::vector<uint8_t>* stream : {&cut, &longer, &damaged, &empty}) {
        const size_t bytes = stream->size();
        stream->resize(bytes + kJoinTailBytes);
        const std::vector<uint8_t> before = *stream;
        EXPECT_EQ(MakeJoinable(*stream, bytes), 0u);
        EXPECT_EQ(*stream, before);
    }
}

// Big enough for three bands: the joined zlib stream inflates to the data, with its checksum.
TEST(BandedZlib, ManyBandsMakeOneZlibStream) {
    const std::vector<uint8_t> data = Sample(3 * kMinBandBytes + 12345, 5);
    const std::vector<uint8_t> stream = BandedZlib(data, 1, {});
    ASSERT_FALSE(stream.empty());
    EXPECT_EQ(test::Inflated(stream), data);

    std::stop_source stopped;
    stopped.request_stop();
    EXPECT_TRUE(BandedZlib(data, 1, stopped.get_token()).empty());
}

} // namespace
} // namespace lumatrim::png
