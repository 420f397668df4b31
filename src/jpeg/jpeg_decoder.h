// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// A JPEG file decoded as a browser shows it: the accurate integer inverse DCT, grey kept grey,
// CMYK and YCCK turned into RGB, and the picture turned upright by its EXIF orientation. Its
// colour profile comes along when it describes the decoded samples (RGB or grey), and its
// metadata when asked for (see jpeg_metadata.h), the EXIF orientation then saying upright.
#pragma once

#include "jpeg/jpeg_failure.h"
#include "jpeg/jpeg_metadata.h"
#include "jpeg/jpeg_picture.h"

#include <cstdint>
#include <span>
#include <stop_token>
#include <variant>

namespace lumatrim {

using JpegDecodeResult = std::variant<JpegPicture, JpegFailure>;

// Corrupt or cut-off data fails as Damaged at the first row where the decoder finds it; a
// picture of more than `maxPixels` pixels fails as TooLarge before any is decoded. A stop
// requested on `stop` ends the decoding within a batch of rows, as Stopped.
JpegDecodeResult DecodeJpeg(std::span<const uint8_t> file, uint64_t maxPixels,
                            std::stop_token stop = {}, JpegMetadata metadata = JpegMetadata::Drop);

} // namespace lumatrim
