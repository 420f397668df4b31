// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Quantized block planes written as a JPEG file by libjpeg-turbo (jpeg_write_coefficients), with
// optimized Huffman tables, the given scans, the colour profile and the metadata kept.
#pragma once

#include "jpeg/jpeg_segment.h"
#include "jpegenc/block_plane.h"
#include "jpegenc/block_quantizer.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lumatrim {

// One scan of a progressive script: the components it codes (several only for DC), its band
// of zigzag positions Ss..Se, and its successive-approximation bits (Ah before, Al after).
struct Scan {
    std::vector<int> components;
    int Ss = 0, Se = 0, Ah = 0, Al = 0;
};

struct QuantizedPicture {
    uint32_t width = 0;
    uint32_t height = 0;
    int quality = 0; // the tables are libjpeg's at this quality
    std::span<const BlockPlane> planes;
    std::span<const ComponentCoding> coding;
    std::span<const uint8_t> iccProfile;
    std::span<const JpegSegment> metadata; // written as they are, after the profile
};

using QuantTable = std::array<uint16_t, 64>; // natural order

// libjpeg's standard luminance (0) and chrominance (1) tables scaled to `quality`, exactly as
// jpeg_set_quality makes them for a baseline-compatible file (steps of at most 255); none if
// libjpeg refused (out of memory).
std::optional<std::array<QuantTable, 2>> StandardTables(int quality);

// The JPEG file, or empty if libjpeg refused (out of memory, a profile too large for 255
// segments).
std::vector<uint8_t> WriteCoefficients(const QuantizedPicture& picture,
                                       std::span<const Scan> script);

} // namespace lumatrim
