// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Feeds arbitrary bytes to our BMP reader, and what it accepts to the exact 8-bit copy the BMP
// route makes. Beyond "no crash": a decoded picture has the size its layout gives, and an exact
// copy shows every pixel in its own colour.
#include "imaging/bmp_reader.h"
#include "imaging/dib.h"
#include "imaging/exact_palette.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// Within the malloc limit: a 2^20-pixel picture takes 4 MB at 32 bits, its copy 1 MB.
constexpr uint64_t kFuzzMaxPixels = uint64_t{1} << 20;

bool ExactCopyHoldsEveryPixel(const lumatrim::cDIB& picture, const lumatrim::cDIB& exact) {
    for (int32_t y = 0; y < picture.Height(); ++y) {
        const uint8_t* in = picture.lpBits() + static_cast<size_t>(y) * picture.BytesPerScanline();
        const uint8_t* out = exact.lpBits() + static_cast<size_t>(y) * exact.BytesPerScanline();
        for (int32_t x = 0; x < picture.Width(); ++x)
            if (std::memcmp(&exact.ColorTable()[4 * size_t{out[x]}], in + 4 * x, 3) != 0)
                return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lumatrim::BmpLayout layout;
    if (lumatrim::ReadBmpLayout({data, size}, kFuzzMaxPixels, layout) != lumatrim::BmpStatus::Ok)
        return 0;
    lumatrim::cDIB picture;
    bool transparent = false;
    if (!lumatrim::DecodeBmp({data, size}, layout, picture, transparent)) return 0;
    if (picture.Width() != layout.width || picture.Height() != layout.height) __builtin_trap();
    lumatrim::cDIB exact;
    if (lumatrim::CopyToExact8bpp(picture, exact) > 0 && !ExactCopyHoldsEveryPixel(picture, exact))
        __builtin_trap();
    return 0;
}
