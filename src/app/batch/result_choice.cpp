// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/batch/result_choice.h"

#include <array>
#include <utility>

namespace lumatrim {

std::optional<ItemResult> ChooseResult(const CandidateSizes& sizes, bool allowLarger) {
    if (allowLarger && sizes.lossy) return ItemResult::Lossy;
    if (allowLarger && sizes.reduced) return ItemResult::Reduced;
    if (allowLarger && sizes.lossless) return ItemResult::Lossless;
    // Closest to the source first, so a strictly smaller size is needed to move further away.
    const std::array<std::pair<ItemResult, std::optional<uintmax_t>>, 4> inOrder = {{
        {ItemResult::Copy, sizes.source},
        {ItemResult::Lossless, sizes.lossless},
        {ItemResult::Reduced, sizes.reduced},
        {ItemResult::Lossy, sizes.lossy},
    }};
    std::optional<ItemResult> best;
    std::optional<uintmax_t> bestSize;
    for (const auto& [result, size] : inOrder) {
        if (!size || (bestSize && *size >= *bestSize)) continue;
        best = result;
        bestSize = size;
    }
    return best;
}

} // namespace lumatrim
