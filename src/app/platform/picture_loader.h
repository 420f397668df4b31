// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The system picture loader: a picture file as a StdPicture. BMP of every kind through our own
// reader, at 32 bits; other content (a PNG, GIF or JPEG file under another name) through Qt's
// image reader, keeping its own depth and colour table where StdPicture can hold them. The
// JPEG route has a decoder of its own.
#pragma once

#include "imaging/dib.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumatrim {

// The texts both raster routes show, followed by the path, for a file that gives no picture.
inline constexpr std::string_view kUnexpectedErrorLoadingImage = "Unexpected error loading image..";
inline constexpr std::string_view kImageTooLarge =
    "Image too large to reduce (more than 268,435,456 pixels)..";

// Pictures stop here (16384 x 16384): a 32-bit copy is then 1 GB, and a route holds about three.
inline constexpr uint64_t kMaxPicturePixels = uint64_t{1} << 28;

struct LoadedPicture {
    StdPicture Image;
};

// False, with `picture` emptied, when the file is missing, unreadable, not a picture or larger
// than kMaxPicturePixels (`tooLarge` then says so).
bool LoadPicture(const std::string& path, LoadedPicture& picture, bool* tooLarge = nullptr);
// The same for a file's bytes, with a limit of the caller's.
bool LoadPictureFromMemory(std::span<const uint8_t> bytes, LoadedPicture& picture,
                           bool* tooLarge = nullptr, uint64_t maxPixels = kMaxPicturePixels);

// The text to show, before the path, for a picture LoadPicture refused.
inline std::string_view PictureLoadErrorText(bool tooLarge) {
    return tooLarge ? kImageTooLarge : kUnexpectedErrorLoadingImage;
}

} // namespace lumatrim
