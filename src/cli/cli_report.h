// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// What lumatrim-batch prints about the files of a run: one JSON object a line, or a table with
// sizes and savings and a total.
#pragma once

#include "app/batch/item_record.h"
#include "app/batch/path_list.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace lumatrim {

// Keys: source, output, route, status, result, bytes_in, bytes_out, message, damaged; absent
// values are null. Text is written as JsonString writes it, so names that are not UTF-8 come
// back byte for byte.
std::string JsonLine(const ItemRecord& record);

// What the table keeps of an item until the run ends: a long list costs little. Its source is
// the list's own path.
struct TableRow {
    std::optional<uintmax_t> bytesIn;
    std::optional<uintmax_t> bytesOut;
    ItemStatus status = ItemStatus::Skipped;
    std::optional<ItemResult> result;
    bool damaged = false;
};

TableRow RowOf(const ItemRecord& record);

// Row i is the item of `sources[i]`. An item whose source was found damaged shows "damaged" where
// others show "ok".
void PrintTable(std::ostream& out, const PathList& sources, const std::deque<TableRow>& rows);

std::string_view StatusName(ItemStatus status);

} // namespace lumatrim
