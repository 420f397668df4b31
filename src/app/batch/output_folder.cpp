// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/batch/output_folder.h"

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

} // namespace

std::optional<std::string> PlaceUnder(const std::string& outputFolder,
                                      const std::string& sourceFolder,
                                      const std::string& outputName) {
    std::error_code error;
    const fs::path current = fs::current_path(error);
    // An empty folder is the current one (and an error to std::filesystem::absolute).
    const fs::path folder = fs::absolute(sourceFolder.empty() ? "." : sourceFolder, error);
    if (error) return std::nullopt;
    std::optional<fs::path> relative = Below(folder.lexically_normal(), current);
    if (!relative) {
        const fs::path real = fs::weakly_canonical(folder, error);
        if (!error) relative = Below(real, current);
    }
    if (!relative) return std::nullopt;
    return (fs::path(outputFolder) / *relative / outputName).string();
}

void MakeFoldersFor(const std::string& output) {
    std::error_code ignored;
    fs::create_directories(fs::path(output).parent_path(), ignored);
}

} // namespace lumatrim
