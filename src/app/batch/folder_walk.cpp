// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/batch/folder_walk.h"

#include "app/batch/route_table.h"
#include "app/platform/paths.h"

#include <algorithm>
#include <filesystem>
#include <fnmatch.h>
#include <unordered_set>

namespace lumatrim {

namespace {

namespace fs = std::filesystem;

// One folder's entries of one kind, in name order ignoring case (then byte order, so the order
// never depends on the listing's).
struct Listing {
    std::vector<std::string> folders; // not hidden, not links
    std::vector<std::string> files;   // regular files and links to them, hidden ones too
};

void SortByName(std::vector<std::string>& names) {
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(names.size());
    for (std::string& name : names)
        keyed.emplace_back(LowerCase(name), std::move(name));
    std::sort(keyed.begin(), keyed.end());
    for (size_t index = 0; index < keyed.size(); ++index)
        names[index] = std::move(keyed[index].second);
}

Listing ListFolder(const std::string& folder, const std::function<void()>& pumpEvents) {
    Listing listing;
    std::error_code error;
    pumpEvents();
    fs::directory_iterator entry(folder.empty() ? "." : folder, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        pumpEvents();
        std::string name = entry->path().filename().string();
        std::error_code ignored;
        // A link to a folder is neither: it could lead back up the tree.
        if (entry->is_directory(ignored) && !entry->is_symlink(ignored)) {
            if (!name.starts_with('.')) listing.folders.push_back(std::move(name));
        } else if (entry->is_regular_file(ignored)) {
            listing.files.push_back(std::move(name));
        }
    }
    SortByName(listing.folders);
    SortByName(listing.files);
    return listing;
}

// The name as PossibleSourceNames gives a source's: its extension in lower case.
std::string WithLowerExtension(const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) return name;
    return name.substr(0, dot) + LowerCase(name.substr(dot));
}

class FolderFiles {
public:
    explicit FolderFiles(const std::vector<std::string>& files) {
        for (const std::string& file : files)
            lowerExtensions_.insert(WithLowerExtension(file));
    }
    bool IsOwnOutput(std::string_view name) const {
        for (const std::string& source : PossibleSourceNames(name))
            if (lowerExtensions_.contains(source)) return true;
        return false;
    }

private:
    std::unordered_set<std::string> lowerExtensions_;
};

// Calls `take` for every file of the walk that `wanted` accepts.
void Walk(const std::string& folder, const std::function<bool(const std::string&)>& wanted,
          const std::function<void()>& pumpEvents, const std::function<void(std::string)>& take) {
    std::vector<std::string> level{JoinPath(folder, "")};
    std::vector<std::string> folders;
    while (!level.empty()) {
        std::vector<std::string> deeper;
        for (const std::string& current : level) {
            Listing listing = ListFolder(current, pumpEvents);
            for (const std::string& name : listing.folders)
                deeper.push_back(JoinPath(current, name) + '/');
            const FolderFiles neighbours(listing.files);
            for (const std::string& name : listing.files)
                if (!name.starts_with('~') && wanted(name) && !neighbours.IsOwnOutput(name))
                    take(JoinPath(current, name));
        }
        level = std::move(deeper);
    }
}

// Whether `stem` followed by `extension` names a file, with the letters of the extension from
// `from` on in any mix of case ("gif", "Gif", ... "GIF"): each mix is tried once, as written
// first. Extensions are at most four letters, so this costs at most 16 look-ups.
bool AnyCaseExists(const std::string& stem, const std::string& extension, size_t from) {
    if (IsRegularFile(stem + extension)) return true;
    for (size_t at = from; at < extension.size(); ++at) {
        if (extension[at] < 'a' || extension[at] > 'z') continue;
        std::string upper = extension;
        upper[at] = static_cast<char>(upper[at] - 'a' + 'A');
        if (AnyCaseExists(stem, upper, at + 1)) return true;
    }
    return false;
}

} // namespace

std::vector<std::string> CollectFiles(const std::string& folder, const std::string& pattern,
                                      const std::function<void()>& pumpEvents) {
    std::vector<std::string> files;
    Walk(
        folder,
        [&](const std::string& name) {
            return ::fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0;
        },
        pumpEvents, [&](std::string path) { files.push_back(std::move(path)); });
    return files;
}

std::vector<std::string> CollectRoutedFiles(const std::string& folder,
                                            const std::function<void()>& pumpEvents) {
    std::vector<std::string> files;
    Walk(
        folder, [](const std::string& name) { return PlannedOutput(name).has_value(); }, pumpEvents,
        [&](std::string path) { files.push_back(std::move(path)); });
    return files;
}

bool IsOwnOutputBesideSource(const std::string& path) {
    return IsOutputOfSourceIn(path, GetPathFolder(path));
}

bool IsOutputOfSourceIn(const std::string& path, const std::string& sourceFolder) {
    for (const std::string& source : PossibleSourceNames(GetPathFileName(path))) {
        const size_t dot = source.rfind('.');
        if (AnyCaseExists(sourceFolder + source.substr(0, dot + 1), source.substr(dot + 1), 0))
            return true;
    }
    return false;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string joined(folder);
    if (!joined.ends_with('/')) joined += '/';
    return joined.append(name);
}

} // namespace lumatrim
