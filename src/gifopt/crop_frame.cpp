// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Frame crop. Everything that can fail is settled before the frame changes: the rectangle must
// lie inside the frame and the moved position must fit 16 bits, or the frame stays as it was.
#include "gifopt/gif_optimizer.h"
#include "gifopt/pass_support.h"

#include <cstring>
#include <limits>

namespace lumatrim::mGIFOptimizer {

namespace {

void CheckInside(const cDIB& surface, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (left < 0 || left >= right || right > surface.Width() || top < 0 || top >= bottom ||
        bottom > surface.Height())
        throw IndexOutOfRangeError("crop rectangle outside the frame");
}

int16_t MovedCoordinate(int32_t position, int32_t offset) {
    const int32_t moved = position + offset;
    if (moved > std::numeric_limits<int16_t>::max())
        throw OverflowError("frame position does not fit 16 bits");
    return static_cast<int16_t>(moved);
}

} // namespace

bool CropFrame(cGIF& oGIF, int32_t nFrame, int32_t Left, int32_t Top, int32_t Right,
               int32_t Bottom) {
    return Guarded(false, [&] {
        cDIB& surface = *oGIF.FrameDIBXOR(nFrame);
        CheckInside(surface, Left, Top, Right, Bottom);
        const int16_t newLeft = MovedCoordinate(oGIF.FrameLeft(nFrame), Left);
        const int16_t newTop = MovedCoordinate(oGIF.FrameTop(nFrame), Top);

        cDIB kept;
        if (!kept.Create(Right - Left, Bottom - Top, 8)) return false;
        for (int32_t y = Top; y < Bottom; ++y)
            std::memcpy(Row(kept, y - Top), Row(surface, y) + Left,
                        static_cast<size_t>(kept.Width()));
        kept.CloneTo(surface);
        oGIF.FrameDIBAND(nFrame)->Create(kept.Width(), kept.Height(), 1);
        oGIF.SetFrameLeft(nFrame, newLeft);
        oGIF.SetFrameTop(nFrame, newTop);
        // The mask is made again from the pixels rather than left blank at the new size.
        RefreshFrame(oGIF, nFrame);
        return true;
    });
}

} // namespace lumatrim::mGIFOptimizer
