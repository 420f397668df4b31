// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/routes/png_lossy.h"

#include "imaging/likeness.h"
#include "png/colour_census.h"
#include "png/png_optimizer.h"
#include "quantize/palette_quantizer.h"

#include <array>
#include <cstring>

namespace lumatrim {

namespace {

// Dithering levels tried, in order, until one keeps the floor: a plain mapping is smaller
// (dithering costs bytes on flat areas), so dithering comes in only where the plain mapping
// bands a gradient beyond the floor.
constexpr std::array<float, 2> kDithering{0.0f, 1.0f};

// 16-bit samples rounded to 8 bits: the quantizer takes 8-bit RGBA, and a palette holds 8 bits.
std::vector<uint8_t> EightBitSamples(const png::RgbaPicture& picture) {
    if (!picture.sixteenBit) return picture.samples;
    std::vector<uint8_t> samples(picture.samples.size() / 2);
    const auto* wide = reinterpret_cast<const uint8_t*>(picture.samples.data());
    for (size_t i = 0; i < samples.size(); ++i) {
        uint16_t value = 0;
        std::memcpy(&value, wide + 2 * i, 2);
        samples[i] = static_cast<uint8_t>((uint32_t{value} * 255 + 32767) / 65535);
    }
    return samples;
}

// Pictures above this many pixels are written at the fast effort: on the public corpus's
// 14.7-megapixel wallpaper the default effort took 20 s more for 16% fewer bytes, where the
// whole corpus's lossy PNGs were already a third of pngquant's bytes.
constexpr uint64_t kFastAbovePixels = uint64_t{1} << 22;

png::PngOptions EncoderOptions(png::PngOptions options, const png::RgbaPicture& picture) {
    if (uint64_t{picture.width} * picture.height > kFastAbovePixels)
        options.effort = png::PngEffort::Fast;
    return options;
}

// The mapped picture as RGBA rows, for the likeness measure.
void Expand(const QuantizedPicture& mapped, std::vector<uint8_t>& rgba) {
    rgba.resize(mapped.indices.size() * 4);
    uint8_t* out = rgba.data();
    for (const uint8_t index : mapped.indices) {
        std::memcpy(out, mapped.palette[index].data(), 4);
        out += 4;
    }
}

png::IndexedPicture Indexed(QuantizedPicture mapped, uint32_t width, uint32_t height) {
    png::IndexedPicture picture;
    picture.width = width;
    picture.height = height;
    picture.indices = std::move(mapped.indices);
    picture.palette.assign(mapped.palette.begin(), mapped.palette.end());
    return picture;
}

} // namespace

std::optional<Candidate> LossyPngCandidate(const png::PngSource& source,
                                           const png::PngOptions& options, int32_t quality,
                                           double floor, uintmax_t losslessBytes) {
    const png::RgbaPicture& picture = source.picture;
    if (!picture.sixteenBit && png::TakeCensus(picture).colours) return std::nullopt;

    const std::vector<uint8_t> samples = EightBitSamples(picture);
    PaletteQuantizer quantizer;
    if (!quantizer.Choose(samples.data(), picture.width, picture.height, quality))
        return std::nullopt;
    const RgbaView original{samples.data(), static_cast<int32_t>(picture.width),
                            static_cast<int32_t>(picture.height), size_t{picture.width} * 4};
    LikenessMeter meter;
    std::vector<uint8_t> rgba;
    for (const float dithering : kDithering) {
        std::optional<QuantizedPicture> mapped = quantizer.Remap(dithering);
        if (!mapped) continue;
        Expand(*mapped, rgba);
        const RgbaView shown{rgba.data(), original.width, original.height, original.stride};
        if (meter.Compare(original, shown) < floor) continue;
        png::PngResult written =
            png::EncodePng(Indexed(std::move(*mapped), picture.width, picture.height),
                           source.chunks, EncoderOptions(options, picture));
        auto* bytes = std::get_if<std::vector<uint8_t>>(&written);
        if (!bytes || bytes->size() >= losslessBytes) return std::nullopt;
        return Candidate{std::move(*bytes), nullptr};
    }
    return std::nullopt;
}

} // namespace lumatrim
