// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "png/zlib_stream.h"

#include <libdeflate.h>

#include <memory>

namespace lumatrim::png {

ZlibCompressor::ZlibCompressor(int level) : compressor_(libdeflate_alloc_compressor(level)) {}

ZlibCompressor::~ZlibCompressor() {
    libdeflate_free_compressor(compressor_);
}

std::vector<uint8_t> ZlibCompressor::Compress(std::span<const uint8_t> data) {
    std::vector<uint8_t> stream;
    CompressedSize(data, stream);
    return stream;
}

size_t ZlibCompressor::CompressedSize(std::span<const uint8_t> data,
                                      std::vector<uint8_t>& scratch) {
    if (!compressor_) return SIZE_MAX;
    scratch.resize(libdeflate_zlib_compress_bound(compressor_, data.size()));
    const size_t size = libdeflate_zlib_compress(compressor_, data.data(), data.size(),
                                                 scratch.data(), scratch.size());
    scratch.resize(size);
    return size == 0 ? SIZE_MAX : size;
}

} // namespace lumatrim::png
