// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// PNG files are not recompressed here: the external optimizer optipng, found in the
// application folder, rewrites a work copy in place and the result is copied out.
#pragma once

#include "app/routes/route.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace lumatrim {

inline constexpr std::string_view kPngOptimizerName = "optipng";

// Writes `output` from `source` through `optimizer`. Without a usable optimizer, or when it
// fails or makes the file larger, the output is a plain copy of the source. An optimizer that
// runs past `timeLimit` is stopped and the item fails, leaving any earlier output alone.
RouteResult ReducePngWith(const std::string& source, const std::string& output,
                          const std::string& optimizer, const std::function<void()>& pumpEvents,
                          std::optional<std::chrono::milliseconds> timeLimit);

// The route as the batch driver calls it: the optimizer from the application folder.
RouteResult ReducePng(const RouteJob& job);

} // namespace lumatrim
