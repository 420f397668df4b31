// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Feeds arbitrary bytes to the JPEG decoder and the lossless rewrite, keeping the metadata (and
// so editing EXIF orientations) for inputs of odd size. Beyond "no crash": a decoded picture has
// the samples its size says, and a rewrite decodes again to a picture of the same size.
#include "jpeg/jpeg_decoder.h"
#include "jpeg/jpeg_lossless.h"

#include <cstddef>
#include <cstdint>

namespace {

// The route's own limit is tested elsewhere; fuzzing stays within the malloc limit.
constexpr uint64_t kFuzzMaxPixels = uint64_t{1} << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using lumatrim::JpegMetadata;
    const JpegMetadata metadata = size % 2 ? JpegMetadata::Keep : JpegMetadata::Drop;
    const lumatrim::JpegDecodeResult decoded =
        lumatrim::DecodeJpeg({data, size}, kFuzzMaxPixels, {}, metadata);
    const lumatrim::JpegRewriteResult rewritten =
        lumatrim::RewriteJpegLosslessly({data, size}, kFuzzMaxPixels, SIZE_MAX, metadata);
    const auto* picture = std::get_if<lumatrim::JpegPicture>(&decoded);
    const auto* bytes = std::get_if<std::vector<uint8_t>>(&rewritten);
    if (!picture) return 0;
    if (picture->samples.size() != size_t{picture->width} * picture->height * picture->components)
        __builtin_trap();
    if (!bytes) return 0;
    const lumatrim::JpegDecodeResult again = lumatrim::DecodeJpeg(*bytes, kFuzzMaxPixels);
    const auto* same = std::get_if<lumatrim::JpegPicture>(&again);
    if (!same || same->width != picture->width || same->height != picture->height) __builtin_trap();
    return 0;
}
