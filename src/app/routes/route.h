// What every reduction route is given and what it gives back.
#pragma once

#include "app/batch/batch_host.h"
#include "app/routes/route_workspace.h"

#include <optional>
#include <string>

namespace lumatrim {

struct RouteJob {
    std::string source;            // the list item's path; only ever read
    std::string output;            // where the reduced file goes
    std::string applicationFolder; // holds the companion programs
    BatchHost& host;
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
