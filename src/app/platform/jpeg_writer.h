// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// A decoded JPEG picture encoded again at a chosen quality, through Qt's JPEG writer.
#pragma once

#include "jpeg/jpeg_picture.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumatrim {

// Why a save failed, numbered as the "GDI+ Error:" text of a failed save has always shown it.
enum class JpegSaveStatus : int32_t {
    Ok = 0,
    GenericError = 1,     // the encoder refused the picture
    InvalidParameter = 2, // no picture
    Win32Error = 7,       // the file could not be written
};

inline constexpr std::string_view kCannotSaveTheImage = "Cannot save the image. GDI+ Error:";

// "Cannot save the image. GDI+ Error:7" for JpegSaveStatus::Win32Error.
std::string JpegSaveErrorText(JpegSaveStatus status);

// The JPEG file of `picture` at `quality` (1 to 100) with optimized Huffman tables and
// progressive scans, which make the file smaller than a plain baseline encode, and with the
// picture's colour profile. Empty on failure, the reason in `status`.
std::vector<uint8_t> EncodeJPG(const JpegPicture& picture, uint8_t quality, JpegSaveStatus& status);

} // namespace lumatrim
