// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Merging local palettes into the global palette. Global entries never move, so frames already
// on the global palette keep their pixels; a frame's colours are matched one to one, so two
// local entries of the same colour (the transparent one among them) never share an index.
#include "gifopt/gif_optimizer.h"
#include "gifopt/palette_renumbering.h"
#include "gifopt/pass_support.h"

#include <algorithm>
#include <cstring>

namespace lumatrim::mGIFOptimizer {

namespace {

using Colors = std::array<uint32_t, 256>; // whole entries: blue, green, red and the fourth byte

Colors ToColors(const ColorTable1024& table) {
    Colors colors{};
    std::memcpy(colors.data(), table.data(), table.size());
    return colors;
}

ColorTable1024 ToTable(const Colors& colors) {
    ColorTable1024 table{};
    std::memcpy(table.data(), colors.data(), table.size());
    return table;
}

struct GlobalColors {
    Colors colors{};
    size_t count = 0;
};

// A frame whose pixels or transparent index reach beyond its table has no colour to merge
// them by; it keeps its local palette rather than end up half merged.
bool FitsItsTable(const cGIF& gif, int32_t nFrame, int32_t entries) {
    IndexSet used{};
    MarkUsedIndices(*gif.FrameDIBXOR(nFrame), used);
    if (gif.FrameUseTransparentColor(nFrame)) used[gif.FrameTransparentColorIndex(nFrame)] = true;
    return std::none_of(used.begin() + std::clamp(entries, 0, 256), used.end(),
                        [](bool u) { return u; });
}

// The global index of every local entry already in the global palette; the count matched.
size_t MatchColors(const Colors& local, size_t entries, const GlobalColors& global,
                   std::array<uint8_t, 256>& map, std::array<bool, 256>& matched) {
    std::array<bool, 256> taken{};
    size_t count = 0;
    for (size_t b = 0; b < entries; ++b) {
        for (size_t j = 0; j < global.count; ++j) {
            if (taken[j] || local[b] != global.colors[j]) continue;
            taken[j] = matched[b] = true;
            map[b] = static_cast<uint8_t>(j);
            ++count;
            break;
        }
    }
    return count;
}

bool MergeFrame(cGIF& gif, int32_t nFrame, GlobalColors& global) {
    const int32_t declared = gif.LocalPaletteEntries(nFrame);
    if (declared < 0 || !FitsItsTable(gif, nFrame, declared)) return false;
    const auto entries = static_cast<size_t>(std::min(declared, 256));
    const Colors local = ToColors(gif.lpFramePalette(nFrame));
    std::array<uint8_t, 256> map{};
    std::array<bool, 256> matched{};
    const size_t matchedCount = MatchColors(local, entries, global, map, matched);
    if (256 - global.count < entries - matchedCount) return false;

    gif.SetLocalPaletteUsed(nFrame, false);
    for (size_t b = 0; b < entries; ++b) {
        if (matched[b]) continue;
        global.colors[global.count] = local[b];
        map[b] = static_cast<uint8_t>(global.count++);
    }
    RenumberPixels(*gif.FrameDIBXOR(nFrame), map);
    gif.SetFrameTransparentColorIndex(nFrame, map[gif.FrameTransparentColorIndex(nFrame)]);
    gif.SetGlobalPaletteEntries(static_cast<int32_t>(global.count));
    gif.SetGlobalPaletteExists(true);
    gif.lpGlobalPalette() = ToTable(global.colors);
    return true;
}

} // namespace

int16_t MergeLocalPalettes(cGIF& oGIF) {
    int16_t merged = 0;
    Guarded(false, [&] {
        GlobalColors global;
        if (oGIF.GlobalPaletteExists()) {
            global.colors = ToColors(oGIF.lpGlobalPalette());
            global.count =
                static_cast<size_t>(std::clamp<int32_t>(oGIF.GlobalPaletteEntries(), 0, 256));
        }
        for (int32_t a = 1; a <= oGIF.FramesCount(); ++a)
            if (oGIF.LocalPaletteUsed(a) && MergeFrame(oGIF, a, global)) ++merged;
        if (merged == 0) return true;
        for (int32_t i = 1; i <= oGIF.FramesCount(); ++i) {
            if (oGIF.LocalPaletteUsed(i)) continue;
            oGIF.SetLocalPaletteEntries(i, oGIF.GlobalPaletteEntries());
            oGIF.lpFramePalette(i) = oGIF.lpGlobalPalette();
            RefreshFrame(oGIF, i);
        }
        return true;
    });
    return merged;
}

} // namespace lumatrim::mGIFOptimizer
