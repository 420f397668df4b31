// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Loads arbitrary bytes as a GIF and runs the batch's optimizer pipeline on it, at the fast or the
// default effort (the parity of the size decides), keeping the comments for half the sizes.
// Beyond "no crash": a successful run must leave a file that loads again.
#include "gif/gif.h"
#include "gifopt/gif_optimizer.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

const std::filesystem::path& OutputPath() {
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("gif_pipeline_fuzzer." + std::to_string(getpid()) + ".gif");
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lumatrim::cGIF gif;
    if (!gif.LoadFromStream({data, size})) return 0;
    std::filesystem::remove(OutputPath());
    using lumatrim::mGIFOptimizer::GifEffort;
    const GifEffort effort = size % 2 ? GifEffort::Best : GifEffort::Fast;
    const int16_t clearComments = size % 4 < 2 ? -1 : 0;
    if (!lumatrim::mGIFOptimizer::OptimizeGIF(gif, OutputPath(), 0, 0, -1, clearComments, effort))
        return 0;
    lumatrim::cGIF again;
    if (!again.LoadFromFile(OutputPath())) __builtin_trap();
    return 0;
}
