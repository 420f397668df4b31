// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// cDIB: the one raster type. A device-independent bitmap in plain memory with its colour table.
//
// Memory layout
//   - Rows are padded to 4 bytes: BytesPerScanline = ((Width * BPP + 31) / 32) * 4.
//   - Rows are bottom-up: the row at lpBits + r * BytesPerScanline is picture row Height-1-r.
//     Blit coordinates (LoadBlt, Stretch, Cls) have y = 0 at the top row of the picture.
//     GIF frame surfaces ignore this and keep the frame's top row first in memory.
//   - 32 bpp: blue, green, red, unused. 24 bpp: blue, green, red. 16 bpp: x-5-5-5.
//     8, 4 and 1 bpp: indices into the colour table, the leftmost pixel in the high bits.
//   - Colour tables: 4 bytes an entry, blue, green, red, 0; 2^BPP entries for BPP <= 8.
//
// A surface doubles as a device context: hDIBDC() names it as the source or target of a blit.
// Blits sample the nearest pixel (no averaging). A palettized source is looked up into colours;
// a colour written to a palettized target takes the nearest table entry; between palettized
// surfaces of the same depth the indices are copied. Raster operations act on the target's own
// pixel values (indices or colours), as a display driver does.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

namespace lumatrim {

class cDIB;
struct StdPicture;

using hDC = cDIB*; // a surface seen as a blit source or target; nullptr for none

// Raster operations, with the platform's codes.
constexpr uint32_t SRCCOPY = 0x00CC0020;
constexpr uint32_t SRCAND = 0x008800C6;
constexpr uint32_t SRCPAINT = 0x00EE0086;

// A colour as one number: red in the low byte, then green, then blue.
constexpr uint32_t RGB(uint8_t r, uint8_t g, uint8_t b) {
    return r | (uint32_t{g} << 8) | (uint32_t{b} << 16);
}

class cDIB {
public:
    cDIB() = default;
    ~cDIB() = default;
    cDIB(const cDIB&) = delete;
    cDIB& operator=(const cDIB&) = delete;

    // Throws OverflowError when NewWidth * Newbpp exceeds 0x7FFFFFE0 or Size exceeds 32 bits.
    // False (and an empty surface) for a non-positive size, an unknown depth or no memory.
    bool Create(int32_t NewWidth, int32_t NewHeight, int32_t Newbpp);
    // Copies the picture; returns the picture's own depth, or 0 when nothing was copied.
    uint8_t CreateFromStdPicture(const StdPicture* Image, bool Force32bpp);
    void CloneTo(cDIB& oDIB) const;
    // Writes a BMP file, atomically. False when nothing could be written (an empty surface
    // included); an earlier file of that name is then left as it was.
    bool Save(const std::filesystem::path& Filename) const;
    // The same bytes; empty for an empty surface. A palettized surface whose table's first
    // ColorsUsed entries are all its pixels use may keep only those (0: every entry).
    std::vector<uint8_t> SaveToMemory(int32_t ColorsUsed = 0) const;
    void Destroy();

    int32_t LoadBlt(hDC hSrcDC, int32_t x = 0, int32_t y = 0, int32_t nWidth = 0,
                    int32_t nHeight = 0);
    // A negative nWidth or nHeight mirrors: the target spans x + nWidth .. x - 1.
    int32_t Stretch(hDC hDstDC, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight,
                    int32_t xSrc = 0, int32_t ySrc = 0, int32_t nSrcWidth = 0,
                    int32_t nSrcHeight = 0, uint32_t lROP = SRCCOPY) const;
    void Cls(uint32_t BackColor = 0);
    void SetPalette(std::span<const uint8_t> Palette);
    void GetPalette(std::vector<uint8_t>& Palette) const;
    void Resize(int32_t NewWidth, int32_t NewHeight, bool StretchDIB);
    void GetBestFitInfo(int32_t DstW, int32_t DstH, int32_t& bfx, int32_t& bfy, int32_t& bfW,
                        int32_t& bfH, bool StretchFit = false) const;
    // A new 32-bit picture of the surface, as the screen would hold it; null when empty.
    std::unique_ptr<StdPicture> Image() const;

    hDC hDIBDC() { return hDIB() ? this : nullptr; }
    uintptr_t hDIB() const { return reinterpret_cast<uintptr_t>(bits_.get()); }
    uint8_t* lpBits() { return bits_.get(); }
    const uint8_t* lpBits() const { return bits_.get(); }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    int32_t BPP() const { return bpp_; }
    int32_t BytesPerScanline() const { return stride_; }
    int32_t Size() const { return size_; }

    // The colour table: 4 * 2^BPP bytes for BPP <= 8, empty otherwise.
    std::span<uint8_t> ColorTable() { return {table_.data(), TableBytes()}; }
    std::span<const uint8_t> ColorTable() const { return {table_.data(), TableBytes()}; }

private:
    struct FreeBits {
        void operator()(uint8_t* p) const;
    };
    size_t TableBytes() const { return bpp_ <= 8 && bpp_ > 0 ? size_t{4} << bpp_ : 0; }

    std::unique_ptr<uint8_t, FreeBits> bits_;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t bpp_ = 0;
    int32_t stride_ = 0;
    int32_t size_ = 0;
    std::array<uint8_t, 1024> table_{};
};

// Our picture object: what the system picture loader produces and cDIB::Image hands out.
// Rows are bottom-up and padded to 4 bytes, as in a surface.
struct StdPicture {
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t BPP = 0;              // 1, 4, 8, 16, 24 or 32
    std::vector<uint8_t> Palette; // 4 * 2^BPP bytes (blue, green, red, 0) for BPP <= 8
    std::vector<uint8_t> Bits;    // BytesPerScanline * Height bytes

    int32_t BytesPerScanline() const;
    bool IsValid() const; // a supported depth, and Bits and Palette of the sizes that implies
};

} // namespace lumatrim
