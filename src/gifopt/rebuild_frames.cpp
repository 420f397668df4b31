// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The rebuild from the composited animation: play the document, plan frames from the pictures
// (FramePlanner), give them tables of their own (PlanPalette), decide the points that may be
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
#include <optional>

namespace lumatrim::mGIFOptimizer {

namespace {

// Every frame inside the screen, and no frame waiting for user input: what a browser shows is
// then the composited screen alone.
bool Rebuildable(const cGIF& gif) {
    if (gif.FramesCount() < 2 || gif.ScreenWidth() <= 0 || gif.ScreenHeight() <= 0 ||
        int64_t{gif.ScreenWidth()} * gif.ScreenHeight() > ScreenPlayback::kMaxPoints)
        return false;
    const Rect screen{0, 0, gif.ScreenWidth(), gif.ScreenHeight()};
    for (int32_t n = 1; n <= gif.FramesCount(); ++n) {
        const Rect frame = FrameRect(gif, n);
        if (gif.FrameUserInput(n) || frame.Empty() || Intersect(frame, screen) != frame)
            return false;
    }
    return true;
}

std::vector<PlannedFrame> PlanFrames(const cGIF& gif) {
    ScreenPlayback screen(gif);
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

// The frame's indices in its table. A frame whose table has no index for transparency draws
// every point that may be transparent, and fails (empty pixels) when a point must be.
FramePixels Resolve(const PlannedFrame& frame, const PlannedTable& table, LzwRunChooser& chooser) {
    FramePixels out;
    out.transparent = table.transparent >= 0 ? table.transparent : FreeIndex(frame, table);
    std::vector<uint8_t> free(frame.points.size());
    out.pixels.resize(frame.points.size());
    uint8_t all = 0;
    for (size_t i = 0; i < frame.points.size(); ++i) {
        const uint32_t point = frame.points[i];
        if (point == kClear && out.transparent < 0) return {};
        out.pixels[i] = point == kClear ? static_cast<uint8_t>(out.transparent)
                                        : static_cast<uint8_t>(table.index.Find(point & kColour));
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

void SetGlobalTable(cGIF& gif, const PlannedPalette& palette) {
    gif.SetGlobalPaletteExists(palette.global);
    gif.SetGlobalPaletteSorted(false);
    gif.SetGlobalPaletteEntries(palette.global ? palette.shared.entries : 0);
    gif.lpGlobalPalette() = palette.global ? palette.shared.table : ColorTable1024{};
    gif.SetScreenBackgroundColorIndex(palette.global ? std::max(palette.shared.transparent, 0) : 0);
}

void AppendFrame(cGIF& gif, const PlannedFrame& frame, const FramePixels& pixels,
                 const PlannedTable& table, bool local) {
    const Rect& r = frame.rect;
    const int32_t n = gif.FramesCount() + 1;
    gif.FrameInsert(n, r.right - r.left, r.bottom - r.top, !local);
    if (local) {
        gif.SetLocalPaletteEntries(n, table.entries);
        gif.lpFramePalette(n) = table.table;
    }
    gif.SetFrameLeft(n, r.left);
    gif.SetFrameTop(n, r.top);
    gif.SetFrameDelay(n, frame.delay);
    gif.SetFrameDisposalMethod(n, frame.disposal);
    gif.SetFrameUseTransparentColor(n, pixels.transparent >= 0);
    gif.SetFrameTransparentColorIndex(n, std::max(pixels.transparent, 0));
    cDIB& surface = *gif.FrameDIBXOR(n);
    const auto width = static_cast<size_t>(surface.Width());
    for (int32_t y = 0; y < surface.Height(); ++y)
        std::memcpy(Row(surface, y), pixels.pixels.data() + y * width, width);
    RefreshFrame(gif, n);
}

void ReplaceFrames(cGIF& gif, const std::vector<PlannedFrame>& frames,
                   const std::vector<FramePixels>& pixels, const PlannedPalette& palette) {
    const int32_t old = gif.FramesCount();
    SetGlobalTable(gif, palette);
    for (size_t f = 0; f < frames.size(); ++f)
        AppendFrame(gif, frames[f], pixels[f], palette.For(f), !palette.global);
    for (int32_t n = 0; n < old; ++n)
        gif.FrameRemove(1);
}

} // namespace

bool RebuildFrames(cGIF& oGIF) {
    return Guarded(false, [&] {
        if (!Rebuildable(oGIF)) return false;
        const std::vector<PlannedFrame> frames = PlanFrames(oGIF);
        const std::optional<PlannedPalette> palette = PlanPalette(frames);
        if (!palette) return false;
        LzwRunChooser chooser;
        std::vector<FramePixels> pixels;
        for (size_t f = 0; f < frames.size(); ++f) {
            pixels.push_back(Resolve(frames[f], palette->For(f), chooser));
            if (pixels.back().pixels.empty()) return false;
        }
        const std::vector<uint8_t> before = oGIF.SaveToMemory();
        if (before.empty()) return false;
        ReplaceFrames(oGIF, frames, pixels, *palette);
        if (oGIF.SaveToMemory().size() < before.size()) return true;
        oGIF.LoadFromStream(before);
        return false;
    });
}

} // namespace lumatrim::mGIFOptimizer
