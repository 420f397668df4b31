// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// A picture of 256 colours or fewer as palette indices: the order of the palette, and the
// indexed rows with PLTE and tRNS.
#pragma once

#include "png/exact_layouts.h"
#include "png/png_picture.h"
#include "png/raw_image.h"

#include <vector>

namespace lumatrim::png {

// The bits an index needs for `colours` entries: 1, 2, 4 or 8.
uint8_t IndexDepth(size_t colours);

// Entries with transparency come first, so tRNS ends at the last of them; each part in `order`.
std::vector<RgbaColour> OrderPalette(std::vector<RgbaColour> colours, const RgbaPicture& picture,
                                     PaletteOrder order);

// `picture` (8-bit, every colour in `palette`) as indices into `palette`.
RawImage PaletteLayout(const RgbaPicture& picture, const std::vector<RgbaColour>& palette);

} // namespace lumatrim::png
