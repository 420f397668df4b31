// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// What every reduction route is given and what it gives back. A route only reads its source and
// makes candidates; the driver decides which one becomes the output and writes it.
#pragma once

#include "app/platform/work_file.h"
#include "app/routes/effort.h"
#include "app/routes/route_workspace.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

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
    Effort effort;        // for routes that trade time for bytes
    std::stop_token stop; // a companion program is ended when the run is asked to stop
    RouteWorkspace& workspace;
    // Lossy PNG and GIF at this level, 1 to 100; none for lossless.
    std::optional<int32_t> lossy = std::nullopt;
    bool keepMetadata = false; // keep EXIF, XMP, text chunks and comments
};

// A failure to show: the prompt already ends with the path it concerns.
struct RouteFailure {
    std::string prompt;
    std::string title;
    bool damaged = false; // the source was refused because its data is damaged
};

// The content of a file a route made: in memory, or a finished work file (an optimizer's).
struct Candidate {
    std::vector<uint8_t> bytes;
    std::shared_ptr<const WorkFile> workFile; // when set, the content; `bytes` is then empty

    // None when the work file can no longer be measured.
    std::optional<uintmax_t> Size() const;
};

// What a route offers for its source. The driver writes the smallest of `reduced`, `lossless`,
// `lossy` and a byte copy of the source.
struct RouteProduct {
    std::optional<Candidate> reduced;  // the route's own result
    std::optional<Candidate> lossless; // the same picture in other bytes, where the route has one
    // Other pixels in fewer bytes, offered only when the job asks for lossy results and the
    // route's likeness check passed.
    std::optional<Candidate> lossy;
    // Shown when the output cannot be written; each route keeps its own words for it.
    RouteFailure writeFailure;
    // Why the route offers nothing but the source, or what damage it found in it (reported with
    // the item, not as a failure).
    std::optional<std::string> note;
    bool damaged = false; // the source is damaged; the candidates hold what could be read of it
};

using RouteResult = std::variant<RouteProduct, RouteFailure>;

// The title of every failure to read a source or write an output.
inline constexpr std::string_view kImageErrorTitle = "Error on image";
// The title of the note shown for a source found damaged that still gave an output.
inline constexpr std::string_view kDamagedImageTitle = "Damaged image";

// Followed by the path of an output that could not be written.
inline constexpr std::string_view kCannotWriteTheFile = "Cannot write the file: ";

// The failure most routes show when their output cannot be written.
inline RouteFailure CannotWrite(const std::string& output) {
    return {std::string(kCannotWriteTheFile) + output, std::string(kImageErrorTitle)};
}

} // namespace lumatrim
