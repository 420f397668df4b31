// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The one place that decides what an item's output holds. A reduced copy that is larger than its
// source is no reduction, so the output is the smallest of the route's own result, its lossless
// alternative, a lossy result the user asked for and a byte copy of the source; on a tie, the one
// closer to the source (the copy, then the lossless alternative, then the route's own result),
// since it changes less for the same bytes.
#pragma once

#include "app/batch/batch_host.h"

#include <cstdint>
#include <optional>

namespace lumatrim {

struct CandidateSizes {
    std::optional<uintmax_t> source; // none when the source cannot be measured (no copy then)
    std::optional<uintmax_t> reduced;
    std::optional<uintmax_t> lossless;
    std::optional<uintmax_t> lossy; // only when the user asked for lossy results
};

// With `allowLarger` the lossy result where there is one, else the route's own result (or, for a
// route that has only one, its lossless one) is kept whatever its size. None when there is nothing
// to write at all.
std::optional<ItemResult> ChooseResult(const CandidateSizes& sizes, bool allowLarger);

} // namespace lumatrim
