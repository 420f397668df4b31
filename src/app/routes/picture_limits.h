// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The largest picture the raster routes reduce, and what they show for a file that gives none.
#pragma once

#include <cstdint>
#include <string_view>

namespace lumatrim {

// The texts both raster routes show, followed by the path, for a file that gives no picture.
inline constexpr std::string_view kUnexpectedErrorLoadingImage = "Unexpected error loading image..";
inline constexpr std::string_view kImageTooLarge =
    "Image too large to reduce (more than 268,435,456 pixels)..";

// Pictures stop here (16384 x 16384): a 32-bit copy is then 1 GB, and a route holds about three.
inline constexpr uint64_t kMaxPicturePixels = uint64_t{1} << 28;

// The text to show, before the path, for a picture a reader refused.
inline std::string_view PictureLoadErrorText(bool tooLarge) {
    return tooLarge ? kImageTooLarge : kUnexpectedErrorLoadingImage;
}

} // namespace lumatrim
