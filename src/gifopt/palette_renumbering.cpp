// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gifopt/palette_renumbering.h"

#include "gifopt/pass_support.h"
#include "imaging/errors.h"

#include <algorithm>
#include <cstring>

namespace lumatrim::mGIFOptimizer {

void MarkUsedIndices(const cDIB& surface, IndexSet& used) {
    for (int32_t y = 0; y < surface.Height(); ++y) {
        const uint8_t* row = Row(surface, y);
        for (int32_t x = 0; x < surface.Width(); ++x)
            used[row[x]] = true;
    }
}

void CheckInsideTable(const IndexSet& used, int32_t entries) {
    const int32_t first = std::clamp(entries, 0, 256);
    if (std::any_of(used.begin() + first, used.end(), [](bool u) { return u; }))
        throw IndexOutOfRangeError("pixel index beyond the colour table");
}

Renumbering NumberUsedEntries(const IndexSet& used, int32_t entries, const ColorTable1024& old) {
    Renumbering result;
    const int32_t last = std::min(entries, 256);
    for (int32_t j = 0; j < last; ++j) {
        if (!used[static_cast<size_t>(j)]) continue;
        result.oldToNew[static_cast<size_t>(j)] = static_cast<uint8_t>(result.kept);
        std::memcpy(&result.table[static_cast<size_t>(result.kept) * 4],
                    &old[static_cast<size_t>(j) * 4], 4);
        ++result.kept;
    }
    // A palette no pixel uses keeps its first entry.
    if (result.kept == 0) std::memcpy(result.table.data(), old.data(), 4);
    return result;
}

void RenumberPixels(cDIB& surface, const std::array<uint8_t, 256>& oldToNew) {
    for (int32_t y = 0; y < surface.Height(); ++y) {
        uint8_t* row = Row(surface, y);
        for (int32_t x = 0; x < surface.Width(); ++x)
            row[x] = oldToNew[row[x]];
    }
}

} // namespace lumatrim::mGIFOptimizer
