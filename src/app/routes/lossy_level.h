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
// time for GIF) a lossy result must keep to be offered: 0.9985 at level 1 down to 0.85 at
// level 100, 0.88 at the default. On the public corpus the default keeps the mean likeness of
// the GIFs within 0.0005 of gifsicle --lossy=80's in fewer bytes; a floor of 0.856 lost 0.003.
inline double LikenessFloor(int32_t level) {
    return 1.0 - 0.0015 * static_cast<double>(level);
}

} // namespace lumatrim
