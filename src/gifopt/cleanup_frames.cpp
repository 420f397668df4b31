// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Frame attribute clean-up. After it, a frame that keeps transparency has at least one pixel of
// its transparent index, which the colour removal relies on to keep that entry, and a frame
// without transparency has transparent index 0.
#include "gifopt/frame_rect.h"
#include "gifopt/gif_optimizer.h"
#include "gifopt/pass_support.h"

#include <algorithm>
#include <cstring>

namespace lumatrim::mGIFOptimizer {

namespace {

bool HoldsIndex(const cDIB& surface, uint8_t index) {
    for (int32_t y = 0; y < surface.Height(); ++y) {
        const uint8_t* row = Row(surface, y);
        if (std::memchr(row, index, static_cast<size_t>(surface.Width()))) return true;
    }
    return false;
}

void DropUnusedTransparency(cGIF& gif) {
    for (int32_t i = 1; i <= gif.FramesCount(); ++i) {
        if (gif.FrameUseTransparentColor(i) &&
            HoldsIndex(*gif.FrameDIBXOR(i), gif.FrameTransparentColorIndex(i)))
            continue;
        gif.SetFrameUseTransparentColor(i, false);
        gif.SetFrameTransparentColorIndex(i, 0);
    }
}

// A restoring disposal is pointless when the next frame covers the whole area opaquely, unless
// that frame restores to previous: it would bring back the screen before the disposal.
void DropHiddenDisposal(cGIF& gif) {
    for (int32_t i = 2; i <= gif.FramesCount(); ++i) {
        const Rect before = FrameRect(gif, i - 1);
        const Rect covering = Intersect(before, FrameRect(gif, i));
        if (Restores(gif.FrameDisposalMethod(i - 1)) && !gif.FrameUseTransparentColor(i) &&
            gif.FrameDisposalMethod(i) != 3 && !covering.Empty() && covering == before)
            gif.SetFrameDisposalMethod(i - 1, 0);
    }
}

// Palettes long enough for the background index and every transparent index; the added entries
// keep whatever colour the table holds.
void GrowPalettesToIndices(cGIF& gif) {
    if (gif.GlobalPaletteExists() &&
        gif.ScreenBackgroundColorIndex() > gif.GlobalPaletteEntries() - 1)
        gif.SetGlobalPaletteEntries(gif.ScreenBackgroundColorIndex() + 1);
    if (gif.GlobalPaletteExists()) {
        int32_t last = gif.GlobalPaletteEntries() - 1;
        for (int32_t i = 1; i <= gif.FramesCount(); ++i)
            if (!gif.LocalPaletteUsed(i))
                last = std::max<int32_t>(last, gif.FrameTransparentColorIndex(i));
        if (last > gif.GlobalPaletteEntries() - 1) {
            gif.SetGlobalPaletteEntries(last + 1);
            for (int32_t i = 1; i <= gif.FramesCount(); ++i)
                if (!gif.LocalPaletteUsed(i))
                    gif.SetLocalPaletteEntries(i, gif.GlobalPaletteEntries());
        }
    }
    for (int32_t i = 1; i <= gif.FramesCount(); ++i)
        if (gif.LocalPaletteUsed(i) && gif.FrameUseTransparentColor(i) &&
            gif.FrameTransparentColorIndex(i) > gif.LocalPaletteEntries(i) - 1)
            gif.SetLocalPaletteEntries(i, gif.FrameTransparentColorIndex(i) + 1);
}

} // namespace

bool CleanupFrames(cGIF& oGIF) {
    return Guarded(false, [&] {
        DropUnusedTransparency(oGIF);
        DropHiddenDisposal(oGIF);
        // A document without frames stops here: there is no last frame.
        oGIF.SetFrameDisposalMethod(oGIF.FramesCount(), 0);
        GrowPalettesToIndices(oGIF);
        return true;
    });
}

} // namespace lumatrim::mGIFOptimizer
