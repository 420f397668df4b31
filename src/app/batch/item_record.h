// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// An item's outcome with the sizes of its files, and the words both faces of the program use for
// sizes and savings, so the window and lumatrim-batch say the same of the same run.
#pragma once

#include "app/batch/batch_host.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumatrim {

struct ItemRecord {
    ItemReport report;
    std::optional<uintmax_t> bytesIn;  // none when the source cannot be read
    std::optional<uintmax_t> bytesOut; // none when no output was written
};

// Sizes are taken now, right after the item, before a later item can write the same output.
ItemRecord MeasureItem(const ItemReport& report);

// "reduced", "lossless" or "copy"; empty for none.
std::string_view ResultName(std::optional<ItemResult> result);

// "812 B", "3.4 KiB", "1.2 MiB"; "-" for none.
std::string ReadableSize(std::optional<uintmax_t> bytes);
// The share of `before` saved, "65.0%"; "-" when either is missing or `before` is empty.
std::string SavingText(std::optional<uintmax_t> before, std::optional<uintmax_t> after);

struct RunTotals {
    uintmax_t bytesIn = 0; // over the items reduced, so the saving compares like with like
    uintmax_t bytesOut = 0;
    int reduced = 0;
    int skipped = 0;
    int failed = 0;
    int notDone = 0;
    int damaged = 0; // of those reduced, from a source found damaged

    // One item's outcome and sizes.
    void Add(ItemStatus status, std::optional<uintmax_t> in, std::optional<uintmax_t> out,
             bool sourceDamaged);
};

RunTotals SumRecords(const std::vector<ItemRecord>& records);

} // namespace lumatrim
