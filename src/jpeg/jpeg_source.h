// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// A JPEG file in memory opened for reading, up to its first scan: the frame header checked
// against the caller's pixel limit, the orientation and colour profile at hand. The decoder and
// the lossless rewrite both start here.
#pragma once

#include "jpeg/jpeg_error_trap.h"
#include "jpeg/jpeg_metadata.h"

#include <cstdint>
#include <span>
#include <vector>

namespace lumatrim {

class JpegSource {
public:
    explicit JpegSource(std::span<const uint8_t> file);
    ~JpegSource();
    JpegSource(const JpegSource&) = delete;
    JpegSource& operator=(const JpegSource&) = delete;

    // Reads the headers; false, with Failure() telling why, for a file that is no JPEG, is
    // damaged before its first scan, has a component count other than 1, 3 or 4, has more than
    // `maxPixels` pixels, or is too short to hold its picture. With JpegMetadata::Keep the
    // segments KeptMetadata names are saved too.
    bool ReadHeader(uint64_t maxPixels, JpegMetadata metadata = JpegMetadata::Drop);

    jpeg_decompress_struct& Info() { return info_; }
    JpegErrorTrap& Trap() { return trap_; }
    JpegFailure Failure() const;

    // From the EXIF block; 1 when there is none.
    uint8_t Orientation() const { return orientation_; }
    // Reassembled from its APP2 chunks; empty when there is none or it is inconsistent.
    const std::vector<uint8_t>& IccProfile() const { return iccProfile_; }
    // The kept metadata (see KeptMetadata), read with the header: libjpeg frees its own copies
    // when the decompression ends. Empty unless the header was read to keep it.
    std::vector<JpegSegment> TakeMetadata(bool upright);

private:
    bool KeepMarkers();

    JpegErrorTrap trap_;
    jpeg_decompress_struct info_;
    bool created_ = false;
    std::span<const uint8_t> file_;
    uint8_t orientation_ = 1;
    std::vector<uint8_t> iccProfile_;
    bool keepsMetadata_ = false;
    std::vector<JpegSegment> metadata_;
};

} // namespace lumatrim
