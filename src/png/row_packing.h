// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Rows of one byte a pixel packed to 1, 2 or 4 bits a pixel, leftmost pixel in the high bits.
#pragma once

#include "png/raw_image.h"

namespace lumatrim::png {

// `image.rows` holds one value below 2^depth a pixel; afterwards it holds packed rows and
// `image.bitDepth` is `depth`. Works in place: a packed row never reaches past its source.
void PackRows(RawImage& image, uint8_t depth);

} // namespace lumatrim::png
