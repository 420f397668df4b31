// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/batch/shard.h"

#include "app/batch/route_table.h"
#include "app/platform/paths.h"

#include <filesystem>
#include <optional>
#include <unordered_map>

namespace lumatrim {

namespace {

constexpr std::string_view kReducedMark = "_reduced";

// What every item that may share a file with `item` has in common: its normal folder and its
// base name without "_reduced" endings, in lower case. None for items without a route, which
// touch no file.
std::optional<std::string> FamilyKey(const std::string& item) {
    if (!PlannedOutput(item)) return std::nullopt;
    const std::filesystem::path normal = std::filesystem::path(item).lexically_normal();
    std::string base = LowerCase(GetFileBaseName(normal.filename().string()));
    while (base.ends_with(kReducedMark))
        base.resize(base.size() - kReducedMark.size());
    return LowerCase(normal.parent_path().string()) + kPathSeparator + base;
}

} // namespace

std::vector<uint32_t> ShardOfEachItem(const std::vector<std::string>& items, uint32_t count) {
    std::vector<uint32_t> shards;
    shards.reserve(items.size());
    std::unordered_map<std::string, uint32_t> familyShard;
    for (size_t position = 0; position < items.size(); ++position) {
        const auto own = static_cast<uint32_t>(position % count);
        const std::optional<std::string> family = FamilyKey(items[position]);
        shards.push_back(family ? familyShard.try_emplace(*family, own).first->second : own);
    }
    return shards;
}

std::vector<std::string> ItemsOfShard(const std::vector<std::string>& items, Shard shard) {
    const std::vector<uint32_t> shards = ShardOfEachItem(items, shard.count);
    std::vector<std::string> taken;
    for (size_t position = 0; position < items.size(); ++position)
        if (shards[position] == shard.index) taken.push_back(items[position]);
    return taken;
}

PathList ItemsOfShard(const PathList& items, Shard shard) {
    std::vector<std::string> all;
    all.reserve(items.Size());
    for (size_t position = 0; position < items.Size(); ++position)
        all.emplace_back(items[position]);
    PathList taken;
    for (const std::string& item : ItemsOfShard(all, shard))
        taken.Add(item);
    taken.ShrinkToFit();
    return taken;
}

} // namespace lumatrim
