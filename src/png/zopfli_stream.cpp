// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "png/zopfli_stream.h"

#include <zopfli/zopfli.h>

#include <cstdlib>

namespace lumatrim::png {

std::vector<uint8_t> ZopfliZlib(std::span<const uint8_t> data, int iterations) {
    ZopfliOptions options;
    ZopfliInitOptions(&options);
    options.numiterations = iterations;
    unsigned char* out = nullptr;
    size_t size = 0;
    ZopfliCompress(&options, ZOPFLI_FORMAT_ZLIB, data.data(), data.size(), &out, &size);
    std::vector<uint8_t> stream(out, out + size);
    std::free(out);
    return stream;
}

} // namespace lumatrim::png
