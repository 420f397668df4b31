// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// One marker segment of a JPEG file as a writer copies it: the marker and the data after the
// length field.
#pragma once

#include <cstdint>
#include <vector>

namespace lumatrim {

struct JpegSegment {
    int marker = 0;            // JPEG_APP0 + n, JPEG_COM
    std::vector<uint8_t> data; // at most 65,533 bytes, as a segment holds
};

} // namespace lumatrim
