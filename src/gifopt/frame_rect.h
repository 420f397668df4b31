// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Rectangles of the frame passes: left, top, right, bottom with right and bottom exclusive;
// empty when right <= left or bottom <= top.
#pragma once

#include "gif/gif.h"

#include <algorithm>
#include <cstdint>

namespace lumatrim::mGIFOptimizer {

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool Empty() const { return right <= left || bottom <= top; }
    bool operator==(const Rect&) const = default;
};

// Empty rectangles come out as all zeros, so two empty intersections compare equal.
inline Rect Intersect(const Rect& a, const Rect& b) {
    const Rect x{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
    return x.Empty() ? Rect{} : x;
}

// The frame on the logical screen; OverflowError when an edge does not fit 32 bits.
Rect FrameRect(const cGIF& gif, int32_t nFrame);

// The frame in its own coordinates: (0, 0, width, height).
Rect WholeRect(const cGIF& gif, int32_t nFrame);

// The smallest rectangle inside `area` holding every point where `rows` finds a difference;
// empty when there is none. `rows.First(y, from, to)` gives the first x in [from, to) that
// differs on row y (or `to`), `rows.Last(y, from, to)` one past the last (or `from`).
template <typename RowScan> Rect DifferenceBounds(const Rect& area, const RowScan& rows) {
    Rect box{area.right, area.bottom, area.left, area.top};
    int32_t y = area.top;
    while (y < area.bottom && rows.First(y, area.left, area.right) == area.right)
        ++y;
    if (y == area.bottom) return Rect{};
    box.top = y;
    y = area.bottom - 1;
    while (rows.First(y, area.left, area.right) == area.right)
        --y;
    box.bottom = y + 1;
    // Each row only needs looking at outside the columns already known to differ.
    for (y = box.top; y < box.bottom; ++y) {
        box.left = rows.First(y, area.left, box.left);
        box.right = rows.Last(y, box.right, area.right);
    }
    return box;
}

} // namespace lumatrim::mGIFOptimizer
