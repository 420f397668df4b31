// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// EncodePng for a picture the caller gives up, so its memory can be reused for the layouts.
#pragma once

#include "png/png_options.h"
#include "png/png_picture.h"

#include <span>

namespace lumatrim::png {

PngResult EncodeOwnedPicture(RgbaPicture picture, std::span<const PngChunk> chunks,
                             const PngOptions& options);

} // namespace lumatrim::png
