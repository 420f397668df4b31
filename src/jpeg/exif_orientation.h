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

// The APP1 data of an EXIF block holding the orientation tag and nothing else.
std::vector<uint8_t> ExifOrientationBlock(uint8_t orientation);

} // namespace lumatrim
