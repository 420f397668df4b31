// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The quantization tables a JPEG file should carry at a quality, and the ones it does carry.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace lumatrim::test {

// The example tables of the JPEG standard (Annex K) in zigzag order, as a file stores them.
constexpr std::array<int, 64> kLuminance = {
    16, 11, 12,  14,  12,  10, 16, 14,  13,  14,  18,  17,  16, 19,  24,  40,
    26, 24, 22,  22,  24,  49, 35, 37,  29,  40,  58,  51,  61, 60,  57,  51,
    56, 55, 64,  72,  92,  78, 64, 68,  87,  69,  55,  56,  80, 109, 81,  87,
    95, 98, 103, 104, 103, 62, 77, 113, 121, 112, 100, 120, 92, 101, 103, 99};
constexpr std::array<int, 64> kChrominance = {
    17, 18, 18, 24, 21, 24, 47, 26, 26, 47, 99, 66, 56, 66, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

// A reference encoder's table at `quality`: scaled by 5000 / q below 50, else 200 - 2q percent.
inline std::vector<uint16_t> ReferenceTable(const std::array<int, 64>& base, int quality) {
    const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    std::vector<uint16_t> table;
    for (const int value : base)
        table.push_back(static_cast<uint16_t>(std::clamp((value * scale + 50) / 100, 1, 255)));
    return table;
}

// The quantization tables of the file's DQT segments (8 or 16 bits a value), in table-number
// order.
inline std::vector<std::vector<uint16_t>> QuantizationTables(const std::vector<uint8_t>& file) {
    std::map<int, std::vector<uint16_t>> tables;
    for (size_t at = 2; at + 4 <= file.size() && file[at] == 0xFF && file[at + 1] != 0xDA;) {
        const size_t end = at + 2 + (size_t{file[at + 2]} << 8 | file[at + 3]);
        for (size_t t = at + 4; file[at + 1] == 0xDB && t < end && end <= file.size();) {
            const bool wide = file[t] >> 4;
            std::vector<uint16_t>& table = tables[file[t] & 0x0F];
            table.clear();
            for (size_t k = 0; k < 64; ++k)
                table.push_back(wide ? uint16_t(file[t + 1 + 2 * k] << 8 | file[t + 2 + 2 * k])
                                     : file[t + 1 + k]);
            t += 1 + (wide ? 128 : 64);
        }
        at = end;
    }
    std::vector<std::vector<uint16_t>> ordered;
    for (auto& [number, table] : tables)
        ordered.push_back(table);
    return ordered;
}

} // namespace lumatrim::test
