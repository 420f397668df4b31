// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gifopt/frame_removal.h"

#include "gifopt/pass_support.h"
#include "imaging/errors.h"

#include <limits>

namespace lumatrim::mGIFOptimizer {

int32_t ShownDelay(int32_t delay) {
    return delay <= 1 ? 10 : delay;
}

void AddDelay(cGIF& gif, int32_t into, int32_t from) {
    gif.SetFrameDelay(into, JoinedDelay(gif.FrameDelay(into), gif.FrameDelay(from)));
}

int32_t JoinedDelay(int32_t a, int32_t b) {
    if (a < 0 || b < 0) throw OverflowError("delay does not fit 16 bits");
    const int32_t sum = ShownDelay(a) + ShownDelay(b);
    if (sum > std::numeric_limits<int16_t>::max())
        throw OverflowError("delay sum does not fit 16 bits");
    return sum;
}

void RemoveEmptyFrames(cGIF& gif, FrameKeep& frames) {
    for (int32_t c = gif.FramesCount(); c >= 2; --c) {
        const auto at = static_cast<size_t>(c - 1);
        if (!frames.keep[at].Empty()) continue;
        // After a frame that restores, even a frame that draws nothing shows another picture.
        if (Restores(gif.FrameDisposalMethod(c)) || Restores(gif.FrameDisposalMethod(c - 1))) {
            frames.crop[at] = false;
            continue;
        }
        AddDelay(gif, c - 1, c);
        gif.FrameRemove(c);
        frames.keep.erase(frames.keep.begin() + static_cast<ptrdiff_t>(at));
        frames.crop.erase(frames.crop.begin() + static_cast<ptrdiff_t>(at));
    }
}

} // namespace lumatrim::mGIFOptimizer
