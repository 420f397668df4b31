// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Chunks into a PNG file: signature, IHDR, the kept chunks that stood before PLTE (or before the
// picture data in a source without PLTE), PLTE, tRNS, the kept chunks that stood between PLTE and
// the picture data, IDAT, the kept chunks that followed it, IEND.
#pragma once

#include "png/png_picture.h"
#include "png/raw_image.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace lumatrim::png {

void AppendChunk(std::vector<uint8_t>& file, std::string_view type, std::span<const uint8_t> data);

void AppendBigEndian32(std::vector<uint8_t>& bytes, uint32_t value);

// IHDR's 13 bytes for a non-interlaced `image`.
std::vector<uint8_t> HeaderData(const RawImage& image);

std::vector<uint8_t> WritePng(const RawImage& image, std::span<const uint8_t> zlibStream,
                              std::span<const PngChunk> chunks);

} // namespace lumatrim::png
