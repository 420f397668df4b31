// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpeg/jpeg_decoder.h"

#include "jpeg/cmyk_rows.h"
#include "jpeg/jpeg_source.h"
#include "jpeg/picture_orientation.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace lumatrim {

namespace {

// Rows asked of the decoder at a time: more than an MCU row of the tallest sampling (32).
constexpr size_t kRowBatch = 32;

bool IsInk(J_COLOR_SPACE space) {
    return space == JCS_CMYK || space == JCS_YCCK;
}

// An ICC profile names the colour space of the samples it describes in bytes 16 to 19.
bool ProfileFits(const std::vector<uint8_t>& profile, uint8_t components) {
    static constexpr std::array<uint8_t, 4> kRgb = {'R', 'G', 'B', ' '},
                                            kGrey = {'G', 'R', 'A', 'Y'};
    const auto& expected = components == 1 ? kGrey : kRgb;
    return profile.size() >= 20 &&
           std::equal(expected.begin(), expected.end(), profile.begin() + 16);
}

bool AllComponentsSampledAlike(const jpeg_decompress_struct& info) {
    for (int c = 1; c < info.num_components; ++c)
        if (info.comp_info[c].h_samp_factor != info.comp_info[0].h_samp_factor ||
            info.comp_info[c].v_samp_factor != info.comp_info[0].v_samp_factor)
            return false;
    return true;
}

// Rows go straight into the picture; ink rows pass through `inkRows` to become RGB. The
// picture's memory is reserved whole but only filled as rows arrive, so a file that turns out
// damaged early has cost little.
bool ReadRows(JpegSource& source, JpegPicture& picture, const std::stop_token& stop) {
    jpeg_decompress_struct& info = source.Info();
    const bool ink = IsInk(info.jpeg_color_space);
    const size_t stride = size_t{picture.width} * picture.components;
    std::vector<uint8_t> inkRows(ink ? size_t{picture.width} * 4 * kRowBatch : 0);
    picture.samples.reserve(stride * picture.height);
    std::array<JSAMPROW, kRowBatch> rows{};
    while (info.output_scanline < info.output_height) {
        if (stop.stop_requested()) {
            source.Trap().failure = JpegFailure{JpegFault::Stopped, {}};
            return false;
        }
        const size_t first = info.output_scanline;
        const size_t count = std::min(kRowBatch, size_t{picture.height} - first);
        if (!ink) picture.samples.resize((first + count) * stride);
        for (size_t r = 0; r < count; ++r)
            rows[r] =
                ink ? &inkRows[r * picture.width * 4] : &picture.samples[(first + r) * stride];
        JDIMENSION read = 0;
        if (!RunTrapped(source.Trap(), [&] {
                read = jpeg_read_scanlines(&info, rows.data(), static_cast<JDIMENSION>(count));
            }))
            return false;
        if (read == 0) { // a memory source never suspends: no rows means no progress
            source.Trap().failure = JpegFailure{JpegFault::Damaged, "No rows decoded"};
            return false;
        }
        picture.samples.resize((first + read) * stride);
        if (ink) CmykToRgb(inkRows.data(), &picture.samples[first * stride], read * picture.width);
    }
    return true;
}

} // namespace

JpegDecodeResult DecodeJpeg(std::span<const uint8_t> file, uint64_t maxPixels, std::stop_token stop,
                            JpegMetadata metadata) {
    JpegSource source(file);
    if (!source.ReadHeader(maxPixels, metadata)) return source.Failure();
    jpeg_decompress_struct& info = source.Info();
    const bool grey = info.num_components == 1;
    info.out_color_space = grey ? JCS_GRAYSCALE : IsInk(info.jpeg_color_space) ? JCS_CMYK : JCS_RGB;
    info.dct_method = JDCT_ISLOW;
    if (!RunTrapped(source.Trap(), [&] { jpeg_start_decompress(&info); })) return source.Failure();

    JpegPicture picture;
    picture.width = info.output_width;
    picture.height = info.output_height;
    picture.components = grey ? 1 : 3;
    picture.sourceFullChroma = !grey && AllComponentsSampledAlike(info);
    if (ProfileFits(source.IccProfile(), picture.components))
        picture.iccProfile = source.IccProfile();
    // Finishing reads on to the end of the file, where a cut-off or damaged tail shows.
    if (!ReadRows(source, picture, stop) ||
        !RunTrapped(source.Trap(), [&] { jpeg_finish_decompress(&info); }))
        return source.Failure();
    TurnUpright(picture, source.Orientation());
    picture.metadata = source.TakeMetadata(true);
    return picture;
}

} // namespace lumatrim
