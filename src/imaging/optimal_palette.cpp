// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "imaging/optimal_palette.h"

#include "imaging/dib.h"
#include "imaging/errors.h"
#include "imaging/pal8bpp.h"
#include "imaging/rounding.h"

#include <climits>

namespace lumatrim {

namespace {

constexpr int32_t kFirstTableBound = 50;

int32_t CheckedSum(int32_t sum, int64_t add) {
    const int64_t result = sum + add;
    if (result > INT32_MAX) throw OverflowError("colour tree sum exceeds 32 bits");
    return static_cast<int32_t>(result);
}

// Splits [min, max] at its rounded midpoint; a value equal to the midpoint goes below.
int32_t SplitBit(uint8_t value, float weight, uint8_t& min, uint8_t& max) {
    const auto mid = static_cast<uint8_t>(RoundHalfEven(min / 2.0 + max / 2.0));
    if (static_cast<float>(value) * weight > mid) {
        min = mid;
        return 1;
    }
    max = mid;
    return 0;
}

} // namespace

cOptimalTree::cOptimalTree(int32_t nColors, int32_t nLevels, float RWeight, float GWeight,
                           float BWeight)
    : nColors_(nColors), nLevels_(nLevels), weights_{RWeight, GWeight, BWeight},
      nodes_(kFirstTableBound + 1) {
    if (nColors > 256) throw IndexOutOfRangeError("more than 256 colours asked of a palette");
    if (nLevels < 1 || nLevels > 8) throw IndexOutOfRangeError("colour tree depth out of range");
}

void cOptimalTree::AddPixels(const cDIB& oDIB32) {
    for (int32_t y = 0; y < oDIB32.Height(); ++y) {
        const uint8_t* row = oDIB32.lpBits() + static_cast<size_t>(y) * oDIB32.BytesPerScanline();
        for (int32_t x = 0; x < oDIB32.Width(); ++x, row += 4) {
            TreeAddPixel(row[2], row[1], row[0]);
            while (leafCount_ > nColors_ && TreeReduce()) {
            }
        }
    }
}

int32_t cOptimalTree::ChildSlot(uint8_t r, uint8_t g, uint8_t b,
                                std::array<uint8_t, 6>& ranges) const {
    const int32_t bitR = SplitBit(r, weights_[0], ranges[0], ranges[1]);
    const int32_t bitG = SplitBit(g, weights_[1], ranges[2], ranges[3]);
    const int32_t bitB = SplitBit(b, weights_[2], ranges[4], ranges[5]);
    return bitR + 2 * bitG + 4 * bitB;
}

void cOptimalTree::TreeAddPixel(uint8_t r, uint8_t g, uint8_t b) {
    std::array<uint8_t, 6> ranges = {0, 255, 0, 255, 0, 255}; // min and max of red, green, blue
    int32_t node = 1;
    for (int32_t level = 1;; ++level) {
        const auto slot = static_cast<size_t>(ChildSlot(r, g, b, ranges));
        int32_t child = nodes_[static_cast<size_t>(node)].Children[slot];
        if (child == 0) {
            child = TreeNewNode(); // may grow the table: index afresh afterwards
            nodes_[static_cast<size_t>(node)].Children[slot] = child;
            Node& fresh = nodes_[static_cast<size_t>(child)];
            fresh.NextNode = 0;
            fresh.IsLeaf = level == nLevels_;
            fresh.SumR = fresh.SumG = fresh.SumB = fresh.Pixels = 0;
        }
        Node& c = nodes_[static_cast<size_t>(child)];
        if (c.IsLeaf) {
            if (c.Pixels == 0) ++leafCount_;
            c.Pixels = CheckedSum(c.Pixels, 1);
            c.SumR = CheckedSum(c.SumR, r);
            c.SumG = CheckedSum(c.SumG, g);
            c.SumB = CheckedSum(c.SumB, b);
            return;
        }
        if (!c.Listed) {
            c.NextNode = levelHeads_[static_cast<size_t>(level)];
            levelHeads_[static_cast<size_t>(level)] = child;
            c.Listed = true;
        }
        node = child;
    }
}

bool cOptimalTree::TreeReduce() {
    int32_t level = nLevels_;
    while (level >= 1 && levelHeads_[static_cast<size_t>(level)] == 0)
        --level;
    if (level < 1) return false;
    const int32_t index = levelHeads_[static_cast<size_t>(level)];
    Node& node = nodes_[static_cast<size_t>(index)];
    levelHeads_[static_cast<size_t>(level)] = node.NextNode;

    // Deeper lists are empty, so every child is a leaf.
    int64_t sumR = 0, sumG = 0, sumB = 0, pixels = 0;
    for (int32_t& child : node.Children) {
        if (child == 0) continue;
        const Node& leaf = nodes_[static_cast<size_t>(child)];
        sumR += leaf.SumR;
        sumG += leaf.SumG;
        sumB += leaf.SumB;
        pixels += leaf.Pixels;
        TreeFreeNode(child);
        --leafCount_;
        child = 0;
    }
    node.SumR = CheckedSum(0, sumR);
    node.SumG = CheckedSum(0, sumG);
    node.SumB = CheckedSum(0, sumB);
    node.Pixels = CheckedSum(0, pixels);
    node.IsLeaf = true;
    ++leafCount_;
    return true;
}

int32_t cOptimalTree::TreeNewNode() {
    ++nodeCount_;
    if (freeHead_ != 0) {
        const int32_t index = freeHead_;
        Node& node = nodes_[static_cast<size_t>(index)];
        freeHead_ = node.NextNode;
        node.Children.fill(0);
        return index;
    }
    const int32_t upperBound = static_cast<int32_t>(nodes_.size()) - 1;
    if (nodeCount_ > upperBound) // grow by a tenth, keeping the contents
        nodes_.resize(static_cast<size_t>(RoundHalfEven(1.1 * nodeCount_)) + 1);
    return nodeCount_;
}

void cOptimalTree::TreeFreeNode(int32_t index) {
    Node& node = nodes_[static_cast<size_t>(index)];
    node.NextNode = freeHead_;
    freeHead_ = index;
    node.IsLeaf = false;
    node.Listed = false;
    --nodeCount_;
}

std::vector<cOptimalTree::Colour> cOptimalTree::LeafMeans() const {
    std::vector<Colour> means;
    for (size_t i = 1; i < nodes_.size(); ++i) {
        const Node& node = nodes_[i];
        if (!node.IsLeaf) continue;
        const double pixels = node.Pixels;
        means.push_back({static_cast<uint8_t>(RoundHalfEven(node.SumR / pixels)),
                         static_cast<uint8_t>(RoundHalfEven(node.SumG / pixels)),
                         static_cast<uint8_t>(RoundHalfEven(node.SumB / pixels))});
    }
    return means;
}

void cPal8bpp::CreateOptimal(const cDIB& oDIB32, int32_t nColors, int32_t nLevels, float RWeight,
                             float GWeight, float BWeight) {
    cOptimalTree tree(nColors, nLevels, RWeight, GWeight, BWeight);
    if (oDIB32.BPP() != 32) return;
    tree.AddPixels(oDIB32);
    const std::vector<cOptimalTree::Colour> means = tree.LeafMeans();
    Initialize(0);
    for (size_t i = 0; i < means.size(); ++i)
        SetEntry(static_cast<int32_t>(i), means[i].r, means[i].g, means[i].b);
    SetEntries(static_cast<int32_t>(means.size()));
    BuildLogicalPalette();
}

} // namespace lumatrim
