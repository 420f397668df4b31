// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Two consecutive frames seen through their colours at screen coordinates: the differencing's
// comparison. Both palettes become lookup tables of whole colour entries, with a flag for the
// transparent index, so two points are the same exactly when their keys are equal: the same
// colour, and both transparent or both not.
#pragma once

#include "gif/gif.h"
#include "gifopt/frame_rect.h"

#include <array>
#include <cstdint>

namespace lumatrim::mGIFOptimizer {

class FramePair {
public:
    FramePair(const cGIF& gif, int32_t older, int32_t newer);

    // For DifferenceBounds: the first differing x in [from, to) of screen row y, or `to`; one
    // past the last, or `from`.
    int32_t First(int32_t y, int32_t from, int32_t to) const;
    int32_t Last(int32_t y, int32_t from, int32_t to) const;

    // Sets every opaque older point whose colour the newer frame repeats to `transparent` in
    // the newer frame, within `area`.
    void MakeRepeatsTransparent(const Rect& area, uint8_t transparent);

private:
    struct Side {
        cDIB* surface;
        Rect rect;
        std::array<uint64_t, 256> keys;
        uint8_t* At(int32_t x, int32_t y) const;
    };
    static Side Make(const cGIF& gif, int32_t nFrame);

    Side older_;
    Side newer_;
};

} // namespace lumatrim::mGIFOptimizer
