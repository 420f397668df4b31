// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// lumatrim-batch: reduces the image files named on the command line, as the window's "Reduce"
// button does, and reports on each.
#include "app/batch/parallel_batch.h"
#include "app/platform/paths.h"
#include "app/platform/process_setup.h"
#include "cli/cli_host.h"
#include "cli/cli_options.h"
#include "cli/signal_stop.h"

#include <functional>
#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    using namespace lumatrim;
    PrepareProcess();
    const ParsedCommandLine parsed = ParseCommandLine(argc, argv, std::cout, std::cerr);
    if (!parsed.options) return parsed.exitCode;
    const CliOptions& options = *parsed.options;

    // Until the list is read a signal ends the process at once: nothing has been written yet.
    PathList paths = ExpandPaths(options.paths, std::cin, std::cerr);
    if (options.shard) paths = ItemsOfShard(paths, *options.shard);
    const SignalStop signals; // before the run starts any thread
    std::function<void(const ItemRecord&)> printJson;
    if (options.json)
        printJson = [](const ItemRecord& record) { std::cout << JsonLine(record) << std::endl; };
    RunSettings settings;
    settings.quality = options.quality;
    settings.childTimeLimit = ChildTimeLimit(options);
    settings.effort = options.effort;
    settings.allowLarger = options.allowLarger;
    settings.stop = signals.Token();
    settings.lossy = options.lossy;
    settings.keepMetadata = options.keepMetadata;
    settings.preserveTimes = options.preserveTimes;
    settings.passOverOwnOutputs = true; // a re-run over a list that now holds its outputs
    CliHost host(std::move(paths), settings, std::cerr, isatty(STDERR_FILENO) == 1, !options.json,
                 printJson, options.outputFolder);
    RunParallelBatch(host, ApplicationFolder(), options.jobs);
    host.PrintTable(std::cout);
    if (const int signal = signals.Received()) ExitBySignal(signal);
    return host.AnyItemFailed() ? kExitItemFailed : kExitSuccess;
}
