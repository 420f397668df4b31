// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Small GIF documents built in memory, and what a viewer would show of them.
#pragma once

#include "gif/gif.h"
#include "gif/gif_builder.h"

#include <cstring>
#include <map>
#include <utility>
#include <vector>

namespace lumatrim::test {

// Entries 0..entries-1 all differ; `shade` tells tables apart.
inline void FillTable(ColorTable1024& table, int32_t entries, uint8_t shade = 0) {
    table.fill(0);
    for (int32_t i = 0; i < entries; ++i) {
        table[4 * i] = static_cast<uint8_t>(i);
        table[4 * i + 1] = shade;
        table[4 * i + 2] = static_cast<uint8_t>(255 - i);
    }
}

inline void SetGlobal(cGIF& gif, int32_t entries) {
    gif.SetGlobalPaletteExists(true);
    gif.SetGlobalPaletteEntries(entries);
    FillTable(gif.lpGlobalPalette(), entries);
}

inline void SetPixels(cGIF& gif, int32_t n, const std::vector<uint8_t>& pixels) {
    cDIB& dib = *gif.FrameDIBXOR(n);
    for (int32_t y = 0; y < dib.Height(); ++y)
        std::memcpy(dib.lpBits() + y * dib.BytesPerScanline(), &pixels[size_t(y * dib.Width())],
                    size_t(dib.Width()));
}

// Appends a frame on the global palette (or a local one of `localEntries` colours).
inline int32_t AddFrame(cGIF& gif, int32_t w, int32_t h, const std::vector<uint8_t>& pixels,
                        int32_t left = 0, int32_t top = 0, int32_t localEntries = 0) {
    const int32_t n = gif.FramesCount() + 1;
    gif.FrameInsert(n, w, h, localEntries == 0);
    gif.SetFrameLeft(n, left);
    gif.SetFrameTop(n, top);
    if (localEntries) {
        gif.SetLocalPaletteEntries(n, localEntries);
        FillTable(gif.lpFramePalette(n), localEntries, static_cast<uint8_t>(n));
    }
    SetPixels(gif, n, pixels);
    return n;
}

inline std::vector<uint8_t> Filled(int32_t w, int32_t h, uint8_t value) {
    return std::vector<uint8_t>(size_t(w * h), value);
}

// Frame n's line of Describe.
inline std::string Frame(const cGIF& gif, int32_t n) {
    return Describe(gif).at(size_t(n));
}

inline void SetTransparent(cGIF& gif, int32_t n, uint8_t index) {
    gif.SetFrameUseTransparentColor(n, true);
    gif.SetFrameTransparentColorIndex(n, index);
}

// Each displayed screen (colour entries; 0xFF000000 for a transparent point) with its delay,
// identical neighbours joined: what a browser shows, frame by frame, a delay of 0 or 1
// hundredths lasting 10.
inline std::vector<std::pair<std::vector<uint32_t>, int32_t>> Timeline(const cGIF& gif) {
    const int32_t width = gif.ScreenWidth();
    std::vector<uint32_t> screen(size_t(width * gif.ScreenHeight()), 0xFF000000);
    std::vector<std::pair<std::vector<uint32_t>, int32_t>> shown;
    for (int32_t n = 1; n <= gif.FramesCount(); ++n) {
        const std::vector<uint32_t> before = screen;
        const cDIB& dib = *gif.FrameDIBXOR(n);
        const auto& table = gif.lpFramePalette(n);
        std::vector<size_t> area;
        for (int32_t y = 0; y < dib.Height(); ++y)
            for (int32_t x = 0; x < dib.Width(); ++x) {
                const int32_t sx = gif.FrameLeft(n) + x, sy = gif.FrameTop(n) + y;
                if (sx < 0 || sy < 0 || sx >= width || sy >= gif.ScreenHeight()) continue;
                area.push_back(size_t(sy * width + sx));
                const uint8_t p = dib.lpBits()[y * dib.BytesPerScanline() + x];
                if (gif.FrameUseTransparentColor(n) && p == gif.FrameTransparentColorIndex(n))
                    continue;
                std::memcpy(&screen[area.back()], &table[size_t(p) * 4], 4);
            }
        const int32_t delay = gif.FrameDelay(n) <= 1 ? 10 : gif.FrameDelay(n);
        if (!shown.empty() && shown.back().first == screen)
            shown.back().second += delay;
        else
            shown.emplace_back(screen, delay);
        if (gif.FrameDisposalMethod(n) == 3) screen = before;
        for (const size_t at : area)
            if (gif.FrameDisposalMethod(n) == 2) screen[at] = 0xFF000000;
    }
    return shown;
}

} // namespace lumatrim::test
