// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gifopt/gif_optimizer.h"
#include "gifopt/palette_renumbering.h"
#include "gifopt/pass_support.h"

namespace lumatrim::mGIFOptimizer {

int16_t CompactLocalPalette(cGIF& oGIF, int32_t nFrame) {
    return Guarded<int16_t>(0, [&]() -> int16_t {
        if (!oGIF.LocalPaletteUsed(nFrame)) return 0;
        const int32_t entries = oGIF.LocalPaletteEntries(nFrame);
        IndexSet used{};
        MarkUsedIndices(*oGIF.FrameDIBXOR(nFrame), used);
        CheckInsideTable(used, entries);
        if (oGIF.FrameUseTransparentColor(nFrame)) {
            IndexSet transparent{};
            transparent[oGIF.FrameTransparentColorIndex(nFrame)] = true;
            CheckInsideTable(transparent, entries);
        }
        const Renumbering numbering = NumberUsedEntries(used, entries, oGIF.lpFramePalette(nFrame));
        if (numbering.kept >= entries) return 0;

        oGIF.lpFramePalette(nFrame) = numbering.table;
        oGIF.SetLocalPaletteEntries(nFrame, numbering.Entries());
        RenumberPixels(*oGIF.FrameDIBXOR(nFrame), numbering.oldToNew);
        oGIF.SetFrameTransparentColorIndex(
            nFrame, numbering.oldToNew[oGIF.FrameTransparentColorIndex(nFrame)]);
        RefreshFrame(oGIF, nFrame);
        return static_cast<int16_t>(entries - oGIF.LocalPaletteEntries(nFrame));
    });
}

} // namespace lumatrim::mGIFOptimizer
