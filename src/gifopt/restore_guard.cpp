// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gifopt/restore_guard.h"

#include "gifopt/screen_playback.h"

#include <algorithm>

namespace lumatrim::mGIFOptimizer {

namespace {

Rect Shift(const Rect& r, int32_t dx, int32_t dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

Rect Union(const Rect& a, const Rect& b) {
    if (a.Empty()) return b;
    if (b.Empty()) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

} // namespace

void KeepClearedPoints(const cGIF& gif, FrameKeep& frames, bool frameCoordinates) {
    const int32_t count = gif.FramesCount();
    const auto restoresCropped = [&](int32_t n) {
        return gif.FrameDisposalMethod(n) == 2 && frames.crop[static_cast<size_t>(n - 1)];
    };
    bool any = false;
    for (int32_t n = 1; n <= count; ++n)
        any = any || restoresCropped(n);
    if (!any) return;

    ScreenPlayback screen(gif);
    for (int32_t n = 1; n <= count; ++n) {
        screen.Dispose();
        screen.Draw(n);
        if (!restoresCropped(n)) continue;
        const auto at = static_cast<size_t>(n - 1);
        const Rect whole = FrameRect(gif, n);
        const int32_t dx = frameCoordinates ? whole.left : 0;
        const int32_t dy = frameCoordinates ? whole.top : 0;
        const Rect planned = Shift(frames.keep[at], dx, dy);
        const Rect grown = screen.Playable() ? Union(planned, screen.DrawnBounds(whole)) : whole;
        frames.keep[at] = Shift(Intersect(grown, whole), -dx, -dy);
        frames.crop[at] = frames.keep[at] != Shift(whole, -dx, -dy);
    }
}

} // namespace lumatrim::mGIFOptimizer
