// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// JPEG files are decoded and encoded again at the run's quality, where a JPEG's size is won;
// their own coefficients rewritten losslessly are the alternative that changes nothing.
#pragma once

#include "app/routes/route.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lumatrim {

// Why an encode or a write failed, numbered as the "GDI+ Error:" text of a failed save has
// always shown it.
enum class JpegSaveStatus : int32_t {
    Ok = 0,
    GenericError = 1, // the encoder refused the picture
    Win32Error = 7,   // the file could not be written
};

inline constexpr std::string_view kCannotSaveTheImage = "Cannot save the image. GDI+ Error:";

// "Cannot save the image. GDI+ Error:7" for JpegSaveStatus::Win32Error.
std::string JpegSaveErrorText(JpegSaveStatus status);

// Followed by the decoder's words, ").." and the path, for a file with corrupt or missing data.
inline constexpr std::string_view kDamagedImage = "Damaged image, not reduced (";

RouteResult ReduceJpeg(const RouteJob& job);

} // namespace lumatrim
