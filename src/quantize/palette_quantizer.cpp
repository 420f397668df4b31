// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "quantize/palette_quantizer.h"

#include <libimagequant.h>

namespace lumatrim {

struct PaletteQuantizer::Handles {
    liq_attr* attr = nullptr;
    liq_image* image = nullptr;
    liq_result* result = nullptr;
};

PaletteQuantizer::~PaletteQuantizer() {
    Release();
}

void PaletteQuantizer::Release() {
    if (!handles_) return;
    if (handles_->result) liq_result_destroy(handles_->result);
    if (handles_->image) liq_image_destroy(handles_->image);
    if (handles_->attr) liq_attr_destroy(handles_->attr);
    delete handles_;
    handles_ = nullptr;
}

bool PaletteQuantizer::Choose(const uint8_t* rgba, uint32_t width, uint32_t height,
                              int32_t quality) {
    Release();
    if (width == 0 || height == 0 || width > INT32_MAX || height > INT32_MAX) return false;
    handles_ = new Handles;
    handles_->attr = liq_attr_create();
    if (!handles_->attr || liq_set_quality(handles_->attr, 0, quality) != LIQ_OK) return false;
    // A gamma of 0 is the library's sRGB default.
    handles_->image = liq_image_create_rgba(handles_->attr, rgba, static_cast<int>(width),
                                            static_cast<int>(height), 0);
    if (!handles_->image) return false;
    pixels_ = size_t{width} * height;
    return liq_image_quantize(handles_->image, handles_->attr, &handles_->result) == LIQ_OK;
}

std::optional<QuantizedPicture> PaletteQuantizer::Remap(float dithering) {
    if (!handles_ || !handles_->result) return std::nullopt;
    if (liq_set_dithering_level(handles_->result, dithering) != LIQ_OK) return std::nullopt;
    QuantizedPicture out;
    out.indices.resize(pixels_);
    if (liq_write_remapped_image(handles_->result, handles_->image, out.indices.data(),
                                 out.indices.size()) != LIQ_OK)
        return std::nullopt;
    // After the remap: the library refines the palette while it maps.
    const liq_palette* palette = liq_get_palette(handles_->result);
    for (unsigned i = 0; i < palette->count; ++i) {
        const liq_color& c = palette->entries[i];
        out.palette.push_back({c.r, c.g, c.b, c.a});
    }
    return out;
}

} // namespace lumatrim
