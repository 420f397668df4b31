// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// zlib streams through libdeflate: one compressor per call site, so no state is shared.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

struct libdeflate_compressor;

namespace lumatrim::png {

class ZlibCompressor {
public:
    explicit ZlibCompressor(int level); // 1 (fastest) to 12 (smallest)
    ~ZlibCompressor();
    ZlibCompressor(const ZlibCompressor&) = delete;
    ZlibCompressor& operator=(const ZlibCompressor&) = delete;

    // The zlib stream of `data` (empty only if the compressor could not be made).
    std::vector<uint8_t> Compress(std::span<const uint8_t> data);
    // Its size alone, with `scratch` reused between calls.
    size_t CompressedSize(std::span<const uint8_t> data, std::vector<uint8_t>& scratch);

private:
    libdeflate_compressor* compressor_;
};

} // namespace lumatrim::png
