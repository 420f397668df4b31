// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Qt's BMP reader decodes what a cut-off file still holds and fills the rest, reporting
// success; reducing such a file would pass a damaged picture off as a good one. This tells those
// files apart before decoding, from their own headers.
#pragma once

#include <cstdint>
#include <span>

namespace lumatrim {

// True for an uncompressed BMP shorter than its header's rows. Other files, and headers that
// cannot tell, give false.
bool IsTruncatedPicture(std::span<const uint8_t> file);

} // namespace lumatrim
