// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "png/encode_plan.h"

#include "png/zlib_stream.h"

#include <array>

namespace lumatrim::png {

namespace {

struct EffortPlan {
    std::vector<FilterStrategy> strategies;
    int screenLevel;
    int finalLevel;
    size_t bruteForceBytes; // pictures up to this many filtered bytes also try BruteForce
};

EffortPlan PlanFor(PngEffort effort) {
    using S = FilterStrategy;
    if (effort == PngEffort::Fast) return {{S::None, S::MinSum}, 6, 6, 0};
    return {{S::None, S::Sub, S::Up, S::Average, S::Paeth, S::MinSum, S::Entropy, S::Bigrams},
            6,
            12,
            1 << 20};
}

struct Trial {
    size_t layout;
    FilterStrategy strategy;
    size_t size;
};

} // namespace

std::optional<EncodedImage> EncodeSmallest(const std::vector<RawImage>& layouts, PngEffort effort,
                                           const std::stop_token& stop) {
    const EffortPlan plan = PlanFor(effort);
    ZlibCompressor screen(plan.screenLevel);
    const bool screenIsFinal = plan.finalLevel == plan.screenLevel;
    std::vector<uint8_t> scratch, bestStream;
    std::optional<Trial> best;
    for (size_t layout = 0; layout < layouts.size(); ++layout) {
        std::vector<FilterStrategy> strategies = plan.strategies;
        const RawImage& image = layouts[layout];
        if (image.height * (image.RowBytes() + 1) <= plan.bruteForceBytes)
            strategies.push_back(FilterStrategy::BruteForce);
        for (const FilterStrategy strategy : strategies) {
            if (stop.stop_requested()) return std::nullopt;
            const size_t size = screen.CompressedSize(FilterImage(image, strategy), scratch);
            if (best && size >= best->size) continue;
            best = Trial{layout, strategy, size};
            if (screenIsFinal) bestStream.swap(scratch);
        }
    }
    if (!best || stop.stop_requested()) return std::nullopt;
    if (screenIsFinal) return EncodedImage{best->layout, std::move(bestStream)};
    ZlibCompressor final(plan.finalLevel);
    std::vector<uint8_t> stream =
        final.Compress(FilterImage(layouts[best->layout], best->strategy));
    if (stream.empty()) return std::nullopt;
    return EncodedImage{best->layout, std::move(stream)};
}

} // namespace lumatrim::png
