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

constexpr uint64_t kMaxFramePixels = uint64_t{1} << 24;
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
    // The rebuild and the two timelines cost a screen's pixels for every frame, linearly (a
    // 256 x 27307 screen of 13 frames: 0.7 s in a release build, 14 s instrumented, past the
    // hang limit); the benchmarks time that. Here larger animations are passed over so the
    // fuzzer's time goes to the inputs' variety.
    const uint64_t screenPixels =
        uint64_t(uint16_t(gif.ScreenWidth())) * uint16_t(gif.ScreenHeight());
    if (screenPixels * uint64_t(gif.FramesCount()) > kMaxFramePixels) return 0;
    const auto before = Timeline(gif);
    if (!RebuildFrames(gif)) return 0;
    if (Timeline(gif) != before) __builtin_trap();
    const std::vector<uint8_t> saved = gif.SaveToMemory(LzwEffort::BestPolicy);
    cGIF again;
    if (saved.empty() || !again.LoadFromStream(saved)) __builtin_trap();
    return 0;
}
