// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// One batch run over the host's list. Each item goes, by its extension, to a reduction route
// that writes "<base name>_reduced.<route>" beside the source (or under the host's output
// folder); sources are only read. Failures are shown through the host and the run goes on; it
// ends with "Done.".
#pragma once

#include "app/batch/batch_host.h"
#include "app/routes/route_workspace.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumatrim {

// Shown, followed by the path, for a list item passed over as the output of an earlier run (see
// BatchHost::PassOverOwnOutputs).
inline constexpr std::string_view kOwnOutputPassedOver =
    "Passed over as the reduced copy of another file: ";

// `applicationFolder` holds the companion programs the routes run (see ApplicationFolder()).
void RunBatch(BatchHost& host, const std::string& applicationFolder);
// The same run with the caller's workspace, whose BMP surfaces then hold the last BMP's.
void RunBatch(BatchHost& host, const std::string& applicationFolder, RouteWorkspace& workspace);

// One item as a run handles it: failures go to `host` as messages and into the report. Safe to
// call on several threads at once, each with its own host and workspace.
ItemReport ReduceItem(BatchHost& host, const std::string& source,
                      const std::string& applicationFolder, RouteWorkspace& workspace);

// The end of a run: the pointer and progress back to rest, and "Done." unless it was stopped.
void EndRun(BatchHost& host);

} // namespace lumatrim
