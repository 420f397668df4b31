// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Which items of a parallel run must not overlap: two items that write the same output, or
// where one writes what the other reads (a file and its own "_reduced" copy both listed), give
// a different result, or a torn measurement, unless they run in list order.
#pragma once

#include "app/batch/path_list.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace lumatrim {

// For each item, the latest earlier item it shares its source or output with; -1 when none.
// Paths are compared absolute, with and without symbolic links resolved, and ignoring case
// (for case-insensitive disks): a needless wait only costs time, a missed one a wrong file.
// Paths are told apart by 64-bit hashes, so a long list costs a few bytes an item; two paths
// whose hashes agree by chance only wait for each other.
// Outputs are planned as PlannedOutput does with `outputFolder` and `mirrored`.
std::vector<std::ptrdiff_t> LatestConflicts(const PathList& items,
                                            const std::optional<std::string>& outputFolder = {},
                                            const std::string& mirrored = {});

} // namespace lumatrim
