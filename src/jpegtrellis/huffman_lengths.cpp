// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpegtrellis/huffman_lengths.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <utility>

namespace lumatrim::trellis {

namespace {

// Huffman's construction over the counted symbols; depth of each leaf, unlimited.
std::vector<uint8_t> UnlimitedLengths(std::span<const uint64_t> counts) {
    const size_t symbols = counts.size();
    std::vector<uint8_t> lengths(symbols, 0);
    // Nodes 0..symbols-1 are leaves, the rest joins; parent[] leads each node to the root.
    std::vector<size_t> parent(symbols, SIZE_MAX);
    using Entry = std::pair<uint64_t, size_t>; // weight, node
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> open;
    for (size_t s = 0; s < symbols; ++s)
        if (counts[s] > 0) open.push({counts[s], s});
    if (open.size() == 1) {
        lengths[open.top().second] = 1;
        return lengths;
    }
    while (open.size() > 1) {
        const Entry a = open.top();
        open.pop();
        const Entry b = open.top();
        open.pop();
        const size_t join = parent.size();
        parent.push_back(SIZE_MAX);
        parent[a.second] = parent[b.second] = join;
        open.push({a.first + b.first, join});
    }
    for (size_t s = 0; s < symbols; ++s) {
        if (counts[s] == 0) continue;
        int depth = 0;
        for (size_t node = s; parent[node] != SIZE_MAX; node = parent[node])
            ++depth;
        lengths[s] = static_cast<uint8_t>(std::min(depth, 255));
    }
    return lengths;
}

} // namespace

std::vector<uint8_t> HuffmanCodeLengths(std::span<const uint32_t> counts) {
    std::vector<uint64_t> weights(counts.begin(), counts.end());
    for (;;) {
        std::vector<uint8_t> lengths = UnlimitedLengths(weights);
        if (*std::max_element(lengths.begin(), lengths.end()) <= kMaxCodeLength) return lengths;
        for (uint64_t& weight : weights)
            weight = (weight + 1) / 2;
    }
}

} // namespace lumatrim::trellis
