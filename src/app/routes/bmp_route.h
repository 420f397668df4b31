// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// BMP files of any depth become 8-bit BMP files: the picture is loaded into a 32-bit surface, a
// 256-colour palette is computed for it, the picture is ordered-dithered onto that palette and
// the 8-bit surface is written. Each step returns an error text, empty on success.
#pragma once

#include "app/routes/route.h"
#include "imaging/dib.h"
#include "imaging/dither8bpp.h"

#include <string>
#include <string_view>
#include <vector>

namespace lumatrim {

inline constexpr std::string_view kNothingToDither = "Nothing to dither..";
inline constexpr std::string_view kNothingToSave = "Nothing to save.";

// The three steps over two surfaces that belong to the caller (the window's canvases, or a
// run's workspace), so they keep the last BMP's source and result.
class BmpReduction {
public:
    BmpReduction(cDIB& source, cDIB& target) : source_(source), target_(target) {}

    void SetDitherMethod(int32_t method) { dither_.SetDitherMethod(method); }
    // The picture at 32 bits into the source surface; the target is emptied.
    std::string LoadSourcePicture(const std::string& path);
    // The source dithered into the target at 8 bits with the palette as its colour table.
    std::string ReduceTo8bpp();
    // The target as the bytes of a BMP file, into `file`.
    std::string EncodeReducedBMP(std::vector<uint8_t>& file) const;

private:
    cDIB& source_;
    cDIB& target_;
    mDither8bpp dither_;
};

// "Nothing to save." becomes "Nothing To Save.": the first letter of each blank-separated word
// in upper case, the others in lower case.
std::string ProperCase(std::string_view text);

// The route as the batch driver calls it, on the workspace's surfaces with the optimal palette.
RouteResult ReduceBmp(const RouteJob& job);

} // namespace lumatrim
