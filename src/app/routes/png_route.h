// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// PNG files are rewritten by our own optimizer (src/png) as the route's lossless candidate. The
// external optimizer optipng, found in the application folder, rewrites a work copy in place
// for every file ours declines (damaged, or with a chunk it cannot carry over); its copy is then
// the route's reduced candidate, and its refusal tells damage.
#pragma once

#include "app/routes/route.h"

#include <chrono>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace lumatrim {

inline constexpr std::string_view kPngOptimizerName = "optipng";
inline constexpr std::string_view kOptimizerStopped = "The PNG optimizer was stopped: ";
// The note, followed by the path, for a source the optimizer refuses to read.
inline constexpr std::string_view kPngDamaged =
    "Damaged PNG file (the PNG optimizer cannot read it); the output is a copy of it: ";

// The optimizer's rewrite of `source` as the candidate for `output`; none when there is no
// usable optimizer or it fails, so the source is kept. When it fails by refusing the file (it
// still refuses to read the source alone, writing nothing), the source is reported damaged:
// a browser may show part of such a file, and a copy changes nothing of that. An optimizer that
// runs past `timeLimit` is stopped and the item fails; one still running when `stop` is requested
// is ended.
RouteResult ReducePngWith(const std::string& source, const std::string& output,
                          const std::string& optimizer, const std::function<void()>& pumpEvents,
                          std::optional<std::chrono::milliseconds> timeLimit,
                          std::stop_token stop = {});

// The route as the batch driver calls it: our rewrite as the lossless candidate; for a file our
// optimizer declines, optipng's from the application folder, with its damage handling.
RouteResult ReducePng(const RouteJob& job);

} // namespace lumatrim
