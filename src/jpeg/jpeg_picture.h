// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// A picture between the JPEG decoder and the JPEG encoder: 8-bit samples, top row first,
// components interleaved, already turned upright, with the source's colour profile and the
// metadata it keeps.
#pragma once

#include "jpeg/jpeg_segment.h"

#include <cstdint>
#include <vector>

namespace lumatrim {

struct JpegPicture {
    uint32_t width = 0;
    uint32_t height = 0;
    uint8_t components = 0;          // 1 for grey, 3 for RGB
    std::vector<uint8_t> samples;    // height rows of width * components bytes
    std::vector<uint8_t> iccProfile; // the source's colour profile; empty for none
    // The source stored its chroma at full resolution (4:4:4), a hint that it may need it.
    bool sourceFullChroma = false;
    // Segments written as they are after the profile (EXIF already saying upright); empty for
    // none.
    std::vector<JpegSegment> metadata;
};

} // namespace lumatrim
