// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The rebuild from the composited animation: play the document, plan frames from the pictures
// (FramePlanner), give them a table of their own (OrderPalette), decide the points that may be
// transparent (LzwRunChooser), and put the new frames in place of the old ones when the file
// comes out smaller.
#include "gifopt/frame_planner.h"
#include "gifopt/gif_optimizer.h"
#include "gifopt/lzw_run_chooser.h"
#include "gifopt/pass_support.h"
#include "gifopt/planned_palette.h"
#include "gifopt/screen_playback.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace lumatrim::mGIFOptimizer {

namespace {

// Every frame on the global table, inside the screen, and no frame waiting for user input:
// what a browser shows is then the composited screen alone.
bool Rebuildable(const cGIF& gif) {
    if (gif.FramesCount() < 2 || !gif.GlobalPaletteExists() || gif.ScreenWidth() <= 0 ||
        gif.ScreenHeight() <= 0 ||
        int64_t{gif.ScreenWidth()} * gif.ScreenHeight() > ScreenPlayback::kMaxPoints)
        return false;
    const Rect screen{0, 0, gif.ScreenWidth(), gif.ScreenHeight()};
    for (int32_t n = 1; n <= gif.FramesCount(); ++n) {
        const Rect frame = FrameRect(gif, n);
        if (gif.LocalPaletteUsed(n) || gif.FrameUserInput(n) || frame.Empty() ||
            Intersect(frame, screen) != frame)
            return false;
    }
    return true;
}

// Entries of the same colour play as the first of them, so equal pictures compare equal.
std::array<uint32_t, 256> FirstOfEachColour(const cGIF& gif) {
    std::array<uint32_t, 256> first{};
    const int32_t entries = std::clamp<int32_t>(gif.GlobalPaletteEntries(), 0, 256);
    for (int32_t i = 0; i < 256; ++i) {
        first[i] = static_cast<uint32_t>(i);
        for (int32_t j = 0; j < std::min(i, entries) && i < entries; ++j)
            if (gif.GlobalPaletteColor(static_cast<uint8_t>(j)) ==
                gif.GlobalPaletteColor(static_cast<uint8_t>(i))) {
                first[i] = static_cast<uint32_t>(j);
                break;
            }
    }
    return first;
}

std::vector<PlannedFrame> PlanFrames(const cGIF& gif) {
    const std::array<uint32_t, 256> entries = FirstOfEachColour(gif);
    ScreenPlayback screen(gif, entries);
    FramePlanner planner(screen.Width(), screen.Height());
    for (int32_t n = 1; n <= gif.FramesCount(); ++n) {
        screen.Dispose();
        screen.Draw(n);
        planner.Add(screen.Points(), gif.FrameDelay(n));
    }
    return planner.Finish();
}

struct FramePixels {
    std::vector<uint8_t> pixels;
    int32_t transparent = -1;
};

// The frame's indices in the new table. A frame that draws all 256 colours has no index for
// transparency: it draws every point that may be transparent, and fails (empty pixels) when a
// point must be.
FramePixels Resolve(const PlannedFrame& frame, const PlannedPalette& palette,
                    LzwRunChooser& chooser) {
    FramePixels out;
    out.transparent = palette.transparent >= 0 ? palette.transparent : FreeIndex(frame, palette);
    std::vector<uint8_t> free(frame.points.size());
    out.pixels.resize(frame.points.size());
    uint8_t all = 0;
    for (size_t i = 0; i < frame.points.size(); ++i) {
        const uint16_t point = frame.points[i];
        if (point == kClear && out.transparent < 0) return {};
        out.pixels[i] =
            point == kClear ? static_cast<uint8_t>(out.transparent) : palette.index[point & 0xFF];
        free[i] = (point & kMayClear) && out.transparent >= 0;
        all |= out.pixels[i];
    }
    if (out.transparent < 0) return out;
    all |= static_cast<uint8_t>(out.transparent);
    chooser.Choose(out.pixels, free, static_cast<uint8_t>(out.transparent),
                   std::max(2, static_cast<int>(std::bit_width(all))));
    // No colour has the transparent index, so a frame without it has no use for transparency.
    if (std::find(out.pixels.begin(), out.pixels.end(), out.transparent) == out.pixels.end())
        out.transparent = -1;
    return out;
}

void ReplaceFrames(cGIF& gif, const std::vector<PlannedFrame>& frames,
                   const std::vector<FramePixels>& pixels, const PlannedPalette& palette) {
    const int32_t old = gif.FramesCount();
    gif.SetGlobalPaletteEntries(palette.entries);
    gif.SetGlobalPaletteSorted(false);
    gif.lpGlobalPalette() = palette.table;
    gif.SetScreenBackgroundColorIndex(std::max(palette.transparent, 0));
    for (size_t f = 0; f < frames.size(); ++f) {
        const Rect& r = frames[f].rect;
        const int32_t n = gif.FramesCount() + 1;
        gif.FrameInsert(n, r.right - r.left, r.bottom - r.top, true);
        gif.SetFrameLeft(n, r.left);
        gif.SetFrameTop(n, r.top);
        gif.SetFrameDelay(n, frames[f].delay);
        gif.SetFrameDisposalMethod(n, frames[f].disposal);
        gif.SetFrameUseTransparentColor(n, pixels[f].transparent >= 0);
        gif.SetFrameTransparentColorIndex(n, std::max(pixels[f].transparent, 0));
        cDIB& surface = *gif.FrameDIBXOR(n);
        const auto width = static_cast<size_t>(surface.Width());
        for (int32_t y = 0; y < surface.Height(); ++y)
            std::memcpy(Row(surface, y), pixels[f].pixels.data() + y * width, width);
        RefreshFrame(gif, n);
    }
    for (int32_t n = 0; n < old; ++n)
        gif.FrameRemove(1);
}

} // namespace

bool RebuildFrames(cGIF& oGIF) {
    return Guarded(false, [&] {
        if (!Rebuildable(oGIF)) return false;
        const std::vector<PlannedFrame> frames = PlanFrames(oGIF);
        const PlannedPalette palette = OrderPalette(frames, oGIF.lpGlobalPalette());
        LzwRunChooser chooser;
        std::vector<FramePixels> pixels;
        for (const PlannedFrame& frame : frames) {
            pixels.push_back(Resolve(frame, palette, chooser));
            if (pixels.back().pixels.empty()) return false;
        }
        const std::vector<uint8_t> before = oGIF.SaveToMemory();
        if (before.empty()) return false;
        ReplaceFrames(oGIF, frames, pixels, palette);
        if (oGIF.SaveToMemory().size() < before.size()) return true;
        oGIF.LoadFromStream(before);
        return false;
    });
}

} // namespace lumatrim::mGIFOptimizer
