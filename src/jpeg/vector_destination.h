// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// A libjpeg destination that writes into a std::vector, so the bytes of a compression that
// fails half-way are freed like any other vector's (libjpeg's own memory destination would
// leave its buffer behind then). A size limit ends a compression as soon as its output passes
// it, for a caller that only wants a file smaller than one it has.
#pragma once

#include <cstdint>
#include <cstdio>
#include <jpeglib.h>
#include <vector>

namespace lumatrim {

struct VectorDestination : jpeg_destination_mgr {
    VectorDestination(std::vector<uint8_t>& bytes, size_t limit);
    std::vector<uint8_t>* bytes;
    size_t limit;           // the most bytes the output may have
    bool overLimit = false; // the compression stopped at the limit
};

// Points `info` at `destination`, which must outlive the compression.
inline void UseDestination(jpeg_compress_struct& info, VectorDestination& destination) {
    info.dest = &destination;
}

} // namespace lumatrim
