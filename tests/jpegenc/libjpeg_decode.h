// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// libjpeg's reading of a JPEG file, with every warning it reports counted.
#pragma once

#include <cstdint>
#include <vector>

namespace lumatrim::test {

struct DecodedJpeg {
    bool ok = false; // false if libjpeg gave up
    int warnings = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    int components = 0;
    bool progressive = false;
    std::vector<int> samplingH; // per component
    std::vector<int> samplingV;
    std::vector<uint8_t> samples; // RGB or grey, top row first
    std::vector<uint8_t> iccProfile;
};

DecodedJpeg DecodeWithLibjpeg(const std::vector<uint8_t>& file);

} // namespace lumatrim::test
