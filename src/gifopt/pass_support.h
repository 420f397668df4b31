// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// What the optimizer passes share: the error guard, row access to frame pixels, and the
// refresh that keeps a changed frame ready to be drawn.
#pragma once

#include "gif/gif.h"
#include "imaging/errors.h"

#include <cstddef>
#include <cstdint>
#include <new>

namespace lumatrim::mGIFOptimizer {

// Runs one pass, or one step of the pipeline: the typed errors end it and give `failed`.
// What the pass changed before the error stays.
template <typename Result, typename Body> Result Guarded(Result failed, Body&& body) {
    try {
        return body();
    } catch (const IndexOutOfRangeError&) {
    } catch (const OverflowError&) {
    } catch (const std::bad_alloc&) {
    }
    return failed;
}

inline uint8_t* Row(cDIB& surface, int32_t y) {
    return surface.lpBits() + static_cast<ptrdiff_t>(y) * surface.BytesPerScanline();
}

inline const uint8_t* Row(const cDIB& surface, int32_t y) {
    return surface.lpBits() + static_cast<ptrdiff_t>(y) * surface.BytesPerScanline();
}

// Disposal methods 2 (restore to background) and 3 (restore to previous) clear the frame's area
// again, so a later frame cannot rely on what it showed.
inline bool Restores(int32_t disposal) {
    return disposal == 2 || disposal == 3;
}

// Rebuilds the mask and gives the index surface the frame's table with the transparent entry
// black, as drawing needs after the pixels, the table or the size changed.
inline void RefreshFrame(cGIF& gif, int32_t nFrame) {
    gif.FrameMask(nFrame, gif.FrameTransparentColorIndex(nFrame));
}

} // namespace lumatrim::mGIFOptimizer
