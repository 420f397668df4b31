// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "png/classic_zlib.h"

#include <zlib.h>

#include <climits>

namespace lumatrim::png {

std::vector<uint8_t> ClassicZlib(std::span<const uint8_t> data, ClassicStrategy strategy) {
    // zlib counts bytes in 32 bits; the trial is meant for pictures of a few megabytes.
    if (data.size() > UINT_MAX / 2) return {};
    z_stream z{};
    const int zStrategy = strategy == ClassicStrategy::Runs ? Z_RLE : Z_FILTERED;
    if (deflateInit2(&z, 9, Z_DEFLATED, 15, 9, zStrategy) != Z_OK) return {};
    std::vector<uint8_t> stream(deflateBound(&z, static_cast<uLong>(data.size())));
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = stream.data();
    z.avail_out = static_cast<uInt>(stream.size());
    const int status = deflate(&z, Z_FINISH);
    stream.resize(z.total_out);
    deflateEnd(&z);
    if (status != Z_STREAM_END) return {};
    return stream;
}

} // namespace lumatrim::png
