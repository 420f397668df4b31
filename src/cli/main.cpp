// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// lumatrim-batch: reduces the image files named on the command line, as the window's "Reduce"
// button does, and reports on each.
#include "app/batch/parallel_batch.h"
#include "app/platform/paths.h"
#include "cli/cli_host.h"
#include "cli/cli_options.h"

#include <functional>
#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    using namespace lumatrim;
    const ParsedCommandLine parsed = ParseCommandLine(argc, argv, std::cout, std::cerr);
    if (!parsed.options) return parsed.exitCode;
    const CliOptions& options = *parsed.options;

    std::function<void(const ItemRecord&)> printJson;
    if (options.json)
        printJson = [](const ItemRecord& record) { std::cout << JsonLine(record) << std::endl; };
    const RunSettings settings{
        options.quality, ChildTimeLimit(options), options.effort, options.allowLarger, {}};
    std::vector<std::string> items = ExpandPaths(options.paths, std::cin);
    if (options.shard) items = ItemsOfShard(items, *options.shard);
    CliHost host(std::move(items), settings, std::cerr, isatty(STDERR_FILENO) == 1, printJson,
                 options.outputFolder);
    RunParallelBatch(host, ApplicationFolder(), options.jobs);
    if (!options.json && !host.Records().empty()) PrintTable(std::cout, host.Records());
    return host.AnyItemFailed() ? kExitItemFailed : kExitSuccess;
}
