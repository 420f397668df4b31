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

// The file a run would write for `source`, beside it or under `outputFolder` at its place in
// `mirrored` (see PlaceUnder); none when no route takes it or it has no place under the output
// folder.
std::optional<std::string> PlannedOutput(const std::string& source,
                                         const std::optional<std::string>& outputFolder = {},
                                         const std::string& mirrored = {});

// The names, extensions in lower case, of the files a run would reduce to the file named
// `outputName` beside them: "x.jpg", "x.jpeg" and "x.jpe" for "x_reduced.jpg"; none for a name
// no route writes. A source's extension may be in any case ("x.GIF" gives "x_reduced.gif" too).
std::vector<std::string> PossibleSourceNames(std::string_view outputName);

} // namespace lumatrim
