// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// A decoded picture turned upright by its EXIF orientation.
#pragma once

#include "jpeg/jpeg_picture.h"

#include <cstdint>

namespace lumatrim {

// Mirrors work in place; the four orientations that transpose need a second picture's memory.
void TurnUpright(JpegPicture& picture, uint8_t orientation);

} // namespace lumatrim
