// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gifopt/planned_palette.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace lumatrim::mGIFOptimizer {

namespace {

constexpr uint32_t kTransparency = 0xFF000000; // ranks among the colours

struct Use {
    int64_t frames = 0;
    int64_t points = 0;
};
using Uses = std::map<uint32_t, Use>;

// The colours one frame draws, with their points, and transparency among them when the frame
// has points that may or must stay clear. Sorting a copy keeps the counting out of the pixels.
Uses FrameUses(const PlannedFrame& frame) {
    std::vector<uint32_t> sorted = frame.points;
    std::sort(sorted.begin(), sorted.end());
    Uses uses;
    for (size_t i = 0; i < sorted.size();) {
        size_t j = i;
        while (j < sorted.size() && sorted[j] == sorted[i])
            ++j;
        if (sorted[i] != kClear) uses[sorted[i] & kColour].points += static_cast<int64_t>(j - i);
        if (sorted[i] == kClear || (sorted[i] & kMayClear))
            uses[kTransparency].points += static_cast<int64_t>(j - i);
        i = j;
    }
    for (auto& [colour, use] : uses)
        use.frames = 1;
    return uses;
}

// Entries in order of use; transparency gets one only where 256 colours leave room for it.
// Nothing when the colours alone do not fit.
std::optional<PlannedTable> MakeTable(const Uses& uses) {
    std::vector<std::pair<uint32_t, Use>> order(uses.begin(), uses.end());
    const bool clears = uses.count(kTransparency) > 0;
    if (order.size() - clears > 256) return std::nullopt;
    if (clears && order.size() > 256)
        order.erase(std::find_if(order.begin(), order.end(),
                                 [](const auto& u) { return u.first == kTransparency; }));
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
        if (a.second.frames != b.second.frames) return a.second.frames > b.second.frames;
        return a.second.points > b.second.points;
    });
    PlannedTable table;
    table.entries = std::max<int32_t>(1, static_cast<int32_t>(order.size()));
    for (size_t i = 0; i < order.size(); ++i) {
        const uint32_t colour = order[i].first;
        if (colour == kTransparency) {
            table.transparent = static_cast<int32_t>(i);
            continue;
        }
        const uint8_t bgr[4] = {static_cast<uint8_t>(colour), static_cast<uint8_t>(colour >> 8),
                                static_cast<uint8_t>(colour >> 16), 0};
        std::memcpy(&table.table[i * 4], bgr, 4);
        table.index.Add(colour, static_cast<uint8_t>(i));
    }
    return table;
}

} // namespace

void ColourIndex::Add(uint32_t colour, uint8_t index) {
    uint32_t slot = Slot(colour);
    while (keys_[slot] != kEmpty && keys_[slot] != colour)
        slot = (slot + 1) % kSlots;
    keys_[slot] = colour;
    indices_[slot] = index;
}

std::optional<PlannedPalette> PlanPalette(const std::vector<PlannedFrame>& frames) {
    std::vector<Uses> perFrame;
    Uses all;
    for (const PlannedFrame& frame : frames) {
        perFrame.push_back(FrameUses(frame));
        for (const auto& [colour, use] : perFrame.back()) {
            all[colour].frames += use.frames;
            all[colour].points += use.points;
        }
    }
    PlannedPalette palette;
    if (auto shared = MakeTable(all)) {
        palette.shared = std::move(*shared);
        return palette;
    }
    palette.global = false;
    for (const Uses& uses : perFrame) {
        auto table = MakeTable(uses);
        if (!table) return std::nullopt;
        palette.frames.push_back(std::move(*table));
    }
    return palette;
}

int32_t FreeIndex(const PlannedFrame& frame, const PlannedTable& table) {
    std::array<bool, 256> drawn{};
    for (const uint32_t point : frame.points)
        if (point != kClear) drawn[static_cast<size_t>(table.index.Find(point & kColour))] = true;
    const auto free = std::find(drawn.begin(), drawn.end(), false);
    return free == drawn.end() ? -1 : static_cast<int32_t>(free - drawn.begin());
}

} // namespace lumatrim::mGIFOptimizer
