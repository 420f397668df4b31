// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpeg/picture_orientation.h"

#include "jpeg/orientation.h"

#include <algorithm>
#include <cstring>

namespace lumatrim {

namespace {

template <size_t Components> void ReverseRow(uint8_t* row, size_t width) {
    for (size_t left = 0, right = width - 1; left < right; ++left, --right)
        for (size_t c = 0; c < Components; ++c)
            std::swap(row[left * Components + c], row[right * Components + c]);
}

template <size_t Components> void MirrorRows(JpegPicture& picture) {
    const size_t stride = size_t{picture.width} * Components;
    for (size_t y = 0; y < picture.height; ++y)
        ReverseRow<Components>(picture.samples.data() + y * stride, picture.width);
}

void SwapRowsTopToBottom(JpegPicture& picture) {
    const size_t stride = size_t{picture.width} * picture.components;
    uint8_t* const samples = picture.samples.data();
    for (size_t top = 0, bottom = picture.height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(samples + top * stride, samples + (top + 1) * stride,
                         samples + bottom * stride);
}

// Upright pixel (x, y) is stored pixel (y, x) of the mirrored source. A band of kBand upright
// rows reads kBand neighbouring bytes of each stored row at a time, which keeps the transpose
// from missing the cache on every pixel.
template <size_t Components> void Transpose(JpegPicture& picture) {
    constexpr size_t kBand = 16;
    const size_t width = picture.height, height = picture.width; // upright
    const size_t storedStride = size_t{picture.width} * Components;
    std::vector<uint8_t> upright(picture.samples.size());
    for (size_t band = 0; band < height; band += kBand) {
        const size_t bandEnd = std::min(height, band + kBand);
        for (size_t x = 0; x < width; ++x) {
            const uint8_t* stored = picture.samples.data() + x * storedStride;
            for (size_t y = band; y < bandEnd; ++y)
                std::memcpy(&upright[(y * width + x) * Components], stored + y * Components,
                            Components);
        }
    }
    picture.samples = std::move(upright);
    picture.width = static_cast<uint32_t>(width);
    picture.height = static_cast<uint32_t>(height);
}

template <size_t Components> void Orient(JpegPicture& picture, const OrientationMap& map) {
    if (map.mirrorX) MirrorRows<Components>(picture);
    if (map.mirrorY) SwapRowsTopToBottom(picture);
    if (map.transposed) Transpose<Components>(picture);
}

} // namespace

void TurnUpright(JpegPicture& picture, uint8_t orientation) {
    const OrientationMap map = MapOfOrientation(orientation);
    if (picture.width == 0 || picture.height == 0) return;
    if (picture.components == 1)
        Orient<1>(picture, map);
    else
        Orient<3>(picture, map);
}

} // namespace lumatrim
