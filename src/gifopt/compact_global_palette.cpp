// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gifopt/gif_optimizer.h"
#include "gifopt/palette_renumbering.h"
#include "gifopt/pass_support.h"

namespace lumatrim::mGIFOptimizer {

namespace {

bool AnyFrameOnGlobal(const cGIF& gif) {
    for (int32_t i = 1; i <= gif.FramesCount(); ++i)
        if (!gif.LocalPaletteUsed(i)) return true;
    return false;
}

// The pixels of every frame on the global palette, plus the indices that must keep a colour of
// their own: the background and each transparent index in force.
IndexSet GlobalIndicesInUse(const cGIF& gif, IndexSet& referenced) {
    IndexSet used{};
    referenced[gif.ScreenBackgroundColorIndex()] = true;
    for (int32_t i = 1; i <= gif.FramesCount(); ++i) {
        if (gif.LocalPaletteUsed(i)) continue;
        MarkUsedIndices(*gif.FrameDIBXOR(i), used);
        if (gif.FrameUseTransparentColor(i)) referenced[gif.FrameTransparentColorIndex(i)] = true;
    }
    return used;
}

void MoveFrameToTable(cGIF& gif, int32_t i, const Renumbering& numbering) {
    gif.lpFramePalette(i) = numbering.table;
    gif.SetLocalPaletteEntries(i, gif.GlobalPaletteEntries());
    RenumberPixels(*gif.FrameDIBXOR(i), numbering.oldToNew);
    gif.SetFrameTransparentColorIndex(i, numbering.oldToNew[gif.FrameTransparentColorIndex(i)]);
    RefreshFrame(gif, i);
}

} // namespace

int16_t CompactGlobalPalette(cGIF& oGIF) {
    return Guarded<int16_t>(0, [&]() -> int16_t {
        if (oGIF.GlobalPaletteExists() && !AnyFrameOnGlobal(oGIF)) {
            oGIF.SetGlobalPaletteExists(false);
            oGIF.SetGlobalPaletteEntries(0);
            oGIF.lpGlobalPalette().fill(0);
        }
        if (!oGIF.GlobalPaletteExists()) return 0;

        const int32_t entries = oGIF.GlobalPaletteEntries();
        IndexSet referenced{};
        const IndexSet used = GlobalIndicesInUse(oGIF, referenced);
        // Only pixels count as uses, but a background or transparent index beyond the table
        // would have no entry to be renumbered to.
        CheckInsideTable(used, entries);
        CheckInsideTable(referenced, entries);
        const Renumbering numbering = NumberUsedEntries(used, entries, oGIF.lpGlobalPalette());
        if (numbering.kept >= entries) return 0;

        oGIF.lpGlobalPalette() = numbering.table;
        oGIF.SetGlobalPaletteEntries(numbering.Entries());
        oGIF.SetScreenBackgroundColorIndex(numbering.oldToNew[oGIF.ScreenBackgroundColorIndex()]);
        for (int32_t i = 1; i <= oGIF.FramesCount(); ++i)
            if (!oGIF.LocalPaletteUsed(i)) MoveFrameToTable(oGIF, i, numbering);
        return static_cast<int16_t>(entries - oGIF.GlobalPaletteEntries());
    });
}

} // namespace lumatrim::mGIFOptimizer
