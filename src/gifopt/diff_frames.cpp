// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Frame differencing. The comparison runs from the last pair to the first, so the older frame
// of a pair is still untouched when the newer one is compared with it. A frame after one that
// restores (disposal 2 or 3) is never compared: it cannot rely on what that frame showed.
#include "gifopt/frame_pair.h"
#include "gifopt/frame_removal.h"
#include "gifopt/gif_optimizer.h"
#include "gifopt/pass_support.h"
#include "gifopt/restore_guard.h"

namespace lumatrim::mGIFOptimizer {

namespace {

constexpr int16_t kTransparencyMode = 1;

std::vector<Rect> FrameRects(const cGIF& gif) {
    std::vector<Rect> rects;
    for (int32_t i = 1; i <= gif.FramesCount(); ++i)
        rects.push_back(FrameRect(gif, i));
    return rects;
}

void GiveLocalTransparency(cGIF& gif, int32_t i) {
    const int32_t entries = gif.LocalPaletteEntries(i);
    if (entries >= 256) return;
    gif.SetLocalPaletteEntries(i, entries + 1);
    gif.SetFrameTransparentColorIndex(i, entries);
    gif.SetFrameUseTransparentColor(i, true);
}

// Every frame on the global palette that gets transparency shares the one entry added for it;
// the entry keeps whatever colour the table holds there.
void GiveGlobalTransparency(cGIF& gif, int32_t i, int32_t& shared) {
    if (shared < 0) {
        const int32_t entries = gif.GlobalPaletteEntries();
        if (entries >= 256) return;
        gif.SetGlobalPaletteEntries(entries + 1);
        for (int32_t f = 1; f <= gif.FramesCount(); ++f)
            if (!gif.LocalPaletteUsed(f)) gif.SetLocalPaletteEntries(f, entries + 1);
        shared = entries;
    }
    gif.SetFrameTransparentColorIndex(i, shared);
    gif.SetFrameUseTransparentColor(i, true);
}

// Frames that overlap an earlier frame left in place get a transparent index no pixel holds yet.
void GiveTransparency(cGIF& gif, const std::vector<Rect>& rects) {
    int32_t shared = -1;
    for (int32_t i = 2; i <= gif.FramesCount(); ++i) {
        const auto at = static_cast<size_t>(i - 1);
        if (Restores(gif.FrameDisposalMethod(i - 1)) ||
            Intersect(rects[at], rects[at - 1]).Empty() || gif.FrameUseTransparentColor(i))
            continue;
        if (gif.LocalPaletteUsed(i))
            GiveLocalTransparency(gif, i);
        else
            GiveGlobalTransparency(gif, i, shared);
    }
}

void CompareBackwards(cGIF& gif, int16_t mode, const std::vector<Rect>& rects, FrameKeep& out) {
    for (int32_t i = gif.FramesCount() - 1; i >= 1; --i) {
        const int32_t k = i + 1;
        const Rect& newer = rects[static_cast<size_t>(k - 1)];
        const Rect overlap = Intersect(rects[static_cast<size_t>(i - 1)], newer);
        if (mode != kTransparencyMode) out.keep[static_cast<size_t>(k - 1)] = newer;
        if (Restores(gif.FrameDisposalMethod(i)) || overlap.Empty()) continue;
        FramePair pair(gif, i, k);
        if (mode == kTransparencyMode) {
            if (gif.FrameUseTransparentColor(k))
                pair.MakeRepeatsTransparent(overlap, gif.FrameTransparentColorIndex(k));
        } else if (overlap == newer) {
            const Rect changed = DifferenceBounds(overlap, pair);
            out.keep[static_cast<size_t>(k - 1)] = changed;
            out.crop[static_cast<size_t>(k - 1)] = changed != overlap;
        }
    }
}

void CropToChanges(cGIF& gif, const FrameKeep& frames) {
    for (int32_t j = 2; j <= gif.FramesCount(); ++j) {
        const auto at = static_cast<size_t>(j - 1);
        if (!frames.crop[at]) continue;
        const Rect& r = frames.keep[at];
        const int32_t left = gif.FrameLeft(j);
        const int32_t top = gif.FrameTop(j);
        CropFrame(gif, j, r.left - left, r.top - top, r.right - left, r.bottom - top);
    }
}

} // namespace

bool DiffFrames(cGIF& oGIF, int16_t DiffMode) {
    return Guarded(false, [&] {
        const std::vector<Rect> rects = FrameRects(oGIF);
        if (DiffMode == kTransparencyMode) GiveTransparency(oGIF, rects);
        FrameKeep frames{std::vector<Rect>(rects.size()), std::vector<bool>(rects.size())};
        CompareBackwards(oGIF, DiffMode, rects, frames);
        if (DiffMode == kTransparencyMode) {
            for (int32_t i = 2; i <= oGIF.FramesCount(); ++i)
                if (oGIF.FrameUseTransparentColor(i)) RefreshFrame(oGIF, i);
            return true;
        }
        RemoveEmptyFrames(oGIF, frames);
        KeepClearedPoints(oGIF, frames, false);
        CropToChanges(oGIF, frames);
        return true;
    });
}

} // namespace lumatrim::mGIFOptimizer
