// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// How far a lossy PNG or GIF may stray from its source: 1 strays least, 100 most. A bare
// `--lossy` and the window's check box use the default.
#pragma once

#include <cstdint>

namespace lumatrim {

inline constexpr int32_t kMinLossyLevel = 1;
inline constexpr int32_t kMaxLossyLevel = 100;
inline constexpr int32_t kDefaultLossyLevel = 80;

// The least likeness (LikenessMeter: luma SSIM over white and over black, over an animation's
// time for GIF) a lossy result must keep to be offered: 0.998 at level 1 down to 0.82 at
// level 100 (0.856 at the default, about what gifsicle --lossy=80 and pngquant --quality
// 65-90 keep on the largest photographic files of the public corpus).
inline double LikenessFloor(int32_t level) {
    return 1.0 - 0.0018 * static_cast<double>(level);
}

} // namespace lumatrim
