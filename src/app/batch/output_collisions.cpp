// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/batch/output_collisions.h"

#include "app/batch/batch_driver.h"
#include "app/platform/paths.h"

#include <algorithm>
#include <filesystem>
#include <unordered_map>

namespace lumatrim {

namespace {

void AddKeys(std::vector<std::string>& keys, const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute =
        std::filesystem::absolute(path, error).lexically_normal();
    keys.push_back(LowerCase(absolute.string()));
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(absolute, error);
    if (!error) keys.push_back(LowerCase(resolved.string()));
}

// Items without a route touch no file, so they conflict with nothing.
std::vector<std::string> TouchedPathKeys(const std::string& source,
                                         const std::optional<std::string>& outputFolder) {
    std::vector<std::string> keys;
    const std::optional<std::string> output = PlannedOutput(source, outputFolder);
    if (!output) return keys;
    AddKeys(keys, source);
    AddKeys(keys, *output);
    return keys;
}

} // namespace

std::vector<std::ptrdiff_t> LatestConflicts(const std::vector<std::string>& items,
                                            const std::optional<std::string>& outputFolder) {
    std::vector<std::ptrdiff_t> latest(items.size(), -1);
    std::unordered_map<std::string, std::ptrdiff_t> lastItemTouching;
    for (size_t index = 0; index < items.size(); ++index) {
        const auto self = static_cast<std::ptrdiff_t>(index);
        for (const std::string& key : TouchedPathKeys(items[index], outputFolder)) {
            const auto [entry, first] = lastItemTouching.try_emplace(key, self);
            if (first || entry->second == self) continue;
            latest[index] = std::max(latest[index], entry->second);
            entry->second = self;
        }
    }
    return latest;
}

} // namespace lumatrim
