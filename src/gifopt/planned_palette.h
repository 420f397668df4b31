// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Colour tables for rebuilt frames: only the colours they draw, with an entry for transparency
// where there is room. One global table serves every frame when all colours fit in it;
// otherwise each frame gets a local table of its own colours. A frame's LZW code size follows
// the largest index it uses, so entries are ordered by how many frames use them, then by how
// many points: frames of few, common colours then get short codes.
#pragma once

#include "gif/gif.h"
#include "gifopt/frame_planner.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace lumatrim::mGIFOptimizer {

// The index of each of up to 256 colours.
class ColourIndex {
public:
    ColourIndex() { keys_.fill(kEmpty); }
    void Add(uint32_t colour, uint8_t index);
    // The index of a colour that was added; -1 for any other.
    int32_t Find(uint32_t colour) const {
        for (uint32_t slot = Slot(colour);; slot = (slot + 1) % kSlots) {
            if (keys_[slot] == colour) return indices_[slot];
            if (keys_[slot] == kEmpty) return -1;
        }
    }

private:
    static constexpr uint32_t kSlots = 512;
    static constexpr uint32_t kEmpty = 0xFFFFFFFF;
    static uint32_t Slot(uint32_t colour) { return (colour * 2654435761u) >> 23; }
    std::array<uint32_t, kSlots> keys_{};
    std::array<uint8_t, kSlots> indices_{};
};

struct PlannedTable {
    ColorTable1024 table{};
    int32_t entries = 1;
    int32_t transparent = -1; // an entry of its own for transparency, or -1
    ColourIndex index;
};

struct PlannedPalette {
    bool global = true;
    PlannedTable shared;              // when global
    std::vector<PlannedTable> frames; // one per frame otherwise
    const PlannedTable& For(size_t frame) const { return global ? shared : frames[frame]; }
};

// Nothing when a frame draws more than 256 colours. A table of 256 colours has no entry for
// transparency: its frames then take an index they do not draw (FreeIndex).
std::optional<PlannedPalette> PlanPalette(const std::vector<PlannedFrame>& frames);

// The smallest index of `table` that `frame` draws no colour with, for the frame's own
// transparency; -1 when it draws them all.
int32_t FreeIndex(const PlannedFrame& frame, const PlannedTable& table);

} // namespace lumatrim::mGIFOptimizer
