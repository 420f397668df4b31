// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// PaletteQuantizer: an RGBA picture reduced to at most 256 RGBA colours by libimagequant
// (median cut refined by k-means, in a perceptual colour space, with alpha as a channel of its
// own, so semi-transparent edges get entries of their own). One palette is chosen, then the
// picture can be mapped onto it with or without Floyd-Steinberg dithering, so a caller can
// keep whichever serves it better.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace lumatrim {

struct QuantizedPicture {
    std::vector<uint8_t> indices;                // one a pixel, rows top to bottom
    std::vector<std::array<uint8_t, 4>> palette; // RGBA, at most 256 entries
};

class PaletteQuantizer {
public:
    PaletteQuantizer() = default;
    PaletteQuantizer(const PaletteQuantizer&) = delete;
    PaletteQuantizer& operator=(const PaletteQuantizer&) = delete;
    ~PaletteQuantizer();

    // `rgba`: width x height pixels of 8-bit RGBA, no padding, alive until the last Remap.
    // `quality`: libimagequant's target, 0 to 100 (100 asks for as many colours as help). False
    // when the library refuses the picture.
    bool Choose(const uint8_t* rgba, uint32_t width, uint32_t height, int32_t quality);
    // The picture on the chosen palette; `dithering` from 0 (none) to 1 (full).
    std::optional<QuantizedPicture> Remap(float dithering);

private:
    void Release();

    struct Handles;
    Handles* handles_ = nullptr;
    size_t pixels_ = 0;
};

} // namespace lumatrim
