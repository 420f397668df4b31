// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "png/palette_layout.h"

#include "png/row_packing.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace lumatrim::png {

namespace {

// Colour to index, open-addressed like the census's set.
class IndexTable {
public:
    explicit IndexTable(const std::vector<RgbaColour>& palette) {
        for (size_t i = 0; i < palette.size(); ++i) {
            uint32_t packed;
            std::memcpy(&packed, palette[i].data(), 4);
            size_t slot = Slot(packed);
            while (used_[slot])
                slot = (slot + 1) & (kSlots - 1);
            used_[slot] = true;
            keys_[slot] = packed;
            values_[slot] = static_cast<uint8_t>(i);
        }
    }

    uint8_t Find(uint32_t packed) const {
        size_t slot = Slot(packed);
        while (used_[slot] && keys_[slot] != packed)
            slot = (slot + 1) & (kSlots - 1);
        return values_[slot];
    }

private:
    static constexpr int kBits = 10;
    static constexpr size_t kSlots = size_t{1} << kBits;
    static size_t Slot(uint32_t packed) { return (packed * 0x9E3779B1u) >> (32 - kBits); }
    std::array<uint32_t, kSlots> keys_{};
    std::array<uint8_t, kSlots> values_{};
    std::array<bool, kSlots> used_{};
};

std::vector<uint32_t> Popularity(const std::vector<RgbaColour>& colours,
                                 const RgbaPicture& picture) {
    const auto table = std::make_unique<IndexTable>(colours);
    std::vector<uint32_t> counts(colours.size());
    const size_t pixels = size_t{picture.width} * picture.height;
    const uint8_t* bytes = picture.samples.data();
    for (size_t i = 0; i < pixels; ++i) {
        uint32_t packed;
        std::memcpy(&packed, bytes + 4 * i, 4);
        ++counts[table->Find(packed)];
    }
    return counts;
}

} // namespace

uint8_t IndexDepth(size_t colours) {
    if (colours <= 2) return 1;
    if (colours <= 4) return 2;
    if (colours <= 16) return 4;
    return 8;
}

std::vector<RgbaColour> OrderPalette(std::vector<RgbaColour> colours, const RgbaPicture& picture) {
    const std::vector<uint32_t> counts = Popularity(colours, picture);
    std::vector<size_t> order(colours.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const bool opaqueA = colours[a][3] == 255, opaqueB = colours[b][3] == 255;
        if (opaqueA != opaqueB) return opaqueB;
        return counts[a] > counts[b];
    });
    std::vector<RgbaColour> ordered;
    ordered.reserve(colours.size());
    for (const size_t i : order)
        ordered.push_back(colours[i]);
    return ordered;
}

RawImage PaletteLayout(const RgbaPicture& picture, const std::vector<RgbaColour>& palette) {
    RawImage image;
    image.width = picture.width;
    image.height = picture.height;
    image.colourType = kIndexed;
    const size_t pixels = size_t{picture.width} * picture.height;
    image.rows.resize(pixels);
    const auto table = std::make_unique<IndexTable>(palette);
    const uint8_t* bytes = picture.samples.data();
    uint8_t* indices = image.rows.data();
    for (size_t i = 0; i < pixels; ++i) {
        uint32_t packed;
        std::memcpy(&packed, bytes + 4 * i, 4);
        indices[i] = table->Find(packed);
    }
    const uint8_t depth = IndexDepth(palette.size());
    if (depth < 8) PackRows(image, depth);
    size_t alphaEntries = 0;
    for (size_t i = 0; i < palette.size(); ++i) {
        image.plte.insert(image.plte.end(), palette[i].begin(), palette[i].begin() + 3);
        if (palette[i][3] != 255) alphaEntries = i + 1;
    }
    for (size_t i = 0; i < alphaEntries; ++i)
        image.trns.push_back(palette[i][3]);
    return image;
}

} // namespace lumatrim::png
