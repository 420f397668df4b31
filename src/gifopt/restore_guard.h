// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// A frame with disposal 2 clears its whole rectangle to the background after it shows. Cropped,
// it clears only the smaller rectangle, and whatever was drawn in the rest would stay on the
// screen. So a crop of such a frame may leave out only points that are background on the screen
// while the frame shows.
#pragma once

#include "gif/gif.h"
#include "gifopt/frame_removal.h"

namespace lumatrim::mGIFOptimizer {

// Grows the planned crop of every frame with disposal 2 to hold each point of its rectangle that
// is drawn on the screen while it shows. `frames` holds one entry per frame of `gif`, in screen
// coordinates, or in each frame's own when `frameCoordinates`. Where the screen is too large to
// play, such frames stay whole.
void KeepClearedPoints(const cGIF& gif, FrameKeep& frames, bool frameCoordinates);

} // namespace lumatrim::mGIFOptimizer
