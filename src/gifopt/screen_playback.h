// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The logical screen as a browser shows it while the animation plays: frames drawn in order,
// each one's disposal applied after it. A point holds the colour (0x00RRGGBB) of the frame that
// drew it last, or kBackground where nothing is drawn: browsers leave the background
// transparent, whatever the background index says. Frames are clipped to the screen.
#pragma once

#include "gif/gif.h"
#include "gifopt/frame_rect.h"

#include <array>
#include <cstdint>
#include <vector>

namespace lumatrim::mGIFOptimizer {

class ScreenPlayback {
public:
    static constexpr uint32_t kBackground = 0xFF000000;
    // Screens beyond this many points are not played (Playable() is false): 32 MB a copy.
    static constexpr int64_t kMaxPoints = int64_t{1} << 23;

    explicit ScreenPlayback(const cGIF& gif);
    bool Playable() const { return playable_; }

    // Draws frame n over the screen, after the previous frame's disposal. Frames are drawn once
    // each, from 1 on.
    void Draw(int32_t n);
    // Applies the disposal of the frame drawn last.
    void Dispose();

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    const uint32_t* Row(int32_t y) const {
        return points_.data() + static_cast<size_t>(y) * width_;
    }
    const std::vector<uint32_t>& Points() const { return points_; }
    // The part of `area` (screen coordinates) on the screen.
    Rect Clip(const Rect& area) const { return Intersect(area, Rect{0, 0, width_, height_}); }
    // The smallest rectangle holding every point of `area` that is not background; empty when
    // there is none.
    Rect DrawnBounds(const Rect& area) const;

private:
    const cGIF& gif_;
    int32_t width_ = 0;
    int32_t height_ = 0;
    bool playable_ = false;
    std::vector<uint32_t> points_;
    std::vector<uint32_t> saved_; // the screen before a frame that restores to previous
    int32_t drawn_ = 0;           // the frame drawn last, 0 before the first
};

// A frame's colour table as screen points: the 24-bit colour of every entry, and kBackground
// for the transparent index in force.
std::array<uint32_t, 256> FramePoints(const cGIF& gif, int32_t nFrame);

} // namespace lumatrim::mGIFOptimizer
