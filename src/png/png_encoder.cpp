// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// EncodePng: exact layouts of the picture, the smallest encoding of them, and the file.

#include "png/encode_plan.h"
#include "png/exact_layouts.h"
#include "png/picture_encoder.h"
#include "png/png_optimizer.h"
#include "png/png_writer.h"

#include <cstring>

namespace lumatrim::png {

namespace {

PngRefusal Stopped() {
    return {PngDecline::Stopped, "stopped"};
}

bool Consistent(const RgbaPicture& picture) {
    const size_t bytesPerPixel = picture.sixteenBit ? 8 : 4;
    return picture.width > 0 && picture.height > 0 && picture.width <= 0x7fffffff &&
           picture.height <= 0x7fffffff &&
           picture.samples.size() / bytesPerPixel / picture.width == picture.height &&
           picture.samples.size() % (bytesPerPixel * picture.width) == 0;
}

} // namespace

PngResult EncodePng(const RgbaPicture& picture, std::span<const PngChunk> chunks,
                    const PngOptions& options) {
    if (!Consistent(picture)) return PngRefusal{PngDecline::Unsupported, "inconsistent picture"};
    RgbaPicture copy = picture;
    return EncodeOwnedPicture(std::move(copy), chunks, options);
}

PngResult EncodeOwnedPicture(RgbaPicture picture, std::span<const PngChunk> chunks,
                             const PngOptions& options) {
    if (!Consistent(picture)) return PngRefusal{PngDecline::Unsupported, "inconsistent picture"};
    std::vector<RawImage> layouts = ExactLayouts(std::move(picture));
    if (options.stop.stop_requested()) return Stopped();
    std::optional<EncodedImage> encoded = EncodeSmallest(layouts, options.effort, options.stop);
    if (!encoded) return Stopped();
    return WritePng(layouts[encoded->layout], encoded->zlib, chunks);
}

PngResult EncodePng(const IndexedPicture& picture, std::span<const PngChunk> chunks,
                    const PngOptions& options) {
    const size_t pixels = size_t{picture.width} * picture.height;
    if (picture.indices.size() != pixels || picture.palette.empty() || picture.palette.size() > 256)
        return PngRefusal{PngDecline::Unsupported, "inconsistent picture"};
    RgbaPicture rgba{picture.width, picture.height, false, std::vector<uint8_t>(pixels * 4)};
    for (size_t i = 0; i < pixels; ++i) {
        const uint8_t index = picture.indices[i];
        if (index >= picture.palette.size())
            return PngRefusal{PngDecline::Unsupported, "an index past the palette"};
        std::memcpy(rgba.samples.data() + 4 * i, picture.palette[index].data(), 4);
    }
    return EncodeOwnedPicture(std::move(rgba), chunks, options);
}

} // namespace lumatrim::png
