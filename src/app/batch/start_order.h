// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The order in which a parallel run's workers start items. A run lasts at least as long as its
// longest item, and longer still when that item starts last: so files large enough to matter
// start first, largest first, and the rest follow in list order, which keeps results flowing
// out in list order while the run goes on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumatrim {

// Item indices in starting order. `sizes` (bytes, 0 when unknown) stand for each item's work;
// an item "matters" when it is at least 1/(4 * jobs) of their total.
std::vector<size_t> StartOrder(const std::vector<uintmax_t>& sizes, unsigned jobs);

} // namespace lumatrim
