// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// What a caller asks of the PNG optimizer, and how it answers: a file, or why it declined.
#pragma once

#include <cstdint>
#include <stop_token>
#include <string>
#include <variant>
#include <vector>

namespace lumatrim::png {

// Fast: few filter strategies, a fast deflate level. Default: every strategy, the strongest level.
enum class PngEffort { Fast, Default };

struct PngOptions {
    PngEffort effort = PngEffort::Default;
    bool keepMetadata = false; // keep tEXt, zTXt, iTXt and tIME byte for byte
    std::stop_token stop;      // looked at between stages; a stopped run gives `Stopped`
};

enum class PngDecline {
    NotPng,      // no PNG signature
    Damaged,     // a chunk's length or CRC is wrong, or the picture data cannot be decoded
    Unsupported, // a chunk whose meaning could change with our rewrite (see README.md)
    TooLarge,    // over the pixel limit given
    Stopped,     // the run was asked to stop
};

struct PngRefusal {
    PngDecline reason;
    std::string detail; // what was wrong, for the report
};

using PngResult = std::variant<std::vector<uint8_t>, PngRefusal>;

} // namespace lumatrim::png
