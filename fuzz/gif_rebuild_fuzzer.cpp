// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Loads arbitrary bytes as a GIF and rebuilds its frames from the composited animation. Beyond
// "no crash": a rebuilt document must show the same pictures for the same time as before (as a
// browser plays it), and must save to bytes that load again.
#include "gif/gif.h"
#include "gifopt/frame_removal.h"
#include "gifopt/gif_optimizer.h"
#include "gifopt/screen_playback.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

using namespace lumatrim;
using namespace lumatrim::mGIFOptimizer;

// Each displayed picture with the time a browser shows it, equal neighbours joined; empty when
// the screen is too large to play.
std::vector<std::pair<std::vector<uint32_t>, int32_t>> Timeline(const cGIF& gif) {
    std::vector<std::pair<std::vector<uint32_t>, int32_t>> shown;
    ScreenPlayback screen(gif);
    if (!screen.Playable()) return shown;
    for (int32_t n = 1; n <= gif.FramesCount(); ++n) {
        screen.Dispose();
        screen.Draw(n);
        const int32_t delay = ShownDelay(gif.FrameDelay(n));
        if (!shown.empty() && shown.back().first == screen.Points())
            shown.back().second += delay;
        else
            shown.emplace_back(screen.Points(), delay);
    }
    return shown;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    cGIF gif;
    if (!gif.LoadFromStream({data, size})) return 0;
    const auto before = Timeline(gif);
    if (!RebuildFrames(gif)) return 0;
    if (Timeline(gif) != before) __builtin_trap();
    const std::vector<uint8_t> saved = gif.SaveToMemory(LzwEffort::BestPolicy);
    cGIF again;
    if (saved.empty() || !again.LoadFromStream(saved)) __builtin_trap();
    return 0;
}
