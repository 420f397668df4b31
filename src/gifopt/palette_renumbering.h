// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Unused colour removal, shared by the global and the local pass: mark the indices the pixels
// use, number the used entries in their order, and rewrite the table and the pixels.
#pragma once

#include "gif/gif.h"

#include <array>
#include <cstdint>

namespace lumatrim::mGIFOptimizer {

using IndexSet = std::array<bool, 256>;

// Marks every index the surface's pixels hold.
void MarkUsedIndices(const cDIB& surface, IndexSet& used);

// IndexOutOfRangeError when an index at or beyond `entries` is marked: the table has no colour
// for it, and nothing may change then.
void CheckInsideTable(const IndexSet& used, int32_t entries);

struct Renumbering {
    std::array<uint8_t, 256> oldToNew{}; // unused and out-of-table entries map to 0
    ColorTable1024 table{};              // the kept entries in their old order, the rest 0
    int32_t kept = 0;                    // used entries; the table keeps at least one
    int32_t Entries() const { return kept > 0 ? kept : 1; }
};

Renumbering NumberUsedEntries(const IndexSet& used, int32_t entries, const ColorTable1024& old);

// Replaces every pixel p by oldToNew[p], in place.
void RenumberPixels(cDIB& surface, const std::array<uint8_t, 256>& oldToNew);

} // namespace lumatrim::mGIFOptimizer
