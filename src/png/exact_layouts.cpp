// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "png/exact_layouts.h"

#include "png/colour_census.h"
#include "png/palette_layout.h"
#include "png/row_packing.h"

#include <cstring>

namespace lumatrim::png {

namespace {

uint8_t DirectColourType(const ColourCensus& census) {
    const bool alpha = !census.opaque && !census.keyColour;
    if (census.grey) return alpha ? kGreyAlpha : kGrey;
    return alpha ? kTruecolourAlpha : kTruecolour;
}

void AppendBigEndian16(std::vector<uint8_t>& bytes, uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value >> 8));
    bytes.push_back(static_cast<uint8_t>(value));
}

// The source's channels for each sample of the layout: grey is taken from red.
std::vector<uint32_t> ChannelMap(uint8_t colourType) {
    switch (colourType) {
    case kGrey:
        return {0};
    case kGreyAlpha:
        return {0, 3};
    case kTruecolour:
        return {0, 1, 2};
    default:
        return {0, 1, 2, 3};
    }
}

// Moves the kept channels of every pixel forward in the same memory: a pixel's output never
// lies past its input.
void KeepChannels(RgbaPicture& picture, const std::vector<uint32_t>& channels) {
    const size_t pixels = size_t{picture.width} * picture.height;
    const size_t kept = channels.size();
    uint8_t* bytes = picture.samples.data();
    if (!picture.sixteenBit) {
        for (size_t i = 0; i < pixels; ++i)
            for (size_t c = 0; c < kept; ++c)
                bytes[i * kept + c] = bytes[i * 4 + channels[c]];
        picture.samples.resize(pixels * kept);
        return;
    }
    for (size_t i = 0; i < pixels; ++i) {
        uint16_t pixel[4];
        std::memcpy(pixel, bytes + i * 8, 8);
        for (size_t c = 0; c < kept; ++c) {
            bytes[(i * kept + c) * 2] = static_cast<uint8_t>(pixel[channels[c]] >> 8);
            bytes[(i * kept + c) * 2 + 1] = static_cast<uint8_t>(pixel[channels[c]]);
        }
    }
    picture.samples.resize(pixels * kept * 2);
}

RawImage DirectLayout(RgbaPicture picture, const ColourCensus& census) {
    RawImage image;
    image.width = picture.width;
    image.height = picture.height;
    image.colourType = DirectColourType(census);
    image.bitDepth = picture.sixteenBit ? 16 : 8;
    KeepChannels(picture, ChannelMap(image.colourType));
    image.rows = std::move(picture.samples);
    uint8_t greyDepth = 8;
    if (image.colourType == kGrey && image.bitDepth == 8 && census.greyDepth < 8) {
        greyDepth = census.greyDepth;
        const uint8_t step = static_cast<uint8_t>(255 / ((1u << greyDepth) - 1));
        for (uint8_t& level : image.rows)
            level = static_cast<uint8_t>(level / step);
        PackRows(image, greyDepth);
    }
    image.rows.shrink_to_fit();
    if (census.keyColour && !census.opaque) {
        const auto& key = *census.keyColour;
        const uint16_t scale =
            static_cast<uint16_t>(greyDepth < 8 ? 255 / ((1u << greyDepth) - 1) : 1);
        if (image.colourType == kGrey)
            AppendBigEndian16(image.trns, key[0] / scale);
        else
            for (const uint16_t sample : key)
                AppendBigEndian16(image.trns, sample);
    }
    return image;
}

// A grey picture at no more bits than its palette would need is smaller without the palette.
bool PaletteWorthTrying(const ColourCensus& census) {
    if (!census.colours) return false;
    const bool greyWithoutAlpha = census.grey && (census.opaque || census.keyColour);
    return !greyWithoutAlpha || census.greyDepth > IndexDepth(census.colours->size());
}

// A tRNS colour key costs a 14-byte chunk that an alpha channel does without, and on a small
// picture the channel compresses to less than that (a 17 x 15 two-colour icon: 7 bytes
// smaller as grey and alpha than as a keyed grey), so small keyed pictures try both.
constexpr size_t kAlphaBesideKeyPixels = size_t{1} << 16;

} // namespace

std::vector<RawImage> ExactLayouts(RgbaPicture picture) {
    if (picture.sixteenBit && FitsEightBits(picture)) ToEightBits(picture);
    const ColourCensus census = TakeCensus(picture);
    std::vector<RawImage> layouts;
    if (PaletteWorthTrying(census))
        layouts.push_back(PaletteLayout(picture, OrderPalette(*census.colours, picture)));
    if (census.keyColour && !census.opaque &&
        size_t{picture.width} * picture.height <= kAlphaBesideKeyPixels) {
        ColourCensus withAlpha = census;
        withAlpha.keyColour.reset();
        layouts.push_back(DirectLayout(picture, withAlpha));
    }
    layouts.push_back(DirectLayout(std::move(picture), census));
    return layouts;
}

} // namespace lumatrim::png
