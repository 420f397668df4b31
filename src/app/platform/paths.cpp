// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/platform/paths.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace lumatrim {

std::string GetPathFolder(std::string_view path, char separator) {
    const size_t last = path.rfind(separator);
    return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

std::string GetPathFileName(std::string_view path, char separator) {
    const size_t last = path.rfind(separator);
    return std::string(last == std::string_view::npos ? path : path.substr(last + 1));
}

std::string GetFileBaseName(std::string_view fileName) {
    return std::string(fileName.substr(0, fileName.rfind('.')));
}

std::string GetPathExtension(std::string_view path) {
    const size_t dot = path.rfind('.');
    return std::string(dot == std::string_view::npos ? path : path.substr(dot + 1));
}

std::string LowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string GetShortPath(std::string_view path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::path(path), error) ? std::string(path)
                                                                       : std::string();
}

bool FileExists(std::string_view path) {
    std::error_code error;
    [[maybe_unused]] const auto modified =
        std::filesystem::last_write_time(std::filesystem::path(path), error);
    return !error;
}

bool IsRegularFile(std::string_view path) {
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::path(path), error);
}

std::string ApplicationFolder() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : executable.parent_path().string();
}

std::string PathInFolder(std::string_view folder, std::string_view name) {
    if (folder.empty()) return {};
    std::string path(folder);
    if (path.back() != kPathSeparator) path += kPathSeparator;
    return path.append(name);
}

} // namespace lumatrim
