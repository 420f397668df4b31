// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "png/classic_zlib.h"

#include "png_builder.h"

#include <gtest/gtest.h>

namespace lumatrim::png {
namespace {

// Each strategy's stream inflates to its data: nothing, noise, and long runs of one byte.
TEST(ClassicZlib, StreamsInflateToTheirData) {
    std::vector<uint8_t> noise(100000), runs(100000, 7);
    uint32_t state = 1;
    for (uint8_t& byte : noise)
        byte = static_cast<uint8_t>((state = state * 1103515245u + 12345u) >> 24);
    for (size_t i = 0; i < runs.size(); i += 997)
        runs[i] = static_cast<uint8_t>(i);
    for (const ClassicStrategy strategy : {ClassicStrategy::Runs, ClassicStrategy::Filtered})
        for (const std::vector<uint8_t>& data : {std::vector<uint8_t>{}, noise, runs}) {
            const std::vector<uint8_t> stream = ClassicZlib(data, strategy);
            ASSERT_FALSE(stream.empty());
            EXPECT_EQ(test::Inflated(stream), data);
        }
}

} // namespace
} // namespace lumatrim::png
