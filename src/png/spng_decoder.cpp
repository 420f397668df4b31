// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "png/spng_decoder.h"

#include <spng.h>

#include <memory>

namespace lumatrim::png {

namespace {

struct ContextFree {
    void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};
using Context = std::unique_ptr<spng_ctx, ContextFree>;

DecodeFailure Damaged(int error) {
    return {DecodeFault::Damaged, spng_strerror(error)};
}

} // namespace

std::variant<RgbaPicture, DecodeFailure> DecodeRgba(std::span<const uint8_t> file,
                                                    uint64_t maxPixels) {
    const Context context(spng_ctx_new(0));
    if (!context) return DecodeFailure{DecodeFault::Damaged, "out of memory"};
    spng_ctx* ctx = context.get();
    if (const int error = spng_set_png_buffer(ctx, file.data(), file.size())) return Damaged(error);
    spng_ihdr ihdr{};
    if (const int error = spng_get_ihdr(ctx, &ihdr)) return Damaged(error);
    if (uint64_t{ihdr.width} * ihdr.height > maxPixels)
        return DecodeFailure{DecodeFault::TooLarge, "the picture has too many pixels"};

    RgbaPicture picture;
    picture.width = ihdr.width;
    picture.height = ihdr.height;
    picture.sixteenBit = ihdr.bit_depth == 16;
    const int format = picture.sixteenBit ? SPNG_FMT_RGBA16 : SPNG_FMT_RGBA8;
    size_t size = 0;
    if (const int error = spng_decoded_image_size(ctx, format, &size)) return Damaged(error);
    picture.samples.resize(size);
    if (const int error =
            spng_decode_image(ctx, picture.samples.data(), size, format, SPNG_DECODE_TRNS))
        return Damaged(error);
    return picture;
}

} // namespace lumatrim::png
