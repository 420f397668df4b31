// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// A JPEG file rewritten without touching its picture: the same DCT coefficients and
// quantization tables, in progressive scans with Huffman tables fitted to them, which is
// usually fewer bytes. The colour profile is kept, and the metadata of jpeg_metadata.h when
// asked for; the rest is dropped. A picture stored under an EXIF orientation is turned upright
// in the coefficients where that is exact for its size, its kept EXIF then saying upright;
// otherwise the orientation stays, in the kept EXIF or in a block holding only it, so the
// picture shows upright either way.
#pragma once

#include "jpeg/jpeg_failure.h"
#include "jpeg/jpeg_metadata.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <variant>
#include <vector>

namespace lumatrim {

using JpegRewriteResult = std::variant<std::vector<uint8_t>, JpegFailure>;

// Fails as the decoder does on the same file (damaged data, too many pixels, not a JPEG), and
// as OverLimit as soon as the rewrite passes `sizeLimit` bytes.
JpegRewriteResult RewriteJpegLosslessly(std::span<const uint8_t> file, uint64_t maxPixels,
                                        size_t sizeLimit = SIZE_MAX,
                                        JpegMetadata metadata = JpegMetadata::Drop);

// The bytes of the segments before the first scan that the rewrite leaves out: application
// segments other than the colour profile's, and comments, less those it keeps.
size_t DroppedMetadataBytes(std::span<const uint8_t> file,
                            JpegMetadata metadata = JpegMetadata::Drop);

} // namespace lumatrim
