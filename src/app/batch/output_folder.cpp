// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/batch/output_folder.h"

#include <algorithm>
#include <filesystem>

namespace lumatrim {

namespace {

namespace fs = std::filesystem;

// `folder` relative to `current`, or none when it climbs out of it.
std::optional<fs::path> Below(const fs::path& folder, const fs::path& current) {
    const fs::path relative = folder.lexically_relative(current);
    if (relative.empty() || *relative.begin() == "..") return std::nullopt;
    return relative == "." ? fs::path() : relative;
}

// Where a source of `sourceFolder` goes under the output folder; none when it has no place.
std::optional<fs::path> RelativePlace(const std::string& mirrored,
                                      const std::string& sourceFolder) {
    std::error_code error;
    const fs::path current = mirrored.empty() ? fs::current_path(error)
                                              : fs::absolute(mirrored, error).lexically_normal();
    // An empty folder is the current one (and an error to std::filesystem::absolute).
    const fs::path folder = fs::absolute(sourceFolder.empty() ? "." : sourceFolder, error);
    if (error) return std::nullopt;
    std::optional<fs::path> relative = Below(folder.lexically_normal(), current);
    if (!relative) {
        const fs::path real = fs::weakly_canonical(folder, error);
        if (!error) relative = Below(real, current);
    }
    return relative;
}

} // namespace

std::optional<std::string> PlaceUnder(const std::string& outputFolder, const std::string& mirrored,
                                      const std::string& sourceFolder,
                                      const std::string& outputName) {
    const std::optional<fs::path> relative = RelativePlace(mirrored, sourceFolder);
    if (!relative) return std::nullopt;
    return (fs::path(outputFolder) / *relative / outputName).string();
}

std::string CommonFolder(const std::vector<std::string>& paths) {
    std::optional<fs::path> common;
    for (const std::string& path : paths) {
        std::error_code error;
        const fs::path folder = fs::absolute(path, error).lexically_normal().parent_path();
        if (error) continue;
        if (!common) {
            common = folder;
            continue;
        }
        const auto end =
            std::mismatch(common->begin(), common->end(), folder.begin(), folder.end());
        fs::path shared;
        for (auto part = common->begin(); part != end.first; ++part)
            shared /= *part;
        common = shared;
    }
    return common ? common->string() : std::string();
}

bool LinkBetween(const std::string& outputFolder, const std::string& mirrored,
                 const std::string& sourceFolder) {
    const std::optional<fs::path> relative = RelativePlace(mirrored, sourceFolder);
    if (!relative) return false;
    fs::path folder(outputFolder);
    for (const fs::path& part : *relative) {
        folder /= part;
        std::error_code error;
        const fs::file_status status = fs::symlink_status(folder, error);
        if (fs::is_symlink(status)) return true;
        if (!fs::is_directory(status)) return false; // made later, or a file the write fails on
    }
    return false;
}

std::optional<std::string> SourceFolderOfPlace(const std::string& outputFolder,
                                               const std::string& mirrored,
                                               const std::string& path) {
    std::error_code error;
    const fs::path folder = fs::absolute(path, error).parent_path().lexically_normal();
    const fs::path root = fs::absolute(outputFolder, error).lexically_normal();
    if (error) return std::nullopt;
    const std::optional<fs::path> relative = Below(folder, root);
    if (!relative) return std::nullopt;
    const fs::path sources = mirrored.empty() ? *relative : fs::path(mirrored) / *relative;
    return sources.empty() ? std::string() : (sources / "").string();
}

void MakeFoldersFor(const std::string& output) {
    std::error_code ignored;
    fs::create_directories(fs::path(output).parent_path(), ignored);
}

} // namespace lumatrim
