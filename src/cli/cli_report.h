// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// What lumatrim-batch prints about the files of a run: one JSON object a line, or a table with
// sizes and savings and a total.
#pragma once

#include "app/batch/item_record.h"

#include <ostream>
#include <string>
#include <vector>

namespace lumatrim {

// Keys: source, output, route, status, result, bytes_in, bytes_out, message; absent values
// are null.
// Bytes that are not UTF-8 (paths may hold any) become U+FFFD rather than failing the line.
std::string JsonLine(const ItemRecord& record);

void PrintTable(std::ostream& out, const std::vector<ItemRecord>& records);

std::string_view StatusName(ItemStatus status);

} // namespace lumatrim
