// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gifopt/screen_playback.h"

#include "gifopt/pass_support.h"

#include <algorithm>
#include <cstring>

namespace lumatrim::mGIFOptimizer {

std::array<uint32_t, 256> FramePoints(const cGIF& gif, int32_t nFrame) {
    std::array<uint32_t, 256> points{};
    const ColorTable1024& table = gif.lpFramePalette(nFrame);
    for (size_t entry = 0; entry < 256; ++entry) {
        std::memcpy(&points[entry], &table[entry * 4], 4);
        points[entry] &= 0x00FFFFFF;
    }
    if (gif.FrameUseTransparentColor(nFrame))
        points[gif.FrameTransparentColorIndex(nFrame)] = ScreenPlayback::kBackground;
    return points;
}

ScreenPlayback::ScreenPlayback(const cGIF& gif)
    : gif_(gif), width_(std::max<int32_t>(gif.ScreenWidth(), 0)),
      height_(std::max<int32_t>(gif.ScreenHeight(), 0)) {
    playable_ = int64_t{width_} * height_ <= kMaxPoints;
    if (!playable_) return;
    points_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), kBackground);
}

void ScreenPlayback::Draw(int32_t n) {
    drawn_ = n;
    if (!playable_) return;
    if (gif_.FrameDisposalMethod(n) == 3) saved_ = points_;
    const Rect frame = FrameRect(gif_, n);
    const Rect shown = Clip(frame);
    if (shown.Empty()) return;
    const std::array<uint32_t, 256> colors = FramePoints(gif_, n);
    const cDIB& surface = *gif_.FrameDIBXOR(n);
    for (int32_t y = shown.top; y < shown.bottom; ++y) {
        const uint8_t* source = mGIFOptimizer::Row(surface, y - frame.top) - frame.left;
        uint32_t* target = points_.data() + static_cast<size_t>(y) * width_;
        for (int32_t x = shown.left; x < shown.right; ++x) {
            const uint32_t point = colors[source[x]];
            if (point != kBackground) target[x] = point;
        }
    }
}

void ScreenPlayback::Dispose() {
    if (!playable_ || drawn_ == 0) return;
    const int32_t disposal = gif_.FrameDisposalMethod(drawn_);
    if (disposal == 3) {
        points_.swap(saved_);
        return;
    }
    if (disposal != 2) return;
    const Rect cleared = Clip(FrameRect(gif_, drawn_));
    for (int32_t y = cleared.top; y < cleared.bottom; ++y)
        std::fill_n(points_.data() + static_cast<size_t>(y) * width_ + cleared.left,
                    cleared.right - cleared.left, kBackground);
}

Rect ScreenPlayback::DrawnBounds(const Rect& area) const {
    const Rect inside = Clip(area);
    Rect box{inside.right, inside.bottom, inside.left, inside.top};
    for (int32_t y = inside.top; y < inside.bottom; ++y) {
        const uint32_t* row = Row(y);
        int32_t first = inside.left;
        while (first < inside.right && row[first] == kBackground)
            ++first;
        if (first == inside.right) continue;
        int32_t last = inside.right;
        while (row[last - 1] == kBackground)
            --last;
        box = {std::min(box.left, first), std::min(box.top, y), std::max(box.right, last),
               std::max(box.bottom, y + 1)};
    }
    return box.Empty() ? Rect{} : box;
}

} // namespace lumatrim::mGIFOptimizer
