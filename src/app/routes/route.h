// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// What every reduction route is given and what it gives back.
#pragma once

#include "app/routes/effort.h"
#include "app/routes/route_workspace.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace lumatrim {

struct RouteJob {
    std::string source;            // the list item's path; only ever read
    std::string output;            // where the reduced file goes
    std::string applicationFolder; // holds the companion programs
    int32_t quality;               // JPEG quality, 1 to 100
    // Services pending user-interface events while a companion program runs.
    std::function<void()> pumpEvents;
    // How long a companion program may run before it is stopped; none for no limit.
    std::optional<std::chrono::milliseconds> childTimeLimit;
    Effort effort; // for routes that trade time for bytes
    RouteWorkspace& workspace;
};

// A failure to show: the prompt already ends with the path it concerns.
struct RouteFailure {
    std::string prompt;
    std::string title;
};

// Empty when the output was written.
using RouteResult = std::optional<RouteFailure>;

// The title of every failure to read a source or write an output.
inline constexpr std::string_view kImageErrorTitle = "Error on image";

// Followed by the path of an output that could not be written.
inline constexpr std::string_view kCannotWriteTheFile = "Cannot write the file: ";

} // namespace lumatrim
