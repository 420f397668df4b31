// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpeg/test_jpeg_files.h"

#include "jpeg/exif_orientation.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace lumatrim::test {

std::vector<uint8_t> WriteTestJpeg(const TestJpeg& spec) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    errors.error_exit = [](j_common_ptr codec) { // the specs are valid: a test's own fault
        codec->err->output_message(codec);
        std::abort();
    };
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    const bool ink = spec.stored == JCS_CMYK || spec.stored == JCS_YCCK;
    const int components = spec.stored == JCS_GRAYSCALE ? 1 : ink ? 4 : 3;
    info.image_width = spec.width;
    info.image_height = spec.height;
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : ink ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, spec.stored);
    jpeg_set_quality(&info, 95, TRUE);
    info.comp_info[0].h_samp_factor = spec.lumaH;
    info.comp_info[0].v_samp_factor = spec.lumaV;
    if (ink) info.write_Adobe_marker = spec.adobeMarker;
    if (spec.progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    if (spec.orientation != 1) {
        const std::vector<uint8_t> exif = ExifOrientationBlock(spec.orientation);
        jpeg_write_marker(&info, JPEG_APP0 + 1, exif.data(), unsigned(exif.size()));
    }
    if (!spec.iccProfile.empty())
        jpeg_write_icc_profile(&info, spec.iccProfile.data(), unsigned(spec.iccProfile.size()));
    // Rows in the input colour space: RGB, grey, or inverted CMYK (255 for no ink) with as much
    // black as the colour allows, so that both kinds of ink count.
    std::vector<uint8_t> row(size_t{spec.width} * components);
    for (uint32_t y = 0; y < spec.height; ++y) {
        for (uint32_t x = 0; x < spec.width; ++x) {
            const int q = (y >= spec.height / 2 ? 2 : 0) + (x >= spec.width / 2 ? 1 : 0);
            const Rgb c = kQuadrants[q];
            const int first = components == 1 ? kGreyQuadrants[q] : c.r;
            const int light = components == 4 ? std::max({c.r, c.g, c.b}) : 255;
            const uint8_t pixel[] = {uint8_t(first * 255 / light), uint8_t(c.g * 255 / light),
                                     uint8_t(c.b * 255 / light), uint8_t(light)};
            std::copy_n(pixel, components, &row[x * size_t(components)]);
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> file(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return file;
}

std::vector<uint8_t> TestProfile(const char* space, size_t bytes) {
    std::vector<uint8_t> profile(bytes);
    for (size_t i = 0; i < bytes; ++i)
        profile[i] = uint8_t(i * 7);
    std::memcpy(&profile[16], space, 4);
    return profile;
}

} // namespace lumatrim::test
