// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/batch/output_collisions.h"

#include "app/batch/route_table.h"
#include "app/platform/paths.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace lumatrim {

namespace {

namespace fs = std::filesystem;

// The hashed keys of the paths an item touches, made with as few system calls and path objects
// as can be: a list may hold a million paths. Most share a few folders, so each folder is
// resolved and listed once; a file's own link is resolved only when the listing shows one.
class PathKeys {
public:
    PathKeys() {
        std::error_code error;
        currentFolder_ = fs::current_path(error).string();
    }

    // Whether the folder the path lies in exists.
    bool FolderExists(const std::string& path) {
        const std::string absolute = Absolute(path);
        return Resolved(absolute.substr(0, absolute.rfind('/'))).exists;
    }

    void Add(const std::string& path, std::vector<uint64_t>& keys) {
        const std::string absolute = Absolute(path);
        keys.push_back(Hash(absolute));
        const size_t slash = absolute.rfind('/');
        const Folder& folder = Resolved(absolute.substr(0, slash));
        if (folder.links.contains(absolute.substr(slash + 1))) {
            std::error_code error;
            const fs::path resolved = fs::weakly_canonical(absolute, error);
            if (!error) keys.push_back(Hash(resolved.string()));
            return;
        }
        keys.push_back(Hash(folder.resolved + absolute.substr(slash)));
    }

private:
    struct Folder {
        std::string resolved; // without a final separator
        bool exists = false;
        // The names of the symbolic links in it. Outputs written during the run are no links.
        std::unordered_set<std::string> links;
    };

    static uint64_t Hash(const std::string& path) {
        return std::hash<std::string>{}(LowerCase(path));
    }

    // Absolute, and without "." and ".." parts or doubled separators; only paths that may hold
    // those take the slower lexical pass.
    std::string Absolute(const std::string& path) const {
        std::string absolute = path;
        if (!path.starts_with('/') && !currentFolder_.empty())
            absolute = currentFolder_ + '/' + path;
        if (absolute.find("/.") != std::string::npos || absolute.find("//") != std::string::npos)
            absolute = fs::path(absolute).lexically_normal().string();
        return absolute;
    }

    const Folder& Resolved(const std::string& folder) {
        const auto [entry, added] = folders_.try_emplace(folder);
        if (!added) return entry->second;
        Folder& facts = entry->second;
        const fs::path path = folder.empty() ? "/" : folder;
        std::error_code error;
        const fs::path resolved = fs::weakly_canonical(path, error);
        facts.resolved = error ? folder : resolved.string();
        while (facts.resolved.ends_with('/'))
            facts.resolved.pop_back();
        facts.exists = fs::is_directory(path, error);
        if (!facts.exists) return facts;
        for (fs::directory_iterator at(path, error), end; !error && at != end; at.increment(error))
            if (at->is_symlink(error)) facts.links.insert(at->path().filename().string());
        return facts;
    }

    std::string currentFolder_; // absolute; empty when unknown
    std::unordered_map<std::string, Folder> folders_;
};

struct Touch {
    uint64_t key;
    size_t item;
    auto operator<=>(const Touch&) const = default;
};

} // namespace

std::vector<std::ptrdiff_t> LatestConflicts(const PathList& items,
                                            const std::optional<std::string>& outputFolder,
                                            const std::string& mirrored) {
    PathKeys pathKeys;
    std::vector<Touch> touches;
    std::vector<uint64_t> keys;
    for (size_t index = 0; index < items.Size(); ++index) {
        const std::string source(items[index]);
        // Outputs beside their sources make no folder, so a source in a folder that does not
        // exist fails before it touches any file. (Under an output folder, a run makes folders.)
        if (!outputFolder && !pathKeys.FolderExists(source)) continue;
        // Items without a route touch no file, so they conflict with nothing.
        const std::optional<std::string> output = PlannedOutput(source, outputFolder, mirrored);
        if (!output) continue;
        keys.clear();
        pathKeys.Add(source, keys);
        pathKeys.Add(*output, keys);
        std::sort(keys.begin(), keys.end());
        keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
        for (const uint64_t key : keys)
            touches.push_back({key, index});
    }
    // Sorted, the items touching one key stand together in list order: each waits for the one
    // before it.
    std::sort(touches.begin(), touches.end());
    std::vector<std::ptrdiff_t> latest(items.Size(), -1);
    for (size_t at = 1; at < touches.size(); ++at) {
        if (touches[at].key != touches[at - 1].key) continue;
        std::ptrdiff_t& waitFor = latest[touches[at].item];
        waitFor = std::max(waitFor, static_cast<std::ptrdiff_t>(touches[at - 1].item));
    }
    return latest;
}

} // namespace lumatrim
