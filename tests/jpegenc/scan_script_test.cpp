// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The choice of progressive script changes the bytes, never the pixels.
#include "jpegenc/scan_script.h"

#include "jpegenc/component_planes.h"
#include "libjpeg_decode.h"

#include <gtest/gtest.h>

namespace lumatrim {
namespace {

TEST(ScanScript, TheChosenScriptIsNoLargerAndHoldsTheSamePixels) {
    const std::array<QuantTable, 2> standard = StandardTables(75).value();
    for (const uint8_t components : {1, 3}) {
        JpegPicture picture{40, 24, components, {}, {}, false};
        for (size_t i = 0; i < size_t{40} * 24 * components; ++i)
            picture.samples.push_back(static_cast<uint8_t>((i * i) % 251));
        std::vector<BlockPlane> planes;
        for (const SamplePlane& plane : ComponentPlanes(picture))
            planes.push_back(TransformPlane(plane));
        QuantizeRounded(
            planes, std::vector(components, trellis::QuantizerTable::From(standard[0].data(), 1)));
        const std::vector coding(components, ComponentCoding{});
        const QuantizedPicture quantized{40, 24, 75, planes, coding, {}};
        const std::vector<uint8_t> plain = WriteCoefficients(quantized, StandardScript(components));
        const std::vector<uint8_t> chosen = WriteWithBestScript(quantized);
        EXPECT_LE(chosen.size(), plain.size());
        const test::DecodedJpeg a = test::DecodeWithLibjpeg(plain);
        const test::DecodedJpeg b = test::DecodeWithLibjpeg(chosen);
        ASSERT_TRUE(a.ok && b.ok);
        EXPECT_EQ(a.warnings + b.warnings, 0);
        EXPECT_EQ(a.samples, b.samples);
    }
}

} // namespace
} // namespace lumatrim
