// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/platform/work_file.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace lumatrim {

namespace {

bool WriteAll(int fd, const uint8_t* bytes, size_t count) {
    while (count > 0) {
        const ssize_t written = ::write(fd, bytes, count);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

} // namespace

WorkFile::WorkFile(std::string_view extension) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) return;
    std::string pattern = (folder / "lumatrim-XXXXXX").string();
    pattern += extension;
    fd_ = ::mkostemps(pattern.data(), static_cast<int>(extension.size()), O_CLOEXEC);
    if (fd_ >= 0) path_ = pattern;
}

WorkFile::~WorkFile() {
    if (fd_ >= 0) ::close(fd_);
    if (IsCreated()) ::unlink(path_.c_str());
}

WorkFile::FillResult WorkFile::FillFrom(const std::string& source) {
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return FillResult::SourceUnreadable;
    std::array<uint8_t, 1 << 16> buffer;
    FillResult result = FillResult::Filled;
    while (true) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got == 0) break;
        if (got < 0) {
            result = FillResult::SourceUnreadable;
            break;
        }
        if (!WriteAll(fd_, buffer.data(), static_cast<size_t>(got))) {
            result = FillResult::WorkUnwritable;
            break;
        }
    }
    ::close(in);
    if (::close(fd_) != 0 && result == FillResult::Filled) result = FillResult::WorkUnwritable;
    fd_ = -1;
    return result;
}

std::optional<uintmax_t> WorkFile::Size() const {
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(path_, error);
    return error ? std::nullopt : std::optional<uintmax_t>(size);
}

} // namespace lumatrim
