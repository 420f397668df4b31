// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The sample planes a JPEG encoder transforms: grey as it is; RGB as Y, Cb and Cr (JFIF's
// conversion), Cb and Cr optionally halved in both directions (4:2:0).
#pragma once

#include "jpeg/jpeg_picture.h"

#include <cstdint>
#include <vector>

namespace lumatrim {

struct SamplePlane {
    uint32_t blocksWide = 0; // 8x8 blocks covering the component
    uint32_t blocksHigh = 0;
    std::vector<uint8_t> samples; // blocksHigh * 8 rows of blocksWide * 8 samples

    uint32_t Stride() const { return blocksWide * 8; }
};

// The planes of `picture` at full resolution, each padded to whole blocks with copies of its
// last column and row (as libjpeg pads), so that the padding costs few bits. The picture must
// be valid for EncodeJpeg.
std::vector<SamplePlane> ComponentPlanes(const JpegPicture& picture);

// Cb and Cr (planes 1 and 2) of a `width` x `height` picture replaced by the means of their
// 2x2 squares.
void HalveChroma(std::vector<SamplePlane>& planes, uint32_t width, uint32_t height);

} // namespace lumatrim
