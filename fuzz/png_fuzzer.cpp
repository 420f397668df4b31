// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Feeds arbitrary bytes to our PNG optimizer at the fast effort. Beyond "no crash": every file
// it writes is read again by libspng and holds exactly the source's samples, and an animation
// keeps its chunks.
#include "png/chunk_walker.h"
#include "png/png_optimizer.h"
#include "png/spng_decoder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Within the malloc limit: a 2^20-pixel picture takes 8 MB at 16 bits a sample.
constexpr uint64_t kFuzzMaxPixels = uint64_t{1} << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace lumatrim::png;
    const std::span<const uint8_t> source(data, size);
    PngOptions options;
    options.effort = PngEffort::Fast;
    const PngResult result = OptimizePng(source, options, kFuzzMaxPixels);
    const auto* output = std::get_if<std::vector<uint8_t>>(&result);
    if (!output) return 0;
    const ChunkWalk walk = WalkChunks(*output);
    if (walk.fault != WalkFault::None) std::abort();
    const auto before = DecodeRgba(source, kFuzzMaxPixels);
    const auto after = DecodeRgba(*output, kFuzzMaxPixels);
    if (before.index() != after.index()) std::abort();
    if (const auto* picture = std::get_if<RgbaPicture>(&before)) {
        const auto& again = std::get<RgbaPicture>(after);
        if (picture->samples != again.samples || picture->width != again.width) std::abort();
    }
    return 0;
}
