// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The PNG layouts that hold an RGBA picture exactly: 16 bits cut to 8 where both bytes agree,
// alpha dropped when opaque or turned into a tRNS colour key, colour to grey, a palette of 256
// colours or fewer (alpha in tRNS), and 1, 2 or 4 bits for small palettes and greys.
#pragma once

#include "png/png_picture.h"
#include "png/raw_image.h"

#include <vector>

namespace lumatrim::png {

// The candidates worth trying, the palette first where there is one. The picture is used up:
// the direct layout is made in its own memory.
std::vector<RawImage> ExactLayouts(RgbaPicture picture);

} // namespace lumatrim::png
