// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpegenc/component_planes.h"

#include <algorithm>
#include <cstring>

namespace lumatrim {

namespace {

// JFIF's RGB to YCbCr in 16-bit fixed point. Cb and Cr round with one half less one, so that
// their largest value stays 255.
constexpr int32_t kHalf = 1 << 15;
constexpr int32_t kChromaOffset = (128 << 16) + kHalf - 1;

SamplePlane EmptyPlane(uint32_t width, uint32_t height) {
    SamplePlane plane;
    plane.blocksWide = (width + 7) / 8;
    plane.blocksHigh = (height + 7) / 8;
    plane.samples.resize(size_t{plane.Stride()} * plane.blocksHigh * 8);
    return plane;
}

// Copies the last real column and row of the plane into its padding.
void PadPlane(SamplePlane& plane, uint32_t width, uint32_t height) {
    const size_t stride = plane.Stride();
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = plane.samples.data() + y * stride;
        std::fill(row + width, row + stride, row[width - 1]);
    }
    const uint8_t* last = plane.samples.data() + (height - 1) * stride;
    for (uint32_t y = height; y < plane.blocksHigh * 8; ++y)
        std::memcpy(plane.samples.data() + y * stride, last, stride);
}

SamplePlane GreyPlane(const JpegPicture& picture) {
    SamplePlane plane = EmptyPlane(picture.width, picture.height);
    for (uint32_t y = 0; y < picture.height; ++y)
        std::memcpy(plane.samples.data() + y * size_t{plane.Stride()},
                    picture.samples.data() + y * size_t{picture.width}, picture.width);
    PadPlane(plane, picture.width, picture.height);
    return plane;
}

// Y, Cb and Cr at full resolution.
std::vector<SamplePlane> FullPlanes(const JpegPicture& picture) {
    std::vector<SamplePlane> planes(3, EmptyPlane(picture.width, picture.height));
    const size_t stride = planes[0].Stride();
    for (uint32_t y = 0; y < picture.height; ++y) {
        const uint8_t* rgb = picture.samples.data() + y * size_t{picture.width} * 3;
        uint8_t* luma = planes[0].samples.data() + y * stride;
        uint8_t* blue = planes[1].samples.data() + y * stride;
        uint8_t* red = planes[2].samples.data() + y * stride;
        for (uint32_t x = 0; x < picture.width; ++x, rgb += 3) {
            const int32_t r = rgb[0], g = rgb[1], b = rgb[2];
            luma[x] = static_cast<uint8_t>((19595 * r + 38470 * g + 7471 * b + kHalf) >> 16);
            blue[x] =
                static_cast<uint8_t>((-11059 * r - 21709 * g + 32768 * b + kChromaOffset) >> 16);
            red[x] = static_cast<uint8_t>((32768 * r - 27439 * g - 5329 * b + kChromaOffset) >> 16);
        }
    }
    for (SamplePlane& plane : planes)
        PadPlane(plane, picture.width, picture.height);
    return planes;
}

// The mean of each 2x2 square of a padded full plane (whose padding covers odd sides).
SamplePlane HalvedPlane(const SamplePlane& full, uint32_t width, uint32_t height) {
    const uint32_t halfWidth = (width + 1) / 2, halfHeight = (height + 1) / 2;
    SamplePlane half = EmptyPlane(halfWidth, halfHeight);
    const size_t in = full.Stride(), out = half.Stride();
    for (uint32_t y = 0; y < halfHeight; ++y) {
        const uint8_t* top = full.samples.data() + 2 * y * in;
        const uint8_t* bottom = top + in;
        uint8_t* row = half.samples.data() + y * out;
        for (uint32_t x = 0; x < halfWidth; ++x)
            row[x] = static_cast<uint8_t>(
                (top[2 * x] + top[2 * x + 1] + bottom[2 * x] + bottom[2 * x + 1] + 2) >> 2);
    }
    PadPlane(half, halfWidth, halfHeight);
    return half;
}

} // namespace

std::vector<SamplePlane> ComponentPlanes(const JpegPicture& picture) {
    if (picture.components == 1) return {GreyPlane(picture)};
    return FullPlanes(picture);
}

void HalveChroma(std::vector<SamplePlane>& planes, uint32_t width, uint32_t height) {
    for (size_t c = 1; c < 3; ++c)
        planes[c] = HalvedPlane(planes[c], width, height);
}

} // namespace lumatrim
