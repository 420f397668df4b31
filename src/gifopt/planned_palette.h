// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The global table of rebuilt frames: only the colours they draw, with one entry for
// transparency where there is room. A frame's LZW code size follows the largest index it uses,
// so entries are ordered by how many frames use them: frames of few, common colours then get
// short codes.
#pragma once

#include "gif/gif.h"
#include "gifopt/frame_planner.h"

#include <array>
#include <cstdint>
#include <vector>

namespace lumatrim::mGIFOptimizer {

struct PlannedPalette {
    std::array<uint8_t, 256> index{}; // the new index of each old entry the frames draw
    ColorTable1024 table{};
    int32_t entries = 0;
    int32_t transparent = -1; // the shared transparent entry; -1 when 256 colours are drawn
};

PlannedPalette OrderPalette(const std::vector<PlannedFrame>& frames, const ColorTable1024& old);

// The smallest index `frame` draws no colour with, for its own transparency; -1 when it draws
// all 256.
int32_t FreeIndex(const PlannedFrame& frame, const PlannedPalette& palette);

} // namespace lumatrim::mGIFOptimizer
