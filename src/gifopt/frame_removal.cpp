// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gifopt/frame_removal.h"

#include "gifopt/pass_support.h"
#include "imaging/errors.h"

#include <limits>

namespace lumatrim::mGIFOptimizer {

void AddDelay(cGIF& gif, int32_t into, int32_t from) {
    const int32_t a = gif.FrameDelay(into);
    const int32_t b = gif.FrameDelay(from);
    if (a < 0 || b < 0 || a + b > std::numeric_limits<int16_t>::max())
        throw OverflowError("delay sum does not fit 16 bits");
    gif.SetFrameDelay(into, a + b);
}

void RemoveEmptyFrames(cGIF& gif, FrameKeep& frames) {
    for (int32_t c = gif.FramesCount(); c >= 2; --c) {
        const auto at = static_cast<size_t>(c - 1);
        if (!frames.keep[at].Empty()) continue;
        if (Restores(gif.FrameDisposalMethod(c))) {
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
