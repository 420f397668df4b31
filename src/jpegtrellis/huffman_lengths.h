// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Code lengths of an optimal prefix code (Huffman's construction) for symbol counts, limited to
// the 16 bits a JPEG Huffman table allows.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace lumatrim::trellis {

inline constexpr int kMaxCodeLength = 16;

// The code length of each symbol: 0 for a symbol never counted, 1 for a lone symbol. Where the
// optimal code is deeper than kMaxCodeLength, the counts are flattened (halved, rounding up)
// until it fits, which costs a fraction of a percent on the rare tables that need it.
std::vector<uint8_t> HuffmanCodeLengths(std::span<const uint32_t> counts);

} // namespace lumatrim::trellis
