// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Lumatrim's lossless PNG optimizer: a PNG file in, the same picture in fewer bytes out. Every
// output decodes to exactly its source's samples (RGBA at the source's depth); it keeps the
// chunks that change how the picture shows (see README.md) and every APNG frame with its timing.
#pragma once

#include "png/png_options.h"
#include "png/png_picture.h"

#include <cstdint>
#include <span>
#include <variant>
#include <vector>

namespace lumatrim::png {

// The picture and kept chunks of a PNG file, for callers that change the pixels (lossy routes).
// `picture` holds 8-bit RGBA rows, or RGBA at 16 bits when the source had 16-bit samples.
// Animated files are refused here (`Unsupported`): their frames are not one picture.
struct PngSource {
    RgbaPicture picture;
    std::vector<PngChunk> chunks; // the chunks an output must keep, as `OptimizePng` keeps them
};
using PngSourceResult = std::variant<PngSource, PngRefusal>;

inline constexpr uint64_t kDefaultMaxPngPixels = uint64_t{1} << 28;

// The source's pixels and the chunks to keep, read through libspng.
PngSourceResult ReadPng(std::span<const uint8_t> file, const PngOptions& options,
                        uint64_t maxPixels = kDefaultMaxPngPixels);

// `file` rewritten losslessly; never larger than needed, but it may be larger than `file` (the
// caller compares).
PngResult OptimizePng(std::span<const uint8_t> file, const PngOptions& options,
                      uint64_t maxPixels = kDefaultMaxPngPixels);
// The same, taking `file` over: its bytes are released as soon as the picture is decoded, which
// keeps a large source's bytes out of the peak memory of the compression.
PngResult OptimizePng(std::vector<uint8_t>&& file, const PngOptions& options,
                      uint64_t maxPixels = kDefaultMaxPngPixels);

// The smallest PNG we can write of exactly this picture (colour type, depth and palette chosen
// here) with `chunks` (as `ReadPng` gives them) around it.
PngResult EncodePng(const RgbaPicture& picture, std::span<const PngChunk> chunks,
                    const PngOptions& options);

// The same for an indexed picture: unused and repeated palette entries are dropped and the
// palette is reordered; a colour type other than a palette is chosen where it is smaller.
PngResult EncodePng(const IndexedPicture& picture, std::span<const PngChunk> chunks,
                    const PngOptions& options);

} // namespace lumatrim::png
