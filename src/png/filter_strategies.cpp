// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "png/filter_strategies.h"

#include "png/row_filters.h"
#include "png/zlib_stream.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cmath>
#include <memory>
#include <span>

namespace lumatrim::png {

namespace {

// The five filtered versions of one row, scored by a strategy.
struct RowTrials {
    explicit RowTrials(size_t length) {
        for (auto& trial : rows)
            trial.resize(length);
    }
    std::array<std::vector<uint8_t>, kFilterTypes> rows;
};

uint64_t SignedMagnitudeSum(const std::vector<uint8_t>& row) {
    uint64_t sum = 0;
    for (const uint8_t byte : row)
        sum += byte < 128 ? byte : 256 - byte;
    return sum;
}

// Scaled entropy: sum of count * log2(length / count), as an integer for comparison.
uint64_t EntropyScore(const std::vector<uint8_t>& row) {
    std::array<uint32_t, 256> counts{};
    for (const uint8_t byte : row)
        ++counts[byte];
    double bits = 0;
    const double length = static_cast<double>(row.size());
    for (const uint32_t count : counts)
        if (count) bits += count * std::log2(length / count);
    return static_cast<uint64_t>(bits * 16);
}

class BigramCounter {
public:
    uint64_t Distinct(const std::vector<uint8_t>& row) {
        seen_.reset();
        uint64_t distinct = 0;
        for (size_t i = 1; i < row.size(); ++i) {
            const size_t pair = size_t{row[i - 1]} << 8 | row[i];
            if (!seen_[pair]) seen_.set(pair), ++distinct;
        }
        return distinct;
    }

private:
    std::bitset<65536> seen_;
};

// The window of earlier filtered bytes a brute-force trial compresses with each candidate row:
// long enough for the matches a row finds above it, short enough to keep trials cheap. The near
// window halves the cost of the trials; over the public corpus it ranks as well (651 bytes
// smaller at the fast effort), over 103 PNG files of a Debian system slightly worse (595 bytes,
// 0.02 %).
constexpr size_t kBruteWindow = 16384;
constexpr size_t kNearBruteWindow = 4096;

class BruteScorer {
public:
    BruteScorer(size_t rowLength, size_t window) : compressor_(1), windowBytes_(window) {
        window_.reserve(windowBytes_ + rowLength);
    }

    uint64_t Score(const std::vector<uint8_t>& filtered, std::span<const uint8_t> before) {
        const size_t start = before.size() > windowBytes_ ? before.size() - windowBytes_ : 0;
        window_.assign(before.begin() + static_cast<std::ptrdiff_t>(start), before.end());
        window_.insert(window_.end(), filtered.begin(), filtered.end());
        return compressor_.CompressedSize(window_, scratch_);
    }

private:
    ZlibCompressor compressor_;
    size_t windowBytes_;
    std::vector<uint8_t> window_, scratch_;
};

FilterType FixedFilter(FilterStrategy strategy) {
    return static_cast<FilterType>(static_cast<int>(strategy));
}

} // namespace

std::vector<uint8_t> FilterImage(const RawImage& image, FilterStrategy strategy) {
    const size_t length = image.RowBytes();
    const size_t stride = image.FilterStride();
    std::vector<uint8_t> out(image.height * (length + 1));
    const std::vector<uint8_t> zeros(length);
    const bool fixed = strategy <= FilterStrategy::Paeth;
    RowTrials trials(fixed ? 0 : length);
    auto bigrams =
        strategy == FilterStrategy::Bigrams ? std::make_unique<BigramCounter>() : nullptr;
    std::unique_ptr<BruteScorer> brute;
    if (strategy == FilterStrategy::BruteForce)
        brute = std::make_unique<BruteScorer>(length, kBruteWindow);
    if (strategy == FilterStrategy::NearBruteForce)
        brute = std::make_unique<BruteScorer>(length, kNearBruteWindow);
    for (size_t y = 0; y < image.height; ++y) {
        const uint8_t* row = image.rows.data() + y * length;
        const uint8_t* above = y ? row - length : zeros.data();
        uint8_t* target = out.data() + y * (length + 1);
        if (fixed) {
            target[0] = static_cast<uint8_t>(FixedFilter(strategy));
            FilterRow(FixedFilter(strategy), row, above, length, stride, target + 1);
            continue;
        }
        int best = 0;
        uint64_t bestScore = UINT64_MAX;
        for (int type = 0; type < kFilterTypes; ++type) {
            std::vector<uint8_t>& trial = trials.rows[type];
            FilterRow(static_cast<FilterType>(type), row, above, length, stride, trial.data());
            uint64_t score = 0;
            switch (strategy) {
            case FilterStrategy::Entropy:
                score = EntropyScore(trial);
                break;
            case FilterStrategy::Bigrams:
                score = bigrams->Distinct(trial);
                break;
            case FilterStrategy::BruteForce:
            case FilterStrategy::NearBruteForce:
                score =
                    brute->Score(trial, std::span<const uint8_t>(out.data(), target - out.data()));
                break;
            default:
                score = SignedMagnitudeSum(trial);
                break;
            }
            if (score < bestScore) bestScore = score, best = type;
        }
        target[0] = static_cast<uint8_t>(best);
        std::copy(trials.rows[best].begin(), trials.rows[best].end(), target + 1);
    }
    return out;
}

} // namespace lumatrim::png
