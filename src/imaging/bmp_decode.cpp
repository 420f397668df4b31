// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// DecodeBmp: flat row loops over pixel data that ReadBmpLayout has checked, so nothing here
// tests for the end of the data.
#include "imaging/bmp_reader.h"

#include "imaging/bmp_rle.h"
#include "imaging/dib.h"

#include <bit>
#include <cstring>

namespace lumatrim {

namespace {

// A 32-bit surface pixel from 0x00RRGGBB: blue, green, red, 0 in memory.
void Put(uint8_t* pixel, uint32_t colour) {
    std::memcpy(pixel, &colour, 4);
}

// Row `row` of the file, counted in file order, in the surface (bottom row first).
uint8_t* SurfaceRow(cDIB& picture, const BmpLayout& layout, int32_t row) {
    const int32_t bottomUp = layout.topDown ? layout.height - 1 - row : row;
    return picture.lpBits() + static_cast<size_t>(bottomUp) * picture.BytesPerScanline();
}

size_t FileStride(const BmpLayout& layout) {
    return (static_cast<size_t>(layout.width) * layout.bitsPerPixel + 31) / 32 * 4;
}

void DecodeIndexedRows(const uint8_t* data, const BmpLayout& layout, cDIB& picture) {
    const auto& colours = layout.colours;
    const int32_t bpp = layout.bitsPerPixel;
    const uint32_t indexMask = (1u << bpp) - 1;
    const size_t stride = FileStride(layout);
    for (int32_t row = 0; row < layout.height; ++row, data += stride) {
        uint8_t* out = SurfaceRow(picture, layout, row);
        if (bpp == 8) {
            for (int32_t x = 0; x < layout.width; ++x)
                Put(out + 4 * x, colours[data[x]]);
            continue;
        }
        for (int32_t x = 0; x < layout.width; ++x) {
            const uint32_t bit = static_cast<uint32_t>(x * bpp);
            Put(out + 4 * x, colours[(data[bit >> 3] >> (8 - bpp - (bit & 7))) & indexMask]);
        }
    }
}

// One mask's bits as an 8-bit channel: the top 8 of a wider field, or a narrower field scaled
// to 0..255 with rounding. An empty mask reads 0.
class ChannelReader {
public:
    explicit ChannelReader(uint32_t mask) {
        if (mask == 0) return;
        shift_ = static_cast<uint32_t>(std::countr_zero(mask));
        int32_t bits = std::popcount(mask);
        if (bits > 8) {
            shift_ += static_cast<uint32_t>(bits - 8);
            bits = 8;
        }
        keep_ = (1u << bits) - 1;
        for (uint32_t value = 0; value <= keep_; ++value)
            scale_[value] = static_cast<uint8_t>((value * 255 + keep_ / 2) / keep_);
    }

    uint32_t operator()(uint32_t pixel) const { return scale_[(pixel >> shift_) & keep_]; }

private:
    uint32_t shift_ = 0;
    uint32_t keep_ = 0;
    std::array<uint8_t, 256> scale_{};
};

// Returns the AND of every pixel's alpha (255 when all are opaque).
template <int Bytes>
uint32_t DecodeMaskedRows(const uint8_t* data, const BmpLayout& layout, cDIB& picture) {
    const ChannelReader red(layout.masks[0]), green(layout.masks[1]), blue(layout.masks[2]),
        alpha(layout.masks[3]);
    const size_t stride = FileStride(layout);
    uint32_t allAlpha = 255;
    for (int32_t row = 0; row < layout.height; ++row, data += stride) {
        uint8_t* out = SurfaceRow(picture, layout, row);
        const uint8_t* in = data;
        for (int32_t x = 0; x < layout.width; ++x, in += Bytes) {
            uint32_t pixel = 0;
            std::memcpy(&pixel, in, Bytes); // little-endian, as the file has it
            Put(out + 4 * x, blue(pixel) | green(pixel) << 8 | red(pixel) << 16);
            allAlpha &= alpha(pixel);
        }
    }
    return allAlpha;
}

void Decode24BitRows(const uint8_t* data, const BmpLayout& layout, cDIB& picture) {
    const size_t stride = FileStride(layout);
    for (int32_t row = 0; row < layout.height; ++row, data += stride) {
        uint8_t* out = SurfaceRow(picture, layout, row);
        for (int32_t x = 0; x < layout.width; ++x) {
            const uint8_t* in = data + 3 * x;
            Put(out + 4 * x, in[0] | uint32_t{in[1]} << 8 | uint32_t{in[2]} << 16);
        }
    }
}

// Whether a browser may show a pixel other than opaque.
bool DecodeDirectRows(const uint8_t* data, const BmpLayout& layout, cDIB& picture) {
    if (layout.bitsPerPixel == 24) {
        Decode24BitRows(data, layout, picture);
        return false;
    }
    const uint32_t allAlpha = layout.bitsPerPixel == 16
                                  ? DecodeMaskedRows<2>(data, layout, picture)
                                  : DecodeMaskedRows<4>(data, layout, picture);
    return layout.masks[3] != 0 && allAlpha != 255;
}

// Paints runs into the surface; the walk keeps them inside the picture.
class RlePainter {
public:
    RlePainter(const BmpLayout& layout, cDIB& picture)
        : layout_(layout), picture_(picture), rle4_(layout.encoding == BmpEncoding::Rle4) {}

    void Fill(int32_t row, int32_t x, int32_t count, uint8_t code) {
        const auto& colours = layout_.colours;
        const uint32_t even = colours[rle4_ ? code >> 4 : code];
        const uint32_t odd = colours[rle4_ ? code & 15 : code];
        uint8_t* out = SurfaceRow(picture_, layout_, row) + 4 * static_cast<size_t>(x);
        for (int32_t i = 0; i < count; ++i)
            Put(out + 4 * i, (i & 1) ? odd : even);
    }

    void Copy(int32_t row, int32_t x, int32_t count, const uint8_t* indices) {
        const auto& colours = layout_.colours;
        uint8_t* out = SurfaceRow(picture_, layout_, row) + 4 * static_cast<size_t>(x);
        if (!rle4_) {
            for (int32_t i = 0; i < count; ++i)
                Put(out + 4 * i, colours[indices[i]]);
            return;
        }
        for (int32_t i = 0; i < count; ++i)
            Put(out + 4 * i, colours[(indices[i >> 1] >> ((i & 1) ? 0 : 4)) & 15]);
    }

private:
    const BmpLayout& layout_;
    cDIB& picture_;
    bool rle4_;
};

} // namespace

bool DecodeBmp(std::span<const uint8_t> file, const BmpLayout& layout, cDIB& picture,
               bool& transparent) {
    transparent = layout.leavesPixelsOut;
    if (!picture.Create(layout.width, layout.height, 32)) return false;
    const uint8_t* data = file.data() + layout.pixelOffset;
    switch (layout.encoding) {
    case BmpEncoding::Indexed:
        DecodeIndexedRows(data, layout, picture);
        break;
    case BmpEncoding::Direct:
        transparent = DecodeDirectRows(data, layout, picture);
        break;
    case BmpEncoding::Rle8:
    case BmpEncoding::Rle4: {
        RlePainter painter(layout, picture);
        bmp::WalkRle(file.subspan(layout.pixelOffset), layout.width, layout.height,
                     layout.encoding == BmpEncoding::Rle4, painter);
        break;
    }
    }
    return true;
}

} // namespace lumatrim
