// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The search for the smallest encoding of a set of exact layouts: every layout is filtered with
// each strategy of the effort, screened on a fast deflate level, and the best goes through the
// final level.
#pragma once

#include "png/filter_strategies.h"
#include "png/png_options.h"
#include "png/raw_image.h"

#include <optional>
#include <stop_token>
#include <vector>

namespace lumatrim::png {

struct EncodedImage {
    size_t layout = 0;         // which of the layouts given
    std::vector<uint8_t> zlib; // its picture data
};

// The rows of the layouts that went through the final compression are released.
std::optional<EncodedImage> EncodeSmallest(std::vector<RawImage>& layouts, PngEffort effort,
                                           const std::stop_token& stop);

} // namespace lumatrim::png
