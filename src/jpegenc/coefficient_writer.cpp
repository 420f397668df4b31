// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpegenc/coefficient_writer.h"

// jpeglib.h needs size_t and FILE declared before it.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <jpeglib.h>

namespace lumatrim {

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps back
// to the call that set up the jump, which gives up on the file.
struct ErrorJump {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void JumpOnError(j_common_ptr codec) {
    std::longjmp(reinterpret_cast<ErrorJump*>(codec->err)->jump, 1);
}

void IgnoreMessage(j_common_ptr, int) {}

// A compressor with its error handling and memory destination, released however it ends.
struct Compressor {
    ErrorJump errors{};
    jpeg_compress_struct codec{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;

    Compressor() {
        codec.err = jpeg_std_error(&errors.manager);
        errors.manager.error_exit = JumpOnError;
        errors.manager.emit_message = IgnoreMessage;
        jpeg_create_compress(&codec);
    }
    ~Compressor() {
        jpeg_destroy_compress(&codec);
        std::free(buffer);
    }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;
};

// Image size, colour space, sampling and tables, as jpeg_write_coefficients expects them set.
void SetParameters(jpeg_compress_struct& codec, const QuantizedPicture& picture) {
    const int components = static_cast<int>(picture.planes.size());
    codec.image_width = picture.width;
    codec.image_height = picture.height;
    codec.input_components = components;
    codec.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&codec);
    jpeg_set_colorspace(&codec, components == 1 ? JCS_GRAYSCALE : JCS_YCbCr);
    for (int c = 0; c < components; ++c) {
        codec.comp_info[c].h_samp_factor = picture.coding[c].samplingH;
        codec.comp_info[c].v_samp_factor = picture.coding[c].samplingV;
        codec.comp_info[c].quant_tbl_no = picture.coding[c].table;
    }
    jpeg_set_quality(&codec, picture.quality, TRUE);
    codec.optimize_coding = TRUE;
}

JDIMENSION RoundUp(uint32_t value, int multiple) {
    return (value + static_cast<uint32_t>(multiple) - 1) / static_cast<uint32_t>(multiple) *
           static_cast<uint32_t>(multiple);
}

// Everything that may end in error_exit; nothing here owns memory, so the jump back leaks
// nothing. False if libjpeg gave up.
bool Compress(Compressor& compressor, const QuantizedPicture& picture, const jpeg_scan_info* scans,
              int scanCount) {
    jpeg_compress_struct& codec = compressor.codec;
    if (setjmp(compressor.errors.jump)) return false;
    SetParameters(codec, picture);
    codec.scan_info = scans;
    codec.num_scans = scanCount;
    jpeg_mem_dest(&codec, &compressor.buffer, &compressor.size);
    jvirt_barray_ptr arrays[MAX_COMPONENTS];
    const auto components = static_cast<int>(picture.planes.size());
    for (int c = 0; c < components; ++c) {
        const ComponentCoding& coding = picture.coding[c];
        arrays[c] = codec.mem->request_virt_barray(
            reinterpret_cast<j_common_ptr>(&codec), JPOOL_IMAGE, TRUE,
            RoundUp(picture.planes[c].blocksWide, coding.samplingH),
            RoundUp(picture.planes[c].blocksHigh, coding.samplingV),
            static_cast<JDIMENSION>(coding.samplingV));
    }
    jpeg_write_coefficients(&codec, arrays); // realizes the arrays and writes the header
    for (int c = 0; c < components; ++c) {
        const BlockPlane& plane = picture.planes[c];
        const size_t rowValues = size_t{plane.blocksWide} * 64;
        for (uint32_t row = 0; row < plane.blocksHigh; ++row) {
            JBLOCKARRAY blocks = codec.mem->access_virt_barray(
                reinterpret_cast<j_common_ptr>(&codec), arrays[c], row, 1, TRUE);
            std::memcpy(blocks[0], plane.values.data() + row * rowValues,
                        rowValues * sizeof(JCOEF));
        }
    }
    if (!picture.iccProfile.empty())
        jpeg_write_icc_profile(&codec, picture.iccProfile.data(),
                               static_cast<unsigned int>(picture.iccProfile.size()));
    for (const JpegSegment& segment : picture.metadata)
        jpeg_write_marker(&codec, segment.marker, segment.data.data(),
                          static_cast<unsigned int>(segment.data.size()));
    jpeg_finish_compress(&codec);
    return true;
}

} // namespace

std::optional<std::array<QuantTable, 2>> StandardTables(int quality) {
    Compressor compressor;
    jpeg_compress_struct& codec = compressor.codec;
    if (setjmp(compressor.errors.jump)) return std::nullopt;
    codec.in_color_space = JCS_RGB;
    codec.input_components = 3;
    jpeg_set_defaults(&codec);
    jpeg_set_quality(&codec, quality, TRUE);
    std::array<QuantTable, 2> tables{};
    for (int t = 0; t < 2; ++t)
        for (int k = 0; k < 64; ++k)
            tables[t][k] = codec.quant_tbl_ptrs[t]->quantval[k];
    return tables;
}

std::vector<uint8_t> WriteCoefficients(const QuantizedPicture& picture,
                                       std::span<const Scan> script) {
    std::vector<jpeg_scan_info> scans(script.size());
    for (size_t s = 0; s < script.size(); ++s) {
        scans[s].comps_in_scan = static_cast<int>(script[s].components.size());
        for (size_t i = 0; i < script[s].components.size(); ++i)
            scans[s].component_index[i] = script[s].components[i];
        scans[s].Ss = script[s].Ss;
        scans[s].Se = script[s].Se;
        scans[s].Ah = script[s].Ah;
        scans[s].Al = script[s].Al;
    }
    static_assert(sizeof(JCOEF) == sizeof(int16_t));
    if (picture.iccProfile.size() > 255u * 65519u) return {}; // past 255 APP2 segments
    Compressor compressor;
    if (!Compress(compressor, picture, scans.data(), static_cast<int>(scans.size()))) return {};
    return {compressor.buffer, compressor.buffer + compressor.size};
}

} // namespace lumatrim
