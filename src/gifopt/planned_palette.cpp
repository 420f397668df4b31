// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gifopt/planned_palette.h"

#include <algorithm>
#include <cstring>

namespace lumatrim::mGIFOptimizer {

namespace {

constexpr size_t kTransparentSlot = 256; // transparency ranks among the colours

struct Use {
    std::array<int64_t, 257> frames{};
    std::array<int64_t, 257> points{};
};

Use CountUses(const std::vector<PlannedFrame>& frames) {
    Use use;
    for (const PlannedFrame& frame : frames) {
        std::array<bool, 257> seen{};
        for (const uint16_t point : frame.points) {
            if (point == kClear || (point & kMayClear)) seen[kTransparentSlot] = true;
            if (point == kClear) continue;
            const size_t entry = point & 0xFF;
            seen[entry] = true;
            ++use.points[entry];
        }
        for (size_t i = 0; i < seen.size(); ++i)
            use.frames[i] += seen[i];
    }
    return use;
}

} // namespace

PlannedPalette OrderPalette(const std::vector<PlannedFrame>& frames, const ColorTable1024& old) {
    const Use use = CountUses(frames);
    std::vector<size_t> order;
    for (size_t entry = 0; entry < 256; ++entry)
        if (use.frames[entry] > 0) order.push_back(entry);
    const bool room = order.size() < 256 && use.frames[kTransparentSlot] > 0;
    if (room) order.push_back(kTransparentSlot);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (use.frames[a] != use.frames[b]) return use.frames[a] > use.frames[b];
        return use.points[a] > use.points[b];
    });

    PlannedPalette palette;
    palette.entries = std::max<int32_t>(1, static_cast<int32_t>(order.size()));
    for (size_t i = 0; i < order.size(); ++i) {
        if (order[i] == kTransparentSlot) {
            palette.transparent = static_cast<int32_t>(i);
            continue;
        }
        palette.index[order[i]] = static_cast<uint8_t>(i);
        std::memcpy(&palette.table[i * 4], &old[order[i] * 4], 4);
    }
    return palette;
}

int32_t FreeIndex(const PlannedFrame& frame, const PlannedPalette& palette) {
    std::array<bool, 256> drawn{};
    for (const uint16_t point : frame.points)
        if (point != kClear) drawn[palette.index[point & 0xFF]] = true;
    const auto free = std::find(drawn.begin(), drawn.end(), false);
    return free == drawn.end() ? -1 : static_cast<int32_t>(free - drawn.begin());
}

} // namespace lumatrim::mGIFOptimizer
