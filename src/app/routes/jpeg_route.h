// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// JPEG files are decoded and encoded again at the run's quality, where a JPEG's size is won;
// their own coefficients rewritten losslessly are the alternative that changes nothing.
#pragma once

#include "app/routes/route.h"

#include <string_view>

namespace lumatrim {

// Followed by the decoder's words, ").." and the path, for a file with corrupt or missing data.
inline constexpr std::string_view kDamagedImage = "Damaged image, not reduced (";

RouteResult ReduceJpeg(const RouteJob& job);

} // namespace lumatrim
