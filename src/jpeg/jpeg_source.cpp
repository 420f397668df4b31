// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpeg/jpeg_source.h"

#include "jpeg/exif_orientation.h"

#include <cstdlib>
#include <memory>

namespace lumatrim {

namespace {

constexpr int kExifMarker = JPEG_APP0 + 1;
constexpr int kIccMarker = JPEG_APP0 + 2;
constexpr unsigned kWholeSegment = 0xFFFF;

// Every block of a Huffman-coded scan costs at least one bit (its DC code), so a file shorter
// than one bit per block of its first component cannot hold its picture. Refusing it here keeps
// a few hundred bytes that declare 16384 x 16384 pixels from costing the memory of that picture
// before the decoder reaches the end of the data. Arithmetic coding can spend less than a bit
// on a block: those files are left to the decoder.
bool TooShortForPicture(const jpeg_decompress_struct& info, size_t fileBytes) {
    if (info.arith_code) return false;
    const jpeg_component_info& first = info.comp_info[0];
    const uint64_t blocks = uint64_t{first.width_in_blocks} * first.height_in_blocks;
    return blocks > uint64_t{fileBytes} * 8;
}

} // namespace

JpegSource::JpegSource(std::span<const uint8_t> file) : info_{}, file_(file) {
    InstallErrorTrap(*reinterpret_cast<jpeg_common_struct*>(&info_), trap_);
    created_ = RunTrapped(trap_, [&] { jpeg_create_decompress(&info_); });
}

JpegSource::~JpegSource() {
    if (created_) jpeg_destroy_decompress(&info_);
}

JpegFailure JpegSource::Failure() const {
    return trap_.failure.value_or(JpegFailure{JpegFault::Damaged, "Corrupt JPEG data"});
}

bool JpegSource::ReadHeader(uint64_t maxPixels, JpegMetadata metadata) {
    keepsMetadata_ = metadata == JpegMetadata::Keep;
    if (!created_) return false;
    if (file_.empty()) {
        trap_.failure = JpegFailure{JpegFault::NotJpeg, "Empty input file"};
        return false;
    }
    const bool read = RunTrapped(trap_, [&] {
        jpeg_mem_src(&info_, file_.data(), static_cast<unsigned long>(file_.size()));
        jpeg_save_markers(&info_, kExifMarker, kWholeSegment);
        jpeg_save_markers(&info_, kIccMarker, kWholeSegment);
        if (keepsMetadata_) SaveKeptMetadata(info_);
        jpeg_read_header(&info_, TRUE);
    });
    if (!read) return false;
    const int components = info_.num_components;
    if (components != 1 && components != 3 && components != 4) {
        trap_.failure =
            JpegFailure{JpegFault::Undecodable,
                        "unsupported: " + std::to_string(components) + " colour components"};
        return false;
    }
    if (uint64_t{info_.image_width} * info_.image_height > maxPixels) {
        trap_.failure = JpegFailure{JpegFault::TooLarge, "Too many pixels"};
        return false;
    }
    if (TooShortForPicture(info_, file_.size())) {
        trap_.failure = JpegFailure{JpegFault::Damaged, "Premature end of JPEG file"};
        return false;
    }
    return KeepMarkers();
}

// The first EXIF block that gives an orientation other than 1 stands, as viewers read it.
bool JpegSource::KeepMarkers() {
    for (jpeg_saved_marker_ptr marker = info_.marker_list; marker; marker = marker->next) {
        if (marker->marker != kExifMarker) continue;
        orientation_ = ReadExifOrientation({marker->data, marker->data_length});
        if (orientation_ != 1) break;
    }
    JOCTET* profile = nullptr;
    unsigned int length = 0;
    if (!RunTrapped(trap_, [&] { jpeg_read_icc_profile(&info_, &profile, &length); })) return false;
    const std::unique_ptr<JOCTET, decltype(&std::free)> owned(profile, &std::free);
    if (profile) iccProfile_.assign(profile, profile + length);
    if (keepsMetadata_) metadata_ = KeptMetadata(info_);
    return true;
}

std::vector<JpegSegment> JpegSource::TakeMetadata(bool upright) {
    if (upright) MarkUpright(metadata_);
    return std::move(metadata_);
}

} // namespace lumatrim
