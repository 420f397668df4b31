// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gifopt/frame_pair.h"

#include "gifopt/pass_support.h"

#include <cstring>

namespace lumatrim::mGIFOptimizer {

namespace {

constexpr uint64_t kTransparentFlag = uint64_t{1} << 32;

} // namespace

FramePair::Side FramePair::Make(const cGIF& gif, int32_t nFrame) {
    Side side{gif.FrameDIBXOR(nFrame).get(), FrameRect(gif, nFrame), {}};
    const ColorTable1024& table = gif.lpFramePalette(nFrame);
    for (size_t entry = 0; entry < 256; ++entry) {
        uint32_t color = 0;
        std::memcpy(&color, &table[entry * 4], 4);
        side.keys[entry] = color;
    }
    if (gif.FrameUseTransparentColor(nFrame))
        side.keys[gif.FrameTransparentColorIndex(nFrame)] |= kTransparentFlag;
    return side;
}

FramePair::FramePair(const cGIF& gif, int32_t older, int32_t newer)
    : older_(Make(gif, older)), newer_(Make(gif, newer)) {}

uint8_t* FramePair::Side::At(int32_t x, int32_t y) const {
    return Row(*surface, y - rect.top) + (x - rect.left);
}

int32_t FramePair::First(int32_t y, int32_t from, int32_t to) const {
    if (from >= to) return to;
    const uint8_t* o = older_.At(from, y);
    const uint8_t* n = newer_.At(from, y);
    for (int32_t i = 0; i < to - from; ++i)
        if (older_.keys[o[i]] != newer_.keys[n[i]]) return from + i;
    return to;
}

int32_t FramePair::Last(int32_t y, int32_t from, int32_t to) const {
    if (from >= to) return from;
    const uint8_t* o = older_.At(from, y);
    const uint8_t* n = newer_.At(from, y);
    for (int32_t i = to - from - 1; i >= 0; --i)
        if (older_.keys[o[i]] != newer_.keys[n[i]]) return from + i + 1;
    return from;
}

void FramePair::MakeRepeatsTransparent(const Rect& area, uint8_t transparent) {
    const auto color = [](uint64_t key) { return static_cast<uint32_t>(key); };
    for (int32_t y = area.top; y < area.bottom; ++y) {
        const uint8_t* o = older_.At(area.left, y);
        uint8_t* n = newer_.At(area.left, y);
        for (int32_t i = 0; i < area.right - area.left; ++i)
            if (!(older_.keys[o[i]] & kTransparentFlag) &&
                color(newer_.keys[n[i]]) == color(older_.keys[o[i]]))
                n[i] = transparent;
    }
}

} // namespace lumatrim::mGIFOptimizer
