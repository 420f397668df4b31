// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Masked drawing: the mask (bit 1 = transparent, table black/white) is drawn with AND, which
// keeps the target under transparent pixels and clears it under opaque ones; the index surface,
// whose transparent entry is black, is then drawn with OR.
//
// Frame surfaces hold the frame's top row first in memory, while blits take the first memory
// row as the bottom of a picture. Frames are presented upright: FrameDraw blits with a negative
// target height (a vertical mirror), FrameImage copies the rows in reverse.
#include "gif/gif.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace lumatrim {

namespace {

constexpr std::array<uint8_t, 8> kBlackWhite{0, 0, 0, 0, 255, 255, 255, 0};

int32_t RoundHalfEven(float value) {
    return static_cast<int32_t>(std::nearbyint(value));
}

// Bit 1 exactly where the index equals `transparent`; the leftmost pixel in the high bit.
void BuildMask(const cDIB& indices, cDIB& mask, uint8_t transparent) {
    const int32_t width = std::min(indices.Width(), mask.Width());
    const int32_t height = std::min(indices.Height(), mask.Height());
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* src =
            indices.lpBits() + static_cast<ptrdiff_t>(y) * indices.BytesPerScanline();
        uint8_t* dst = mask.lpBits() + static_cast<ptrdiff_t>(y) * mask.BytesPerScanline();
        for (int32_t x = 0; x < width; x += 8) {
            const int32_t count = std::min(8, width - x);
            uint8_t bits = 0;
            for (int32_t b = 0; b < count; ++b)
                bits |= static_cast<uint8_t>((src[x + b] == transparent) << (7 - b));
            dst[x / 8] = bits;
        }
    }
}

} // namespace

void cGIF::FrameMask(int32_t nFrame, uint8_t TransparentColorIndex) {
    Frame& frame = At(nFrame);
    cDIB& indices = *frame.dibXOR;
    cDIB& mask = *frame.dibAND;
    ColorTable1024 shown = frame.palette;
    mask.SetPalette(kBlackWhite);
    if (mask.hDIB()) std::memset(mask.lpBits(), 0, static_cast<size_t>(mask.Size()));
    if (frame.useTransparent) {
        std::fill_n(&shown[size_t{TransparentColorIndex} * 4], 3, uint8_t{0});
        if (indices.hDIB() && mask.hDIB() && indices.BPP() == 8 && mask.BPP() == 1)
            BuildMask(indices, mask, TransparentColorIndex);
    }
    indices.SetPalette(shown);
}

void cGIF::FrameDraw(hDC hdc, int32_t nFrame, int16_t Left, int16_t Top, float ScaleFactor,
                     bool ScreenCrop) const {
    const Frame& frame = At(nFrame);
    const cDIB& indices = *frame.dibXOR;
    int32_t w = indices.Width();
    int32_t h = indices.Height();
    if (ScreenCrop) {
        if (frame.left + w > screenWidth_) w = screenWidth_ - frame.left;
        if (frame.top + h > screenHeight_) h = screenHeight_ - frame.top;
    }
    // A surface reads a source size below 1 as its whole size: nothing to draw must stop here.
    if (w <= 0 || h <= 0) return;
    const int32_t x = RoundHalfEven(static_cast<float>(Left) + frame.left * ScaleFactor);
    const int32_t y = RoundHalfEven(static_cast<float>(Top) + frame.top * ScaleFactor);
    const int32_t width = RoundHalfEven(static_cast<float>(w) * ScaleFactor);
    const int32_t height = RoundHalfEven(static_cast<float>(h) * ScaleFactor);
    // The frame's top h rows are the last h rows of the surface as a picture.
    const int32_t sourceTop = indices.Height() - h;
    if (frame.useTransparent) {
        frame.dibAND->Stretch(hdc, x, y + height, width, -height, 0, sourceTop, w, h, SRCAND);
        indices.Stretch(hdc, x, y + height, width, -height, 0, sourceTop, w, h, SRCPAINT);
    } else {
        indices.Stretch(hdc, x, y + height, width, -height, 0, sourceTop, w, h, SRCCOPY);
    }
}

std::unique_ptr<StdPicture> cGIF::FrameImage(int32_t nFrame) const {
    const Frame& frame = At(nFrame);
    const cDIB& indices = *frame.dibXOR;
    cDIB upright;
    if (!indices.hDIB() || !upright.Create(indices.Width(), indices.Height(), indices.BPP()))
        return nullptr;
    // A transparent frame's surface shows its transparent entry black; the picture shows the
    // true colour. The frame's own surface is left as it is.
    if (frame.useTransparent && indices.BPP() == 8)
        upright.SetPalette(frame.palette);
    else
        upright.SetPalette(indices.ColorTable());
    const auto stride = static_cast<size_t>(indices.BytesPerScanline());
    for (int32_t y = 0; y < indices.Height(); ++y)
        std::memcpy(upright.lpBits() + (indices.Height() - 1 - y) * stride,
                    indices.lpBits() + y * stride, stride);
    return upright.Image();
}

} // namespace lumatrim
