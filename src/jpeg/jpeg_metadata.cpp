// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpeg/jpeg_metadata.h"

#include "jpeg/exif_orientation.h"

namespace lumatrim {

namespace {

constexpr int kExifOrXmp = JPEG_APP0 + 1;
constexpr int kIptc = JPEG_APP0 + 13;
constexpr unsigned kWholeSegment = 0xFFFF;

} // namespace

bool IsKeptMetadata(int marker) {
    return marker == kExifOrXmp || marker == kIptc || marker == JPEG_COM;
}

void SaveKeptMetadata(jpeg_decompress_struct& info) {
    for (const int marker : {kExifOrXmp, kIptc, int{JPEG_COM}})
        jpeg_save_markers(&info, marker, kWholeSegment);
}

std::vector<JpegSegment> KeptMetadata(const jpeg_decompress_struct& info) {
    std::vector<JpegSegment> kept;
    for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next)
        if (IsKeptMetadata(marker->marker))
            kept.push_back({marker->marker, {marker->data, marker->data + marker->data_length}});
    return kept;
}

// An XMP block in APP1 does not start "Exif\0\0", so it is left as it is.
void MarkUpright(std::vector<JpegSegment>& segments) {
    for (JpegSegment& segment : segments)
        if (segment.marker == kExifOrXmp) MarkExifUpright(segment.data);
}

} // namespace lumatrim
