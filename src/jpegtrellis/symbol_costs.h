// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// What a quantized block costs to code, in the model of a sequential Huffman-coded JPEG, which is
// what the rate-distortion search measures against. A block's AC coefficients (zigzag order
// 1..63) are coded as symbols (run, size): the run of zeros before a nonzero coefficient (0..15)
// and the coefficient's magnitude category, followed by `size` extra bits; a run of 16 zeros
// is the symbol ZRL (0xF0), and the zeros after the last nonzero coefficient are the symbol EOB
// (0x00). The DC coefficient is coded as the magnitude category of its difference from the
// previous block's DC, followed by that many extra bits.
//
// The costs come from a first pass: the symbols of the plainly rounded coefficients are
// counted, and a symbol costs the length of its code in the optimal Huffman code for those
// counts. A symbol that pass never used costs one bit more than the longest code.
#pragma once

#include <array>
#include <cstdint>

namespace lumatrim::trellis {

inline constexpr uint8_t kEndOfBlock = 0x00;
inline constexpr uint8_t kZeroRun16 = 0xF0;
inline constexpr int kDcCategories = 12; // differences of 8-bit samples fit 11 bits

struct SymbolCounts {
    std::array<uint32_t, 256> ac{};
    std::array<uint32_t, kDcCategories> dc{};
};

struct SymbolCosts {
    std::array<float, 256> ac{}; // bits of each AC symbol's code, extra bits not included
    std::array<float, kDcCategories> dc{};
};

// Adds the AC symbols of a quantized block (natural order) to `counts`.
void CountAcSymbols(const int16_t block[64], SymbolCounts& counts);

// Adds the DC symbol of a block whose quantized DC is `dc` after a block whose DC was
// `previousDc` (0 at the start of a scan).
void CountDcSymbol(int dc, int previousDc, SymbolCounts& counts);

SymbolCosts CostsFromCounts(const SymbolCounts& counts);

} // namespace lumatrim::trellis
