// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// libjpeg's reading of a JPEG file, with every warning it reports counted, and libjpeg's own
// quantization tables at a quality.
#pragma once

#include <cstdint>
#include <vector>

namespace lumatrim::test {

using QuantTables = std::vector<std::vector<uint16_t>>; // in table-number order, natural order

struct DecodedJpeg {
    bool ok = false; // false if libjpeg gave up
    int warnings = 0;
    uint32_t width = 0, height = 0;
    bool progressive = false;
    std::vector<int> samplingH, samplingV; // per component
    QuantTables tables;
    std::vector<uint8_t> samples; // RGB or grey, top row first
    std::vector<uint8_t> iccProfile;
};

DecodedJpeg DecodeWithLibjpeg(const std::vector<uint8_t>& file);

// The luminance and chrominance tables jpeg_set_quality makes for a baseline file.
QuantTables LibjpegTables(int quality);

} // namespace lumatrim::test
