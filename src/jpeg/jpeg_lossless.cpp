// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpeg/jpeg_lossless.h"

#include "jpeg/coefficient_orientation.h"
#include "jpeg/exif_orientation.h"
#include "jpeg/jpeg_source.h"
#include "jpeg/vector_destination.h"

#include <algorithm>

namespace lumatrim {

namespace {

// The source's coefficients, upright where that is exact, and what the rewrite must still say.
struct Coefficients {
    jvirt_barray_ptr* arrays = nullptr;
    bool transposed = false;
    uint8_t orientationLeft = 1; // to keep in an EXIF block
};

bool ReadCoefficients(JpegSource& source, Coefficients& coefficients) {
    jpeg_decompress_struct& info = source.Info();
    const uint8_t orientation = source.Orientation();
    const OrientationMap map = MapOfOrientation(orientation);
    const bool orient = orientation != 1 && OrientsExactly(info, map);
    coefficients.transposed = orient && map.transposed;
    coefficients.orientationLeft = orient ? 1 : orientation;
    return RunTrapped(source.Trap(), [&] {
        jvirt_barray_ptr* upright = orient ? RequestUprightArrays(info, map) : nullptr;
        coefficients.arrays = jpeg_read_coefficients(&info);
        if (!orient) return;
        OrientCoefficients(info, coefficients.arrays, upright, map);
        coefficients.arrays = upright;
    });
}

// The compression side: its own error trap, its output in a vector.
class JpegTarget {
public:
    explicit JpegTarget(size_t sizeLimit) : destination_(bytes_, sizeLimit) {
        InstallErrorTrap(*reinterpret_cast<jpeg_common_struct*>(&info_), trap_);
        created_ = RunTrapped(trap_, [&] { jpeg_create_compress(&info_); });
    }
    ~JpegTarget() {
        if (created_) jpeg_destroy_compress(&info_);
    }
    JpegTarget(const JpegTarget&) = delete;
    JpegTarget& operator=(const JpegTarget&) = delete;

    bool Write(jpeg_decompress_struct& source, const Coefficients& coefficients,
               const std::vector<uint8_t>& iccProfile, const std::vector<JpegSegment>& metadata) {
        return created_ && RunTrapped(trap_, [&] {
                   UseDestination(info_, destination_);
                   jpeg_copy_critical_parameters(&source, &info_);
                   if (coefficients.transposed) TransposeFrame(info_);
                   SampleGreyOneToOne(info_);
                   // Plain CMYK stays unmarked, so every decoder reads its inks as before.
                   if (source.jpeg_color_space == JCS_CMYK)
                       info_.write_Adobe_marker = source.saw_Adobe_marker;
                   info_.optimize_coding = TRUE;
                   jpeg_simple_progression(&info_);
                   jpeg_write_coefficients(&info_, coefficients.arrays);
                   if (!iccProfile.empty())
                       jpeg_write_icc_profile(&info_, iccProfile.data(),
                                              static_cast<unsigned int>(iccProfile.size()));
                   for (const JpegSegment& segment : metadata)
                       jpeg_write_marker(&info_, segment.marker, segment.data.data(),
                                         static_cast<unsigned int>(segment.data.size()));
                   jpeg_finish_compress(&info_);
               });
    }

    JpegFailure Failure() const {
        if (destination_.overLimit) return {JpegFault::OverLimit, "Larger than the limit"};
        return trap_.failure.value_or(JpegFailure{JpegFault::Undecodable, "Cannot write"});
    }
    std::vector<uint8_t> TakeBytes() { return std::move(bytes_); }

private:
    JpegErrorTrap trap_;
    jpeg_compress_struct info_{};
    bool created_ = false;
    std::vector<uint8_t> bytes_;
    VectorDestination destination_;
};

constexpr uint8_t kFirstApplicationMarker = 0xE0, kLastApplicationMarker = 0xEF;
constexpr uint8_t kCommentMarker = 0xFE, kScanMarker = 0xDA;

bool IsColourProfile(std::span<const uint8_t> segment) {
    static constexpr char kName[] = "ICC_PROFILE"; // with its terminating zero
    return segment.size() >= 4 + sizeof kName && segment[1] == JPEG_APP0 + 2 &&
           std::equal(kName, kName + sizeof kName, segment.begin() + 4);
}

// What the rewrite writes after the profile: the kept metadata, or without it the orientation
// the coefficients could not take.
std::vector<JpegSegment> MetadataToWrite(JpegSource& source, const Coefficients& coefficients,
                                         JpegMetadata metadata) {
    const uint8_t orientation = coefficients.orientationLeft;
    if (metadata == JpegMetadata::Keep) return source.TakeMetadata(orientation == 1);
    if (orientation == 1) return {};
    return {{JPEG_APP0 + 1, ExifOrientationBlock(orientation)}};
}

} // namespace

size_t DroppedMetadataBytes(std::span<const uint8_t> file, JpegMetadata metadata) {
    size_t dropped = 0;
    for (size_t at = 2; at + 4 <= file.size() && file[at] == 0xFF && file[at + 1] != kScanMarker;) {
        const size_t end =
            std::min(file.size(), at + 2 + (size_t{file[at + 2]} << 8 | file[at + 3]));
        const uint8_t marker = file[at + 1];
        const bool isMetadata = marker == kCommentMarker || (marker >= kFirstApplicationMarker &&
                                                             marker <= kLastApplicationMarker);
        const bool kept = metadata == JpegMetadata::Keep && IsKeptMetadata(marker);
        if (isMetadata && !kept && !IsColourProfile(file.subspan(at, end - at)))
            dropped += end - at;
        at = end;
    }
    return dropped;
}

JpegRewriteResult RewriteJpegLosslessly(std::span<const uint8_t> file, uint64_t maxPixels,
                                        size_t sizeLimit, JpegMetadata metadata) {
    JpegSource source(file);
    Coefficients coefficients;
    if (!source.ReadHeader(maxPixels, metadata) || !ReadCoefficients(source, coefficients))
        return source.Failure();
    const std::vector<JpegSegment> segments = MetadataToWrite(source, coefficients, metadata);
    JpegTarget target(sizeLimit);
    if (!target.Write(source.Info(), coefficients, source.IccProfile(), segments))
        return target.Failure();
    return target.TakeBytes();
}

} // namespace lumatrim
