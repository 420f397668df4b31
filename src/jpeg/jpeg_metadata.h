// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The metadata a JPEG keeps when the user asks for it: EXIF and XMP (APP1), IPTC (APP13) and
// comments (COM), in the source's order. The colour profile (APP2) is kept either way; JFIF and
// Adobe segments are the writer's own, and others (multi-picture indexes, maker blocks that
// point into the file) would not hold for the new file.
#pragma once

#include "jpeg/jpeg_segment.h"

#include <cstdio>
#include <jpeglib.h>
#include <vector>

namespace lumatrim {

enum class JpegMetadata { Drop, Keep };

bool IsKeptMetadata(int marker);

// Asks libjpeg to save the kept segments whole as it reads the header.
void SaveKeptMetadata(jpeg_decompress_struct& info);

// Copies of the saved kept segments, in the file's order.
std::vector<JpegSegment> KeptMetadata(const jpeg_decompress_struct& info);

// Every EXIF block's orientation set to 1, for a picture that was turned upright.
void MarkUpright(std::vector<JpegSegment>& segments);

} // namespace lumatrim
