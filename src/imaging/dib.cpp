// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "imaging/dib.h"

#include "imaging/errors.h"
#include "imaging/rounding.h"

#include <cstdlib>
#include <cstring>

namespace lumatrim {

namespace {

bool IsSupportedDepth(int32_t bpp) {
    return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
}

} // namespace

void cDIB::FreeBits::operator()(uint8_t* p) const {
    std::free(p);
}

bool cDIB::Create(int32_t NewWidth, int32_t NewHeight, int32_t Newbpp) {
    Destroy();
    const int64_t rowBits = int64_t{NewWidth} * Newbpp;
    if (rowBits > 0x7FFFFFE0) throw OverflowError("surface row too wide");
    const int64_t stride = ((rowBits + 31) / 32) * 4;
    const int64_t size = stride * NewHeight;
    if (size > INT32_MAX) throw OverflowError("surface too large");
    if (NewWidth <= 0 || NewHeight <= 0 || !IsSupportedDepth(Newbpp)) return false;

    // calloc: new pixel memory reads as zero bytes, and large blocks come lazily zeroed.
    bits_.reset(static_cast<uint8_t*>(std::calloc(static_cast<size_t>(size), 1)));
    if (!bits_) return false;
    width_ = NewWidth;
    height_ = NewHeight;
    bpp_ = Newbpp;
    stride_ = static_cast<int32_t>(stride);
    size_ = static_cast<int32_t>(size);
    table_.fill(0);
    return true;
}

void cDIB::Destroy() {
    bits_.reset();
    width_ = height_ = bpp_ = stride_ = size_ = 0;
}

void cDIB::CloneTo(cDIB& oDIB) const {
    if (&oDIB == this) return;
    if (!hDIB()) {
        oDIB.Destroy();
        return;
    }
    if (!oDIB.Create(width_, height_, bpp_)) return;
    std::memcpy(oDIB.table_.data(), table_.data(), TableBytes());
    std::memcpy(oDIB.lpBits(), lpBits(), static_cast<size_t>(size_));
}

void cDIB::SetPalette(std::span<const uint8_t> Palette) {
    if (!hDIB() || bpp_ > 8) return;
    const size_t bytes = std::min(Palette.size() / 4 * 4, TableBytes());
    std::memcpy(table_.data(), Palette.data(), bytes);
}

void cDIB::GetPalette(std::vector<uint8_t>& Palette) const {
    if (!hDIB() || bpp_ > 8) return;
    Palette.assign(table_.begin(), table_.begin() + static_cast<ptrdiff_t>(TableBytes()));
}

void cDIB::Resize(int32_t NewWidth, int32_t NewHeight, bool StretchDIB) {
    if (!hDIB()) return;
    cDIB scaled;
    if (!scaled.Create(NewWidth, NewHeight, bpp_)) return;
    std::memcpy(scaled.table_.data(), table_.data(), TableBytes());
    if (StretchDIB)
        Stretch(scaled.hDIBDC(), 0, 0, NewWidth, NewHeight);
    else
        Stretch(scaled.hDIBDC(), 0, 0, width_, height_);
    // The scaled copy becomes this surface: same result as re-creating and blitting back.
    bits_ = std::move(scaled.bits_);
    width_ = scaled.width_;
    height_ = scaled.height_;
    stride_ = scaled.stride_;
    size_ = scaled.size_;
}

void cDIB::GetBestFitInfo(int32_t DstW, int32_t DstH, int32_t& bfx, int32_t& bfy, int32_t& bfW,
                          int32_t& bfH, bool StretchFit) const {
    if (!hDIB()) return;
    if (width_ > DstW || height_ > DstH || StretchFit) {
        const float cW = static_cast<float>(static_cast<double>(DstW) / width_);
        const float cH = static_cast<float>(static_cast<double>(DstH) / height_);
        if (cW < cH) {
            bfW = DstW;
            bfH = RoundHalfEven(static_cast<double>(cW) * height_);
        } else {
            bfH = DstH;
            bfW = RoundHalfEven(static_cast<double>(cH) * width_);
        }
    } else {
        bfW = width_;
        bfH = height_;
    }
    bfx = (DstW - bfW) / 2;
    bfy = (DstH - bfH) / 2;
}

std::unique_ptr<StdPicture> cDIB::Image() const {
    if (!hDIB()) return nullptr;
    cDIB screen;
    if (!screen.Create(width_, height_, 32)) return nullptr;
    Stretch(screen.hDIBDC(), 0, 0, width_, height_);
    auto picture = std::make_unique<StdPicture>();
    picture->Width = width_;
    picture->Height = height_;
    picture->BPP = 32;
    picture->Bits.assign(screen.lpBits(), screen.lpBits() + screen.Size());
    return picture;
}

uint8_t cDIB::CreateFromStdPicture(const StdPicture* Image, bool Force32bpp) {
    if (!Image || !Image->IsValid()) return 0;
    // The picture becomes a surface of its own depth first, so the blit converts the colours.
    cDIB source;
    if (!source.Create(Image->Width, Image->Height, Image->BPP)) return 0;
    std::memcpy(source.lpBits(), Image->Bits.data(), static_cast<size_t>(source.Size()));
    source.SetPalette(Image->Palette);

    if (!Force32bpp) {
        source.CloneTo(*this);
        return hDIB() ? static_cast<uint8_t>(Image->BPP) : 0;
    }
    if (!Create(Image->Width, Image->Height, 32)) return 0;
    source.Stretch(hDIBDC(), 0, 0, width_, height_);
    return static_cast<uint8_t>(Image->BPP);
}

bool StdPicture::IsValid() const {
    if (Width <= 0 || Height <= 0 || !IsSupportedDepth(BPP)) return false;
    const int64_t stride = ((int64_t{Width} * BPP + 31) / 32) * 4;
    if (stride * Height > INT32_MAX || Bits.size() != static_cast<size_t>(stride * Height))
        return false;
    return BPP > 8 ? Palette.empty() : Palette.size() <= (size_t{4} << BPP);
}

int32_t StdPicture::BytesPerScanline() const {
    return static_cast<int32_t>(((int64_t{Width} * BPP + 31) / 32) * 4);
}

} // namespace lumatrim
