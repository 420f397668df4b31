// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "png/colour_census.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>

namespace lumatrim::png {

namespace {

// Distinct RGBA values, counted up to 257 in an open-addressed table: a picture with more has
// no palette, so the count can stop there.
class ColourSet {
public:
    static constexpr size_t kLimit = 256;

    // False once there are more than kLimit colours.
    bool Add(uint32_t colour) {
        size_t slot = (colour * 0x9E3779B1u) >> (32 - kBits);
        while (used_[slot]) {
            if (slots_[slot] == colour) return true;
            slot = (slot + 1) & (kSlots - 1);
        }
        if (count_ == kLimit) return false;
        used_[slot] = true;
        slots_[slot] = colour;
        ++count_;
        return true;
    }

    std::vector<RgbaColour> Colours() const {
        std::vector<RgbaColour> colours;
        for (size_t slot = 0; slot < kSlots; ++slot) {
            if (!used_[slot]) continue;
            RgbaColour colour;
            std::memcpy(colour.data(), &slots_[slot], 4);
            colours.push_back(colour);
        }
        return colours;
    }

private:
    static constexpr int kBits = 10;
    static constexpr size_t kSlots = size_t{1} << kBits;
    std::array<uint32_t, kSlots> slots_{};
    std::array<bool, kSlots> used_{};
    size_t count_ = 0;
};

// The smallest depth whose levels, scaled to 8 bits as decoders scale them, are all of `seen`.
uint8_t SmallestGreyDepth(const std::array<bool, 256>& seen) {
    for (const uint8_t depth : {1, 2, 4}) {
        const uint32_t step = 255 / ((1u << depth) - 1);
        bool fits = true;
        for (uint32_t level = 0; level < 256 && fits; ++level)
            fits = !seen[level] || level % step == 0;
        if (fits) return depth;
    }
    return 8;
}

template <typename Sample>
void ScanPixels(const Sample* pixel, size_t count, ColourCensus& census, ColourSet* colours,
                std::array<bool, 256>& greyLevels) {
    constexpr Sample kMax = static_cast<Sample>(~Sample{0});
    bool grey = true, opaque = true, binaryAlpha = true, keyUnique = true, counting = colours;
    bool haveKey = false;
    std::array<Sample, 3> key{};
    uint32_t previous = 0;
    bool havePrevious = false;
    for (size_t i = 0; i < count; ++i, pixel += 4) {
        const Sample r = pixel[0], g = pixel[1], b = pixel[2], a = pixel[3];
        grey = grey && r == g && g == b;
        if constexpr (sizeof(Sample) == 1) greyLevels[r] = true;
        opaque = opaque && a == kMax;
        binaryAlpha = binaryAlpha && (a == 0 || a == kMax);
        if (a == 0) {
            if (!haveKey) key = {r, g, b}, haveKey = true;
            keyUnique = keyUnique && key[0] == r && key[1] == g && key[2] == b;
        }
        if constexpr (sizeof(Sample) == 1) {
            if (counting) {
                uint32_t packed;
                std::memcpy(&packed, pixel, 4);
                if (!havePrevious || packed != previous) counting = colours->Add(packed);
                previous = packed, havePrevious = true;
            }
        }
    }
    census.grey = grey;
    census.opaque = opaque;
    census.binaryAlpha = binaryAlpha;
    if (haveKey && keyUnique && binaryAlpha) census.keyColour = {key[0], key[1], key[2]};
    if (counting && colours) census.colours = colours->Colours();
}

// A key colour stands for transparency only when no opaque pixel has it.
template <typename Sample>
bool KeyIsFree(const Sample* pixel, size_t count, const std::array<uint16_t, 3>& key) {
    for (size_t i = 0; i < count; ++i, pixel += 4)
        if (pixel[3] != 0 && pixel[0] == key[0] && pixel[1] == key[1] && pixel[2] == key[2])
            return false;
    return true;
}

} // namespace

bool FitsEightBits(const RgbaPicture& picture) {
    if (!picture.sixteenBit) return true;
    const auto* sample = reinterpret_cast<const uint16_t*>(picture.samples.data());
    const size_t count = picture.samples.size() / 2;
    uint16_t differs = 0;
    for (size_t i = 0; i < count; ++i)
        differs |= (sample[i] >> 8) ^ (sample[i] & 0xff);
    return differs == 0;
}

void ToEightBits(RgbaPicture& picture) {
    const size_t count = picture.samples.size() / 2;
    uint8_t* bytes = picture.samples.data();
    for (size_t i = 0; i < count; ++i) {
        uint16_t sample;
        std::memcpy(&sample, bytes + 2 * i, 2);
        bytes[i] = static_cast<uint8_t>(sample);
    }
    picture.samples.resize(count);
    picture.samples.shrink_to_fit();
    picture.sixteenBit = false;
}

ColourCensus TakeCensus(const RgbaPicture& picture) {
    ColourCensus census;
    const size_t pixels = size_t{picture.width} * picture.height;
    std::array<bool, 256> greyLevels{};
    if (picture.sixteenBit) {
        const auto* samples = reinterpret_cast<const uint16_t*>(picture.samples.data());
        ScanPixels(samples, pixels, census, nullptr, greyLevels);
        if (census.keyColour && !KeyIsFree(samples, pixels, *census.keyColour))
            census.keyColour.reset();
        census.greyDepth = 16;
        return census;
    }
    auto colours = std::make_unique<ColourSet>();
    ScanPixels(picture.samples.data(), pixels, census, colours.get(), greyLevels);
    if (census.keyColour && !KeyIsFree(picture.samples.data(), pixels, *census.keyColour))
        census.keyColour.reset();
    census.greyDepth = census.grey ? SmallestGreyDepth(greyLevels) : 8;
    return census;
}

} // namespace lumatrim::png
