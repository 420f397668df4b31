// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Quantizes the exact coefficients of a picture's block planes in place: by plain rounding, or
// by the rate-distortion search of jpegtrellis with symbol costs from a rounded first pass.
#pragma once

#include "jpegenc/block_plane.h"
#include "jpegtrellis/quantizer_table.h"

#include <span>
#include <stop_token>
#include <vector>

namespace lumatrim {

// How a component's blocks lie in the file: its sampling factors, which set the order of its
// blocks in an interleaved scan, and the quantization table it uses.
struct ComponentCoding {
    int samplingH = 1;
    int samplingV = 1;
    int table = 0; // 0 luma, 1 chroma
};

// The trade the search makes, measured on the public corpus with bench/jpeg_rd (figures in
// docs/benchmarks.md). Tried and dropped there: a lambda that grows or shrinks with a block's
// variance (worse on SSIM both ways), a second search with costs from the first one's symbols
// (no gain).
struct TrellisSettings {
    // The distortion (in the table's mean step squared) one bit is worth. At Q 85 on the
    // corpus, 0.03 costs 0.0011 of mean luma SSIM against plain rounding for 14% fewer bytes;
    // 0.08 saves 27% but costs 0.0053 and a fifth more butteraugli distance, for much the
    // same delta rate over Q 50..95.
    float lambda = 0.03f;
    // See QuantizerTable::errorScale: 0 counts squared error in the samples, 1 in each
    // coefficient's own steps; between the two was best on SSIM and PSNR together.
    float tableWeighting = 0.35f;
    // lambda is scaled by OffGridShare to this power: a picture decoded from a JPEG quantized
    // with this very table comes back almost exactly by rounding, and each change costs it a
    // whole step of error.
    float offGridExponent = 1.0f;
};

TrellisSettings DefaultTrellisSettings();

void QuantizeRounded(std::span<BlockPlane> planes, std::span<const trellis::QuantizerTable> tables);

// Leaves the planes part done when a stop is requested on `stop`; the caller then writes nothing.
void QuantizeRateDistortion(std::span<BlockPlane> planes,
                            std::span<const trellis::QuantizerTable> tables,
                            std::span<const ComponentCoding> coding,
                            const TrellisSettings& settings, const std::stop_token& stop = {});

// The blocks of a component (indexes into its plane) in the order a DC scan codes them: in an
// interleaved scan MCU by MCU, samplingH x samplingV blocks each, else row by row.
std::vector<uint32_t> DcCodingOrder(const BlockPlane& plane, const ComponentCoding& coding,
                                    bool interleaved);

} // namespace lumatrim
