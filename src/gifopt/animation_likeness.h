// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// How alike two GIF documents look over the animation's time: both are played on their
// logical screens as a browser plays them, and the likeness of the two screens (LikenessMeter:
// luma SSIM over white and over black, the untouched background transparent) is averaged over
// the time each pair of pictures shows, with delays as browsers count them. The two may split
// their time into different frames (an optimized file joins and crops frames); only the
// pictures at each moment count.
#pragma once

#include "gif/gif.h"

namespace lumatrim::mGIFOptimizer {

// 1 for documents that show the same; 0 for screens of different sizes or ones too large to
// play.
double AnimationLikeness(const cGIF& a, const cGIF& b);

} // namespace lumatrim::mGIFOptimizer
