// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Quantizes the exact coefficients of a picture's block planes in place: by plain rounding, or
// by the rate-distortion search of jpegtrellis with symbol costs from a rounded first pass.
#pragma once

#include "jpegenc/block_plane.h"
#include "jpegtrellis/quantizer_table.h"

#include <span>
#include <vector>

namespace lumatrim {

// How a component's blocks lie in the file: its sampling factors, which set the order of its
// blocks in an interleaved scan, and the quantization table it uses.
struct ComponentCoding {
    int samplingH = 1;
    int samplingV = 1;
    int table = 0; // 0 luma, 1 chroma
};

// The trade the search makes. Measured on the public corpus with bench/jpeg_rd (see
// docs/benchmarks.md).
struct TrellisSettings {
    float lambda = 0.0f;           // error (in quantizer steps squared) one bit is worth
    float tableWeighting = 1.0f;   // see QuantizerTable::errorScale
    float activityExponent = 0.0f; // lambda grows as ((2 var + C2) / C2)^this in busy blocks
    bool dcSearch = true;          // the Viterbi search over DC values, else rounded DCs
    int passes = 1;                // searches, each with costs from the previous one's symbols
};

TrellisSettings DefaultTrellisSettings();

void QuantizeRounded(std::span<BlockPlane> planes, std::span<const trellis::QuantizerTable> tables,
                     std::span<const ComponentCoding> coding);

void QuantizeRateDistortion(std::span<BlockPlane> planes,
                            std::span<const trellis::QuantizerTable> tables,
                            std::span<const ComponentCoding> coding,
                            const TrellisSettings& settings);

// The blocks of a component (indexes into its plane) in the order a DC scan codes them: in an
// interleaved scan MCU by MCU, samplingH x samplingV blocks each, else row by row.
std::vector<uint32_t> DcCodingOrder(const BlockPlane& plane, const ComponentCoding& coding,
                                    bool interleaved);

} // namespace lumatrim
