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

} // namespace lumatrim
