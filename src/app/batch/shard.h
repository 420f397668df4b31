// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// One machine's share of a list that several machines reduce (lumatrim-batch --shard K/N),
// chosen from the list alone so that no coordinator is needed: run with every K from 0 to N-1
// over the same list, the shards take each item exactly once.
//
// An item goes to the shard of its position modulo N, which balances the shards exactly, unless
// it may share a file with an earlier item: then it follows that item, so that the two run in
// list order on one machine, as in one run over the whole list. Items may share a file when
// their folders and base names are equal ignoring case and any trailing "_reduced" ("a.gif",
// "A.GIF", "a_reduced.gif"): that takes in every shared output and every file that is another
// item's output, at the cost of sometimes keeping together items that would not collide
// ("a.png" and "a.bmp").
// Paths are compared as written, only "." and ".." resolved: the file system may look different
// from each machine, the list does not.
#pragma once

#include "app/batch/path_list.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lumatrim {

struct Shard {
    uint32_t index = 0; // K, below count
    uint32_t count = 1; // N
};

// For each item, the shard (0 to count-1) that takes it.
std::vector<uint32_t> ShardOfEachItem(const std::vector<std::string>& items, uint32_t count);

// The items `shard` takes, in list order.
std::vector<std::string> ItemsOfShard(const std::vector<std::string>& items, Shard shard);
PathList ItemsOfShard(const PathList& items, Shard shard);

} // namespace lumatrim
