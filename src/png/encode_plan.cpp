// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "png/encode_plan.h"

#include "png/banded_deflate.h"
#include "png/classic_zlib.h"
#include "png/zlib_stream.h"
#include "png/zopfli_stream.h"

#include <algorithm>
#include <array>

namespace lumatrim::png {

namespace {

struct EffortPlan {
    std::vector<FilterStrategy> strategies;
    int screenLevel;
    int finalLevel;
    int zopfliIterations; // 0: no zopfli
    size_t sampleAbove;   // screen pictures over this many filtered bytes on bands of their rows
    size_t sampleBytes;   // about this many
    std::vector<ClassicStrategy> classic; // zlib's trials on the final filtering, if small enough
    bool banded = false; // the final compression of a large picture spread over the cores
    int quickLevel = 0;  // if set, fixed filters are screened at it first (see ScreenLayout)
};

// Below this many filtered bytes every trial runs at the final level: the fast level's ranking
// of strategies often differs from level 12's (on a 512 x 512 photo it picked distinct bigrams,
// 1.2 % larger at level 12 than the minimum sum), and level 12 on 1 MB takes about 0.2 s.
constexpr size_t kFinalLevelTrialBytes = size_t{1} << 20;
// Above it, up to kMidScreenBytes, the default effort screens at level 10, the first of
// libdeflate's optimal-parsing levels. Level 6 ranked unfiltered rows first on 512 x 512 RGBA
// icons, which level 12 leaves up to 20 % larger than the best strategy; over the 103 files of
// a second set (31 such icons) level 10 saves 9,956 bytes (0.4 %) and, with the quick screening
// of the fixed filters below, costs no time. Larger pictures are screened at level 6: level 10
// saved 1,584 bytes more on them for 13 % more time over that set.
constexpr int kMidScreenLevel = 10;
constexpr size_t kMidScreenBytes = size_t{2} << 20;
// Where the screening level is higher, the fixed filters (Sub, Up, Average, Paeth) go on to it
// only if this level ranks one above every other strategy: over 134 files they never beat the
// others at the screening level by more than 7 bytes in all, and took a third of its time.
constexpr int kQuickLevel = 6;
// The fast effort's final level: 12 up to this many filtered bytes, where it takes a few tenths
// of a second, 10 above (the 44 MB wallpaper: 3.5 s of processor time, against 9.1 s at level 11
// for 5.5 % less; level 9, 1.3 s, leaves it larger than its source). Above it the fast effort
// screens bands of rows at its screening level, as the default effort does: on the wallpaper
// they pick distinct bigrams, 0.3 % smaller at level 10 than Up, which the whole picture at
// level 1 ranked first by 0.1 %, and take 0.6 s less. Its final compression runs on one thread:
// on two, the wallpaper's would take 1.7 s instead of 3.5 for 1,136 bytes more (four parts, each
// starting without the window of the one before), and the fast byte target has no room for them.
constexpr size_t kFastLevel12Bytes = size_t{4} << 20;
// The fast effort screens smaller pictures at level 8, the first that ranks the strategies of
// the corpus's photographs as level 12 does: at level 6 the 512 x 512 astronaut picked distinct
// bigrams, 1.2 % larger at level 12 than the minimum sum, and the KDE screenshot had no entropy
// trial, 4.6 % smaller at level 12 than the minimum sum. Level 8 costs the screenshot 0.3 s more
// (0.99 s against 0.70 s).
constexpr int kFastScreenLevel = 8;
// Zopfli on the chosen filters, for pictures up to this many filtered bytes.
constexpr size_t kZopfliBytes = size_t{64} << 10;
constexpr int kZopfliIterations = 15;
// Above this many filtered bytes the default effort screens the strategies on bands of rows
// spread over the picture, about kSampleBytes in all, in a tenth of the time: on the 44 MB
// wallpaper they pick brute force, the smallest at level 12 (Up, ranked first by the whole
// picture at level 6, is 0.3 % larger).
constexpr size_t kSampleAboveBytes = size_t{8} << 20;
constexpr size_t kSampleBytes = size_t{2} << 20;
// The fast effort's bands: on the wallpaper half as many pick the same strategy 0.2 s sooner.
constexpr size_t kFastSampleBytes = size_t{1} << 20;
constexpr uint32_t kSampleBandRows = 16;
// zlib's trials run on pictures up to this many filtered bytes, where they take a few
// hundredths of a second. The fast effort tries runs only, which won 2,026 of the 2,033 bytes
// the two trials saved over the public corpus.
constexpr size_t kClassicZlibBytes = size_t{4} << 20;

EffortPlan PlanFor(PngEffort effort, size_t filteredBytes) {
    using S = FilterStrategy;
    using C = ClassicStrategy;
    if (effort == PngEffort::Fast) {
        if (filteredBytes > kFastLevel12Bytes)
            return {{S::None, S::Up, S::MinSum, S::Bigrams},
                    kFastScreenLevel,
                    10,
                    0,
                    kFastLevel12Bytes,
                    kFastSampleBytes,
                    {}};
        // The near brute force saves the KDE screenshot 0.9 % (1,588 bytes) for 0.2 s.
        return {{S::None, S::Up, S::MinSum, S::Entropy, S::Bigrams, S::NearBruteForce},
                kFastScreenLevel,
                12,
                0,
                SIZE_MAX,
                0,
                {C::Runs}};
    }
    // The fixed filters come last, for the quick screening.
    EffortPlan plan{{S::None, S::MinSum, S::Entropy, S::Bigrams, S::BruteForce, S::Sub, S::Up,
                     S::Average, S::Paeth},
                    kMidScreenLevel,
                    12,
                    0,
                    kSampleAboveBytes,
                    kSampleBytes,
                    {C::Runs, C::Filtered},
                    true,
                    kQuickLevel};
    if (filteredBytes <= kFinalLevelTrialBytes) plan.screenLevel = 12;
    if (filteredBytes > kMidScreenBytes) plan.screenLevel = kQuickLevel, plan.quickLevel = 0;
    if (filteredBytes <= kZopfliBytes) plan.zopfliIterations = kZopfliIterations;
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

// Bands of rows spread evenly over `image`, about `sampleBytes` of them.
RawImage SampleRows(const RawImage& image, size_t sampleBytes) {
    RawImage sample;
    sample.width = image.width;
    sample.colourType = image.colourType;
    sample.bitDepth = image.bitDepth;
    const size_t rowBytes = image.RowBytes();
    const uint32_t bands =
        static_cast<uint32_t>(std::max<size_t>(1, sampleBytes / (rowBytes + 1) / kSampleBandRows));
    const uint32_t step = std::max<uint32_t>(kSampleBandRows, image.height / bands);
    sample.height = 0;
    for (uint32_t top = 0; top < image.height; top += step) {
        const uint32_t rows = std::min(kSampleBandRows, image.height - top);
        const auto from = image.rows.begin() + static_cast<std::ptrdiff_t>(top * rowBytes);
        sample.rows.insert(sample.rows.end(), from,
                           from + static_cast<std::ptrdiff_t>(rows * rowBytes));
        sample.height += rows;
    }
    return sample;
}

struct Trial {
    size_t layout;
    FilterStrategy strategy;
    size_t size;
};

} // namespace

namespace {

// The smallest stream of one layout over the plan's strategies, tables' bytes included.
struct LayoutBest {
    Trial trial;
    std::vector<uint8_t> stream;   // when the screening level is the final one
    std::vector<uint8_t> filtered; // when the whole picture was screened
};

bool IsFixedFilter(FilterStrategy strategy) {
    using S = FilterStrategy;
    return strategy == S::Sub || strategy == S::Up || strategy == S::Average ||
           strategy == S::Paeth;
}

struct Screens {
    ZlibCompressor screen;
    std::optional<ZlibCompressor> quick;
};

// With a quick level every strategy is compressed at it too, and a fixed filter (they come last)
// is screened only if its quick stream is smaller than those of all strategies before it.
std::optional<LayoutBest> ScreenLayout(const RawImage& whole, size_t layout, const EffortPlan& plan,
                                       Screens& screens, const std::stop_token& stop) {
    const bool sampled = FilteredBytes(whole) > plan.sampleAbove;
    const bool screenIsFinal = plan.finalLevel == plan.screenLevel && !sampled;
    const RawImage sample = sampled ? SampleRows(whole, plan.sampleBytes) : RawImage{};
    const RawImage& image = sampled ? sample : whole;
    std::vector<uint8_t> scratch;
    std::optional<LayoutBest> best;
    size_t quickSmallest = SIZE_MAX;
    for (const FilterStrategy strategy : plan.strategies) {
        if (stop.stop_requested()) return std::nullopt;
        std::vector<uint8_t> filtered = FilterImage(image, strategy);
        if (screens.quick) {
            const size_t quick = screens.quick->CompressedSize(filtered, scratch);
            if (IsFixedFilter(strategy) && quick >= quickSmallest) continue;
            quickSmallest = std::min(quickSmallest, quick);
        }
        const size_t size = screens.screen.CompressedSize(filtered, scratch) + TableBytes(image);
        if (best && size >= best->trial.size) continue;
        if (!best) best.emplace();
        best->trial = Trial{layout, strategy, size};
        if (screenIsFinal) best->stream.swap(scratch);
        if (!sampled) best->filtered = std::move(filtered);
    }
    return best;
}

// The final stream of a layout's best strategy: the final level, then zopfli and zlib where
// planned. A screened stream is at the final level already. The layout's rows are released once
// filtered: libdeflate touches about as much output memory as it reads, so a 16-megapixel RGBA
// picture would otherwise peak at three times its size during the final compression.
std::vector<uint8_t> FinalStream(RawImage& image, LayoutBest best, const EffortPlan& plan,
                                 const std::stop_token& stop) {
    const bool screened = !best.stream.empty();
    const bool classic = FilteredBytes(image) <= kClassicZlibBytes && !plan.classic.empty();
    if (screened && plan.zopfliIterations == 0 && !classic) return std::move(best.stream);
    const std::vector<uint8_t> filtered =
        best.filtered.empty() ? FilterImage(image, best.trial.strategy) : std::move(best.filtered);
    image.rows = std::vector<uint8_t>();
    std::vector<uint8_t> stream = screened ? std::move(best.stream)
                                  : plan.banded
                                      ? BandedZlib(filtered, plan.finalLevel, stop)
                                      : ZlibCompressor(plan.finalLevel).Compress(filtered);
    const auto keepSmaller = [&stream](std::vector<uint8_t> trial) {
        if (!trial.empty() && (stream.empty() || trial.size() < stream.size())) stream.swap(trial);
    };
    if (plan.zopfliIterations) keepSmaller(ZopfliZlib(filtered, plan.zopfliIterations));
    if (classic)
        for (const ClassicStrategy strategy : plan.classic)
            keepSmaller(ClassicZlib(filtered, strategy));
    return stream;
}

} // namespace

std::optional<EncodedImage> EncodeSmallest(std::vector<RawImage>& layouts, PngEffort effort,
                                           const std::stop_token& stop) {
    size_t largest = 0;
    for (const RawImage& image : layouts)
        largest = std::max(largest, FilteredBytes(image));
    const EffortPlan plan = PlanFor(effort, largest);
    Screens screens{ZlibCompressor(plan.screenLevel), std::nullopt};
    if (plan.quickLevel && plan.quickLevel < plan.screenLevel)
        screens.quick.emplace(plan.quickLevel);
    // Only the layout that screened smallest goes on. Zopfli on every layout's best was tried:
    // over the public corpus and a second set of 103 files it never changed which was smaller,
    // and it took a tenth of the default effort's time.
    std::optional<LayoutBest> chosen;
    for (size_t layout = 0; layout < layouts.size(); ++layout) {
        std::optional<LayoutBest> best = ScreenLayout(layouts[layout], layout, plan, screens, stop);
        if (!best) return std::nullopt;
        if (!chosen || best->trial.size < chosen->trial.size) chosen = std::move(best);
    }
    if (!chosen || stop.stop_requested()) return std::nullopt;
    const size_t layout = chosen->trial.layout;
    std::vector<uint8_t> stream = FinalStream(layouts[layout], std::move(*chosen), plan, stop);
    if (stream.empty() || stop.stop_requested()) return std::nullopt;
    return EncodedImage{layout, std::move(stream)};
}

} // namespace lumatrim::png
