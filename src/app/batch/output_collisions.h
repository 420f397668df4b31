// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Which items of a parallel run must not overlap: two items that write the same output, or
// where one writes what the other reads (a file and its own "_reduced" copy both listed), give
// a different result, or a torn measurement, unless they run in list order.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace lumatrim {

// For each item, the latest earlier item it shares its source or output with; -1 when none.
// Paths are compared absolute, with and without symbolic links resolved, and ignoring case
// (for case-insensitive disks): a needless wait only costs time, a missed one a wrong file.
// Outputs are planned as PlannedOutput does with `outputFolder`.
std::vector<std::ptrdiff_t> LatestConflicts(const std::vector<std::string>& items,
                                            const std::optional<std::string>& outputFolder = {});

} // namespace lumatrim
