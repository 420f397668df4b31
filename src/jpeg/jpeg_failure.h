// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Why a JPEG file gave no picture, in terms a caller can turn into its own message.
#pragma once

#include <string>

namespace lumatrim {

enum class JpegFault {
    NotJpeg,     // no JPEG start marker, or no bytes at all
    Undecodable, // a kind of JPEG the library does not decode (12-bit, lossless), or no memory
    TooLarge,    // more pixels than the caller allows, by the frame header
    Damaged,     // corrupt or cut-off data, as the decoder found it
    OverLimit,   // a rewrite would be larger than the caller's limit
    Stopped,     // the caller asked for a stop before the work was done
};

struct JpegFailure {
    JpegFault fault;
    // The library's own words, e.g. "Premature end of JPEG file"; for Undecodable, the kind of
    // JPEG in a reader's words ("unsupported: 12-bit samples") or "not enough memory".
    std::string detail;
};

} // namespace lumatrim
