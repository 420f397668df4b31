// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Our JPEG encoder on libjpeg-turbo: colour conversion and chroma sampling chosen per picture,
// the forward DCT, quantization with libjpeg's standard tables at the asked quality (by
// rate-distortion search unless asked to be fast), and progressive scans with optimized Huffman
// tables whose script is chosen for the fewest bytes. The file says quality Q in its tables like
// any libjpeg encode at Q; it just spends its bits where they buy the most.
#pragma once

#include "jpeg/jpeg_picture.h"
#include "jpegenc/block_quantizer.h"

#include <cstdint>
#include <stop_token>
#include <vector>

namespace lumatrim {

enum class ChromaSampling {
    Auto, // full chroma for a full-chroma source with sharp colour edges (see chroma_choice.h)
    Full, // 4:4:4
    Half, // 4:2:0
};

struct JpegEncodeOptions {
    int quality = 85; // 1..100, libjpeg's scale; outside values are clamped
    // Plain rounding and libjpeg's standard progressive script, as cjpeg -optimize
    // -progressive: measured at Q 85 on eight corpus pictures, a fifth to two thirds of the
    // default's time for 0.3 to 28% more bytes.
    bool fast = false;
    ChromaSampling chroma = ChromaSampling::Auto;
    // A stop requested here ends the encoding between its steps (a batch of blocks, a trial
    // of a scan script), with no file.
    std::stop_token stop{};
};

// The JPEG file of `picture`, with its colour profile in APP2 "ICC_PROFILE" segments and its
// metadata segments after them; a grey
// picture is written with one component. Empty if the picture is empty, has other than 1 or 3
// components, samples that do not match its size, or a side beyond JPEG's 65,500, and when
// stopped.
std::vector<uint8_t> EncodeJpeg(const JpegPicture& picture, const JpegEncodeOptions& options);

// The same, releasing the picture's samples once they are split into planes: the picture, its
// coefficients and libjpeg's copy of them are then never held at once (a 59-megapixel photo
// peaked at 2.5 times its 32-bit picture with all three).
std::vector<uint8_t> EncodeJpeg(JpegPicture&& picture, const JpegEncodeOptions& options);

// EncodeJpeg with another trade in the search, for the benchmark that measures it.
std::vector<uint8_t> EncodeJpeg(const JpegPicture& picture, const JpegEncodeOptions& options,
                                const TrellisSettings& settings);

} // namespace lumatrim
