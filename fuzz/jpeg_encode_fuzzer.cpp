// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Drives the JPEG encoder with arbitrary small pictures and options. The first four bytes are
// the width and height (1..64), the options (bit 0 grey, bit 1 fast, bits 2-3 chroma
// sampling, bit 4 a colour profile from the input's tail) and the quality; the rest are the
// samples, repeated to fill the picture. Beyond "no crash": every output must decode in libjpeg
// without a warning, at the picture's size and component count.
#include "jpegenc/jpeg_encoder.h"

#include "jpegenc/libjpeg_decode.h" // tests/jpegenc

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const uint8_t options = data[2];
    lumatrim::JpegPicture picture;
    picture.width = data[0] % 64 + 1u;
    picture.height = data[1] % 64 + 1u;
    picture.components = options & 1 ? 1 : 3;
    lumatrim::JpegEncodeOptions encode;
    encode.fast = options & 2;
    encode.chroma = static_cast<lumatrim::ChromaSampling>(((options >> 2) & 3) % 3);
    encode.quality = data[3] % 101; // 0 checks the clamping
    picture.sourceFullChroma = options & 32;
    const uint8_t* samples = data + 4;
    const size_t sampleBytes = size - 4;
    picture.samples.resize(size_t{picture.width} * picture.height * picture.components);
    for (size_t i = 0; i < picture.samples.size(); ++i)
        picture.samples[i] = sampleBytes ? samples[i % sampleBytes] : 0;
    if (options & 16) picture.iccProfile.assign(samples + sampleBytes / 2, samples + sampleBytes);

    const std::vector<uint8_t> file = lumatrim::EncodeJpeg(picture, encode);
    const lumatrim::test::DecodedJpeg decoded = lumatrim::test::DecodeWithLibjpeg(file);
    if (file.empty() || !decoded.ok || decoded.warnings != 0 || decoded.width != picture.width ||
        decoded.height != picture.height || decoded.samplingH.size() != picture.components ||
        decoded.iccProfile != picture.iccProfile)
        __builtin_trap();
    return 0;
}
