// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Removing frames that show nothing new, shared by the frame differencing and the transparent
// trim.
#pragma once

#include "gif/gif.h"
#include "gifopt/frame_rect.h"

#include <vector>

namespace lumatrim::mGIFOptimizer {

// Per frame, what to keep of it and whether it is to be cropped to that. Index 0 is frame 1.
struct FrameKeep {
    std::vector<Rect> keep;
    std::vector<bool> crop;
};

// Browsers show a frame of delay 0 or 1 (hundredths) for 10 hundredths.
int32_t ShownDelay(int32_t delay);

// The delay of one frame that shows as long as two frames of delays a and b do in a browser.
// Delays are unsigned hundredths held in 16 bits, so a sum above 32767, or a delay that already
// reads negative, throws OverflowError instead of wrapping into a wrong time.
int32_t JoinedDelay(int32_t a, int32_t b);

// Gives frame `into` the time of both frames (JoinedDelay).
void AddDelay(cGIF& gif, int32_t into, int32_t from);

// Frames after the first whose keep rectangle is empty: one that restores (disposal 2 or 3), or
// that follows one that does, stays, uncropped; any other is removed and its delay goes to the
// frame before it, so a run of such frames collapses into the frame before the run. The tables
// follow the removals.
void RemoveEmptyFrames(cGIF& gif, FrameKeep& frames);

} // namespace lumatrim::mGIFOptimizer
