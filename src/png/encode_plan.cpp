// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "png/encode_plan.h"

#include "png/zlib_stream.h"

#include <algorithm>
#include <array>

namespace lumatrim::png {

namespace {

struct EffortPlan {
    std::vector<FilterStrategy> strategies;
    int screenLevel;
    int finalLevel;
};

// Below this many filtered bytes every trial runs at the final level: the fast level's ranking
// of strategies often differs from level 12's (on a 512 x 512 photo it picked distinct bigrams,
// 1.2 % larger at level 12 than the minimum sum), and level 12 on 1 MB takes about 0.2 s.
constexpr size_t kFinalLevelTrialBytes = size_t{1} << 20;
// Above this many, level 12 takes longer than its bytes are worth (a 44 MB wallpaper: 20 s at
// level 12, 13 s at 11 for 4 % more); level 11 is used.
constexpr size_t kLevel12Bytes = size_t{16} << 20;
// Brute force compresses a window for every filter of every row: kept to small pictures.
constexpr size_t kBruteForceBytes = size_t{256} << 10;

EffortPlan PlanFor(PngEffort effort, size_t filteredBytes) {
    using S = FilterStrategy;
    if (effort == PngEffort::Fast) return {{S::None, S::MinSum}, 6, 6};
    EffortPlan plan{
        {S::None, S::Sub, S::Up, S::Average, S::Paeth, S::MinSum, S::Entropy, S::Bigrams}, 6, 12};
    if (filteredBytes <= kBruteForceBytes) plan.strategies.push_back(S::BruteForce);
    if (filteredBytes <= kFinalLevelTrialBytes) plan.screenLevel = 12;
    if (filteredBytes > kLevel12Bytes) plan.finalLevel = 11;
    return plan;
}

size_t FilteredBytes(const RawImage& image) {
    return image.height * (image.RowBytes() + 1);
}

// The bytes a layout spends outside its picture data: PLTE and tRNS with their chunk boxes.
size_t TableBytes(const RawImage& image) {
    const auto chunk = [](size_t data) { return data ? data + 12 : 0; };
    return chunk(image.plte.size()) + chunk(image.trns.size());
}

struct Trial {
    size_t layout;
    FilterStrategy strategy;
    size_t size;
};

} // namespace

std::optional<EncodedImage> EncodeSmallest(const std::vector<RawImage>& layouts, PngEffort effort,
                                           const std::stop_token& stop) {
    size_t largest = 0;
    for (const RawImage& image : layouts)
        largest = std::max(largest, FilteredBytes(image));
    const EffortPlan plan = PlanFor(effort, largest);
    ZlibCompressor screen(plan.screenLevel);
    const bool screenIsFinal = plan.finalLevel == plan.screenLevel;
    std::vector<uint8_t> scratch, bestStream;
    std::optional<Trial> best;
    for (size_t layout = 0; layout < layouts.size(); ++layout) {
        const RawImage& image = layouts[layout];
        for (const FilterStrategy strategy : plan.strategies) {
            if (stop.stop_requested()) return std::nullopt;
            const size_t size =
                screen.CompressedSize(FilterImage(image, strategy), scratch) + TableBytes(image);
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
