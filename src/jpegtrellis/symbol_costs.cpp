// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpegtrellis/symbol_costs.h"

#include "jpegtrellis/huffman_lengths.h"
#include "jpegtrellis/zigzag.h"

#include <algorithm>
#include <cstdlib>
#include <span>

namespace lumatrim::trellis {

namespace {

template <size_t N>
void CostsOfCodes(const std::array<uint32_t, N>& counts, std::array<float, N>& costs) {
    const std::vector<uint8_t> lengths = HuffmanCodeLengths(counts);
    const uint8_t longest = *std::max_element(lengths.begin(), lengths.end());
    const float unseen = static_cast<float>(std::min(longest + 1, kMaxCodeLength));
    for (size_t s = 0; s < N; ++s)
        costs[s] = lengths[s] ? static_cast<float>(lengths[s]) : unseen;
}

} // namespace

void CountAcSymbols(const int16_t block[64], SymbolCounts& counts) {
    int run = 0;
    for (int z = 1; z < 64; ++z) {
        const int value = block[kZigzagToNatural[z]];
        if (value == 0) {
            ++run;
            continue;
        }
        for (; run >= 16; run -= 16)
            ++counts.ac[kZeroRun16];
        ++counts.ac[run << 4 | MagnitudeCategory(static_cast<uint32_t>(std::abs(value)))];
        run = 0;
    }
    if (run > 0) ++counts.ac[kEndOfBlock];
}

void CountDcSymbol(int dc, int previousDc, SymbolCounts& counts) {
    const int category = MagnitudeCategory(static_cast<uint32_t>(std::abs(dc - previousDc)));
    ++counts.dc[std::min(category, kDcCategories - 1)];
}

SymbolCosts CostsFromCounts(const SymbolCounts& counts) {
    SymbolCosts costs;
    CostsOfCodes(counts.ac, costs.ac);
    CostsOfCodes(counts.dc, costs.dc);
    return costs;
}

} // namespace lumatrim::trellis
