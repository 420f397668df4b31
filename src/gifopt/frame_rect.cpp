// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gifopt/frame_rect.h"

#include "imaging/errors.h"

#include <limits>

namespace lumatrim::mGIFOptimizer {

namespace {

int32_t CheckedEdge(int64_t edge) {
    if (edge > std::numeric_limits<int32_t>::max() || edge < std::numeric_limits<int32_t>::min())
        throw OverflowError("frame edge does not fit 32 bits");
    return static_cast<int32_t>(edge);
}

} // namespace

Rect FrameRect(const cGIF& gif, int32_t nFrame) {
    const auto surface = gif.FrameDIBXOR(nFrame);
    const int32_t left = gif.FrameLeft(nFrame);
    const int32_t top = gif.FrameTop(nFrame);
    return {left, top, CheckedEdge(int64_t{left} + surface->Width()),
            CheckedEdge(int64_t{top} + surface->Height())};
}

Rect WholeRect(const cGIF& gif, int32_t nFrame) {
    const auto surface = gif.FrameDIBXOR(nFrame);
    return {0, 0, surface->Width(), surface->Height()};
}

} // namespace lumatrim::mGIFOptimizer
