// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The colour tree behind cPal8bpp::CreateOptimal.
//
// Each pixel descends from the root; at every level each channel's range is split at its
// rounded midpoint, giving one of eight children. Leaves (at depth nLevels) sum the colours
// that reach them. Whenever there are more leaves than nColors, the most recently listed inner
// node of the deepest level is folded into a leaf. Each leaf then gives one palette entry, the
// mean of its pixels, in node-table order. The result depends on the pixel order.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace lumatrim {

class cDIB;

class cOptimalTree {
public:
    struct Colour {
        uint8_t r, g, b;
    };

    // Throws IndexOutOfRangeError unless nColors <= 256 and 1 <= nLevels <= 8.
    cOptimalTree(int32_t nColors, int32_t nLevels, float RWeight, float GWeight, float BWeight);

    // Adds a 32-bit surface's pixels in memory order (bottom row first), folding as it goes.
    // Throws OverflowError when a leaf's sums leave 32 bits.
    void AddPixels(const cDIB& oDIB32);
    // The leaves' rounded mean colours, in node-table order.
    std::vector<Colour> LeafMeans() const;

private:
    struct Node {
        bool IsLeaf = false;
        bool Listed = false; // once put on its level list, never again
        int32_t SumR = 0, SumG = 0, SumB = 0;
        int32_t Pixels = 0;
        std::array<int32_t, 8> Children{}; // slot = bitR + 2 * bitG + 4 * bitB; 0 for none
        int32_t NextNode = 0;              // link in a level list or the free list
    };

    void TreeAddPixel(uint8_t r, uint8_t g, uint8_t b);
    int32_t ChildSlot(uint8_t r, uint8_t g, uint8_t b, std::array<uint8_t, 6>& ranges) const;
    bool TreeReduce();
    int32_t TreeNewNode();
    void TreeFreeNode(int32_t index);

    int32_t nColors_;
    int32_t nLevels_;
    float weights_[3];
    std::vector<Node> nodes_;             // indices from 1; node 1 is the root; 0 means no node
    int32_t nodeCount_ = 1;               // nodes in use, root included
    int32_t freeHead_ = 0;                // released nodes, linked through NextNode
    int32_t leafCount_ = 0;               // leaves holding at least one pixel
    std::array<int32_t, 9> levelHeads_{}; // foldable inner nodes of levels 1..8
};

} // namespace lumatrim
