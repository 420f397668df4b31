// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/batch/source_check.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace lumatrim {

namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

} // namespace

SourceCheck CheckSourceStart(const std::string& path, std::string_view signature) {
    const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) return {SourceStart::Unreadable, LastError()};
    std::array<char, 16> start{};
    const size_t wanted = std::min(signature.size(), start.size());
    size_t got = 0;
    while (got < wanted) {
        const ssize_t read = ::read(file, start.data() + got, wanted - got);
        if (read < 0 && errno == EINTR) continue;
        if (read < 0) {
            const SourceCheck failed{SourceStart::Unreadable, LastError()};
            ::close(file);
            return failed;
        }
        if (read == 0) break;
        got += static_cast<size_t>(read);
    }
    ::close(file);
    if (got == 0 && wanted > 0) return {SourceStart::Empty, {}};
    if (std::string_view(start.data(), got) != signature.substr(0, got))
        return {SourceStart::OtherFormat, {}};
    return {};
}

} // namespace lumatrim
