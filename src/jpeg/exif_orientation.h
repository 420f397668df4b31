// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The orientation tag of an EXIF block (a JPEG APP1 segment's contents), read and written.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace lumatrim {

// The orientation (1 to 8) in the first image directory of an APP1 segment's data, which
// starts "Exif\0\0"; 1 when the data holds none or is malformed.
uint8_t ReadExifOrientation(std::span<const uint8_t> app1);

// Sets the orientation tag of the first image directory to 1 (upright) in place, in the block's
// own byte order, for a picture that was turned upright; false, with nothing changed, when the
// data holds no such tag or is malformed. Only the tag's two value bytes are written, and only
// inside the data.
bool MarkExifUpright(std::span<uint8_t> app1);

// The APP1 data of an EXIF block holding the orientation tag and nothing else.
std::vector<uint8_t> ExifOrientationBlock(uint8_t orientation);

} // namespace lumatrim
