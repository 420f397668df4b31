// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// BMP files of any kind become 8-bit BMP files. The picture is read by our own reader
// (imaging/bmp_reader.h) into a 32-bit surface. A picture of at most 256 colours is written
// with exactly those colours: the same pixels, offered as the lossless alternative. Any other
// gets a 256-colour palette computed for it and is ordered-dithered onto it. A picture that a
// browser may show partly transparent is not reduced at all: an 8-bit BMP cannot hold that,
// so the source is kept as it is, with a note saying why. Each step returns an error text,
// empty on success.
#pragma once

#include "app/routes/route.h"
#include "imaging/dib.h"
#include "imaging/dither8bpp.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumatrim {

inline constexpr std::string_view kNothingToDither = "Nothing to dither..";
inline constexpr std::string_view kNothingToSave = "Nothing to save.";
// Notes for a source kept as it is, followed by its path.
inline constexpr std::string_view kKeptTransparent =
    "Kept as it is: an 8-bit BMP cannot hold its transparent pixels: ";
inline constexpr std::string_view kKeptPixelsLeftOut =
    "Kept as it is: its run-length data leaves pixels out, which browsers show transparent or "
    "black and an 8-bit BMP cannot hold: ";

// The steps over two surfaces that belong to the caller (the window's canvases, or a run's
// workspace), so they keep the last BMP's source and result.
class BmpReduction {
public:
    BmpReduction(cDIB& source, cDIB& target) : source_(source), target_(target) {}

    void SetDitherMethod(int32_t method) { dither_.SetDitherMethod(method); }
    // The picture at 32 bits into the source surface; the target is emptied. A picture with
    // pixels left out is not decoded (its declared size may be anything): both stay empty.
    std::string LoadSourcePicture(const std::string& path);
    // Why the last load failed, as shown after the path ("cut off: the pixel data ends
    // early"), and whether the file is damaged; no reason where the text says it all.
    struct LoadCause {
        std::string_view reason;
        bool damaged = false;
    };
    LoadCause LastLoadCause() const { return loadCause_; }
    // Why the loaded picture cannot become an 8-bit BMP that looks the same; none if it can.
    std::optional<std::string_view> WhyKeptAsItIs() const;
    // The source into the target with exactly its colours, when it has at most 256.
    bool ReduceExactly();
    // The source dithered into the target at 8 bits with the palette as its colour table.
    std::string ReduceTo8bpp();
    // The target as the bytes of a BMP file, into `file`.
    std::string EncodeReducedBMP(std::vector<uint8_t>& file) const;

private:
    enum class Transparency { None, Pixels, PixelsLeftOut };

    cDIB& source_;
    cDIB& target_;
    mDither8bpp dither_;
    Transparency transparency_ = Transparency::None;
    LoadCause loadCause_;
    int32_t exactColours_ = 0; // colours of an exact target; 0 for a dithered one
};

// "Nothing to save." becomes "Nothing To Save.": the first letter of each blank-separated word
// in upper case, the others in lower case.
std::string ProperCase(std::string_view text);

// The route as the batch driver calls it, on the workspace's surfaces with the optimal palette.
RouteResult ReduceBmp(const RouteJob& job);

} // namespace lumatrim
