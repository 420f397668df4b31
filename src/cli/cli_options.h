// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The command line of lumatrim-batch:
//     lumatrim-batch [-q|--quality N] [-j|--jobs N] [--timeout SECONDS] [--effort LEVEL]
//                    [--allow-larger] [--lossy[=N]] [--keep-metadata] [-p|--preserve-times]
//                    [--json] [--shard K/N] [--output-dir DIR] [--] PATH...
#pragma once

#include "app/batch/batch_host.h"
#include "app/batch/parallel_batch.h"
#include "app/batch/path_list.h"
#include "app/batch/shard.h"
#include "app/routes/lossy_level.h"

#include <chrono>
#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace lumatrim {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitItemFailed = 1;
inline constexpr int kExitUsage = 2;

// A path argument that stands for the paths read from standard input.
inline constexpr std::string_view kStandardInputPath = "-";

struct CliOptions {
    int32_t quality = 85;
    unsigned jobs = DefaultJobCount(); // files reduced at once
    // How long a companion program may take on one file; 0 is no limit.
    double timeoutSeconds = static_cast<double>(kDefaultChildTimeLimit.count());
    Effort effort = Effort::Default;
    bool allowLarger = false;
    std::optional<int32_t> lossy; // lossy PNG and GIF at this level; none for lossless
    bool keepMetadata = false;    // EXIF, XMP, IPTC, comments and application blocks stay
    bool preserveTimes = false;   // outputs get their sources' modification times
    bool json = false;
    std::optional<Shard> shard;              // this machine's share of the list; none for all
    std::optional<std::string> outputFolder; // outputs under it instead of beside the sources
    std::vector<std::string> paths;          // as given, "-" included
};

struct ParsedCommandLine {
    std::optional<CliOptions> options; // none when the program should end with exitCode
    int exitCode = kExitSuccess;
};

// Help goes to `out`; a usage error, with a hint, to `err` and gives kExitUsage.
ParsedCommandLine ParseCommandLine(int argc, const char* const* argv, std::ostream& out,
                                   std::ostream& err);

// The time limit the batch host hands to the routes.
std::optional<std::chrono::milliseconds> ChildTimeLimit(const CliOptions& options);

// "K/N" with K below N, as --shard takes it.
std::optional<Shard> ParseShard(std::string_view text);

// The paths in order, each "-" replaced by the non-empty lines of `input`, a final "\r" dropped,
// and each folder by the files of its tree that have a route (see CollectRoutedFiles), or
// by nothing and a line on `messages` saying so. Lines of `input` are taken as they are: a
// folder there is an item (a `find` listing names every folder too).
PathList ExpandPaths(const std::vector<std::string>& paths, std::istream& input,
                     std::ostream& messages);

} // namespace lumatrim
