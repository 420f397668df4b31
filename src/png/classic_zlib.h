// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// zlib's own deflate, as a last trial beside libdeflate and zopfli. Its greedy parsers with a
// narrow choice of matches beat libdeflate's level 12 on some photographs: libdeflate's cost
// model spends bits on short, distant matches where literals and runs are cheaper.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace lumatrim::png {

enum class ClassicStrategy {
    Runs,     // matches at distance 1 only (Z_RLE)
    Filtered, // matches of 6 bytes or more (Z_FILTERED)
};

// The zlib stream of `data` at level 9 with the largest hash table; empty if zlib fails.
std::vector<uint8_t> ClassicZlib(std::span<const uint8_t> data, ClassicStrategy strategy);

} // namespace lumatrim::png
