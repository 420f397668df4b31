// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// What a source's first bytes say before its route runs: a file nobody may read, or one whose
// content is not the format its extension names (a text file called "x.png"), is refused with
// its cause, instead of being taken for a damaged file of that format.
#pragma once

#include <string>
#include <string_view>
#include <system_error>

namespace lumatrim {

enum class SourceStart {
    Fits,        // the file begins as `signature` does, or is cut off within it
    Unreadable,  // it cannot be opened or read; see the error
    Empty,       // it holds no byte at all
    OtherFormat, // its first bytes are not the signature
};

struct SourceCheck {
    SourceStart start = SourceStart::Fits;
    std::error_code error; // the system's reason, for Unreadable
};

SourceCheck CheckSourceStart(const std::string& path, std::string_view signature);

} // namespace lumatrim
