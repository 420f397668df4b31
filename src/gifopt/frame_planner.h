// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Frames planned from the pictures a viewer sees, not from the file's own frames. Consecutive
// equal pictures become one frame that shows as long as they did. Each frame's disposal is
// chosen by what the next picture needs: leave in place, or restore to background or to
// previous where that leaves the next frame less to draw. A frame covers just the points that
// change, grown where its disposal must clear points the next picture shows empty.
#pragma once

#include "gifopt/frame_rect.h"

#include <cstdint>
#include <vector>

namespace lumatrim::mGIFOptimizer {

// A planned point: a colour (0x00RRGGBB) that must be drawn; a colour with kMayClear, which the
// screen already shows there, so transparency does as well; or kClear, where the screen shows
// background and the point must stay transparent.
inline constexpr uint32_t kMayClear = 0x01000000;
inline constexpr uint32_t kClear = 0x02000000;
inline constexpr uint32_t kColour = 0x00FFFFFF;

struct PlannedFrame {
    Rect rect; // on the screen, never empty
    uint8_t disposal = 0;
    int32_t delay = 0;
    std::vector<uint32_t> points; // row by row over rect
};

class FramePlanner {
public:
    // Pictures hold width x height points: a colour, or kBackground where nothing shows.
    static constexpr uint32_t kBackground = 0xFF000000;

    FramePlanner(int32_t width, int32_t height);
    // The next picture, shown for `delay` hundredths. OverflowError when joined delays do not
    // fit 16 bits.
    void Add(const std::vector<uint32_t>& picture, int32_t delay);
    // Plans the last picture and hands out the frames.
    std::vector<PlannedFrame> Finish();

private:
    struct After {
        Rect changes;         // where the next picture differs from the screen left behind
        int64_t changed = 0;  // the points that differ there
        bool possible = true; // no point the next picture shows empty stays drawn
        int64_t Cost() const;
    };
    After Judge(const std::vector<uint32_t>& left, const std::vector<uint32_t>& next) const;
    Rect Differences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) const;
    Rect Emptied(const std::vector<uint32_t>& next) const;
    void Clear(std::vector<uint32_t>& screen, const Rect& area) const;
    void Plan(const std::vector<uint32_t>* next);
    void Emit(const Rect& area, uint8_t disposal);

    int32_t width_;
    int32_t height_;
    std::vector<uint32_t> screen_;  // before the pending picture is drawn
    std::vector<uint32_t> pending_; // the picture waiting for the one after it
    std::vector<uint32_t> cleared_; // the screen a restore to background would leave
    int32_t pendingDelay_ = 0;
    bool hasPending_ = false;
    std::vector<PlannedFrame> frames_;
};

} // namespace lumatrim::mGIFOptimizer
