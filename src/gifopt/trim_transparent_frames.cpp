// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Transparent border trimming: transparent pixels draw nothing, so a frame can lose every row
// and column that holds only them, and a frame holding nothing else can go altogether.
#include "gifopt/frame_removal.h"
#include "gifopt/gif_optimizer.h"
#include "gifopt/pass_support.h"
#include "gifopt/restore_guard.h"

#include <cstring>

namespace lumatrim::mGIFOptimizer {

namespace {

// One frame's pixels against its transparent index, for DifferenceBounds.
struct OpaqueScan {
    const cDIB& surface;
    uint8_t transparent;

    int32_t First(int32_t y, int32_t from, int32_t to) const {
        const uint8_t* row = Row(surface, y);
        for (int32_t x = from; x < to; ++x)
            if (row[x] != transparent) return x;
        return to;
    }
    int32_t Last(int32_t y, int32_t from, int32_t to) const {
        const uint8_t* row = Row(surface, y);
        for (int32_t x = to - 1; x >= from; --x)
            if (row[x] != transparent) return x + 1;
        return from;
    }
};

FrameKeep FindOpaqueAreas(const cGIF& gif) {
    FrameKeep frames;
    for (int32_t i = 1; i <= gif.FramesCount(); ++i) {
        const Rect whole = WholeRect(gif, i);
        Rect keep = whole;
        if (gif.FrameUseTransparentColor(i))
            keep = DifferenceBounds(
                whole, OpaqueScan{*gif.FrameDIBXOR(i), gif.FrameTransparentColorIndex(i)});
        frames.keep.push_back(keep);
        frames.crop.push_back(keep != whole);
    }
    return frames;
}

} // namespace

bool TrimTransparentFrames(cGIF& oGIF) {
    return Guarded(false, [&] {
        FrameKeep frames = FindOpaqueAreas(oGIF);
        RemoveEmptyFrames(oGIF, frames);
        KeepClearedPoints(oGIF, frames, true);
        for (int32_t f = 1; f <= oGIF.FramesCount(); ++f) {
            const Rect& r = frames.keep[static_cast<size_t>(f - 1)];
            if (frames.crop[static_cast<size_t>(f - 1)] && !r.Empty())
                CropFrame(oGIF, f, r.left, r.top, r.right, r.bottom);
        }
        return true;
    });
}

} // namespace lumatrim::mGIFOptimizer
