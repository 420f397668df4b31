// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// CMYK samples turned into RGB without a colour profile, as browsers show a CMYK JPEG.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumatrim {

// Converts `pixels` CMYK pixels (4 bytes each) to RGB (3 bytes each); `rgb` may be `cmyk`
// itself. Adobe's writers store the inks inverted (255 for no ink) and mark their files with an
// APP14 segment; browsers read every CMYK JPEG so, marked or not, and truncate the products.
// Checked against headless Chromium: the same values for every pixel, with and without the
// marker (libjpeg's djpeg rounds instead, one level apart on half the pixels).
void CmykToRgb(const uint8_t* cmyk, uint8_t* rgb, size_t pixels);

} // namespace lumatrim
