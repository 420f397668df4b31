// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The source's pixels through libspng: RGBA at 8 bits, or at 16 when the source has 16-bit
// samples, with tRNS applied and no gamma, de-interlaced. libspng checks the picture data
// (zlib stream, filter bytes, row lengths) as it decodes.
#pragma once

#include "png/png_picture.h"

#include <cstdint>
#include <span>
#include <string>
#include <variant>

namespace lumatrim::png {

enum class DecodeFault { Damaged, TooLarge };

struct DecodeFailure {
    DecodeFault fault;
    std::string detail;
};

std::variant<RgbaPicture, DecodeFailure> DecodeRgba(std::span<const uint8_t> file,
                                                    uint64_t maxPixels);

} // namespace lumatrim::png
