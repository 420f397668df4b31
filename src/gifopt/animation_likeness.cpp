// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gifopt/animation_likeness.h"

#include "gifopt/frame_removal.h"
#include "gifopt/screen_playback.h"
#include "imaging/likeness.h"

#include <algorithm>

namespace lumatrim::mGIFOptimizer {

namespace {

// One document's timeline: the picture showing and the time its frame ends.
class Timeline {
public:
    explicit Timeline(const cGIF& gif) : gif_(gif), screen_(gif) {}

    bool Playable() const { return screen_.Playable(); }
    bool Done() const { return frame_ >= gif_.FramesCount(); }
    int64_t End() const { return end_; }
    // Shows the next frame.
    void Advance() {
        screen_.Dispose();
        screen_.Draw(++frame_);
        end_ += ShownDelay(gif_.FrameDelay(frame_));
    }
    // The screen as RGBA rows, the untouched background transparent.
    RgbaView Picture() {
        rgba_.resize(screen_.Points().size() * 4);
        uint8_t* out = rgba_.data();
        for (const uint32_t point : screen_.Points()) {
            const bool shown = point != ScreenPlayback::kBackground;
            out[0] = static_cast<uint8_t>(point >> 16);
            out[1] = static_cast<uint8_t>(point >> 8);
            out[2] = static_cast<uint8_t>(point);
            out[3] = shown ? 255 : 0;
            out += 4;
        }
        return {rgba_.data(), screen_.Width(), screen_.Height(),
                static_cast<size_t>(screen_.Width()) * 4};
    }

private:
    const cGIF& gif_;
    ScreenPlayback screen_;
    int32_t frame_ = 0;
    int64_t end_ = 0;
    std::vector<uint8_t> rgba_;
};

} // namespace

double AnimationLikeness(const cGIF& a, const cGIF& b) {
    Timeline first(a);
    Timeline second(b);
    if (!first.Playable() || !second.Playable() || a.ScreenWidth() != b.ScreenWidth() ||
        a.ScreenHeight() != b.ScreenHeight() || a.FramesCount() == 0 || b.FramesCount() == 0)
        return 0.0;
    LikenessMeter meter;
    double weighted = 0.0;
    int64_t now = 0;
    first.Advance();
    second.Advance();
    // Each step compares the pictures until the sooner of the two frame ends still ahead; a
    // timeline that has ended keeps its last picture.
    for (;;) {
        int64_t until = std::max(first.End(), second.End());
        if (first.End() > now) until = std::min(until, first.End());
        if (second.End() > now) until = std::min(until, second.End());
        weighted +=
            meter.Compare(first.Picture(), second.Picture()) * static_cast<double>(until - now);
        now = until;
        if (first.End() <= now && !first.Done()) first.Advance();
        if (second.End() <= now && !second.Done()) second.Advance();
        if (first.End() <= now && second.End() <= now) break;
    }
    return now > 0 ? weighted / static_cast<double>(now) : 1.0;
}

} // namespace lumatrim::mGIFOptimizer
