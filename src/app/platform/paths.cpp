// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/platform/paths.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

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

namespace {

// The system's facts about the file a path names, links followed; none when it names nothing,
// which a path with a NUL byte never does (the system would see the name it stops at). A plain
// stat: a run over a long list asks this several times an item.
std::optional<struct stat> Status(std::string_view path) {
    if (path.find('\0') != std::string_view::npos) return std::nullopt;
    struct stat status {};
    if (::stat(std::string(path).c_str(), &status) != 0) return std::nullopt;
    return status;
}

} // namespace

std::string GetShortPath(std::string_view path) {
    return Status(path) ? std::string(path) : std::string();
}

bool FileExists(std::string_view path) {
    return Status(path).has_value();
}

bool IsRegularFile(std::string_view path) {
    const std::optional<struct stat> status = Status(path);
    return status && S_ISREG(status->st_mode);
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

namespace {

bool IsExecutableFile(const std::string& path) {
    return IsRegularFile(path) && ::access(path.c_str(), X_OK) == 0;
}

} // namespace

std::string FindCompanionProgram(std::string_view folder, std::string_view name,
                                 std::string_view searchPath) {
    const std::string own = PathInFolder(folder, name);
    if (IsExecutableFile(own)) return own;
    while (!searchPath.empty()) {
        const size_t end = std::min(searchPath.find(':'), searchPath.size());
        const std::string_view entry = searchPath.substr(0, end);
        searchPath.remove_prefix(std::min(end + 1, searchPath.size()));
        if (!entry.starts_with(kPathSeparator)) continue;
        if (std::string candidate = PathInFolder(entry, name); IsExecutableFile(candidate))
            return candidate;
    }
    return own;
}

std::string ProgramSearchPath() {
    if (const char* path = std::getenv("PATH")) return path;
    std::string path(::confstr(_CS_PATH, nullptr, 0), '\0');
    ::confstr(_CS_PATH, path.data(), path.size());
    path.pop_back(); // the terminating zero confstr counts
    return path;
}

} // namespace lumatrim
