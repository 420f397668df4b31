// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "libjpeg_decode.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

namespace lumatrim::test {

namespace {

struct Errors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    int warnings = 0;
};

QuantTables TablesOf(JQUANT_TBL* const (&tables)[NUM_QUANT_TBLS]) {
    QuantTables out;
    for (const JQUANT_TBL* table : tables)
        if (table) out.emplace_back(table->quantval, table->quantval + DCTSIZE2);
    return out;
}

struct Decompressor {
    Errors errors{};
    jpeg_decompress_struct codec{};
    JOCTET* icc = nullptr;
    unsigned int iccSize = 0;
    Decompressor() {
        codec.err = jpeg_std_error(&errors.manager);
        errors.manager.error_exit = [](j_common_ptr c) {
            std::longjmp(reinterpret_cast<Errors*>(c->err)->jump, 1);
        };
        errors.manager.emit_message = [](j_common_ptr c, int level) {
            if (level < 0) ++reinterpret_cast<Errors*>(c->err)->warnings;
        };
        jpeg_create_decompress(&codec);
    }
    ~Decompressor() {
        jpeg_destroy_decompress(&codec);
        std::free(icc);
    }
};

bool Decode(Decompressor& d, const std::vector<uint8_t>& file, DecodedJpeg& out) {
    jpeg_decompress_struct& codec = d.codec;
    if (setjmp(d.errors.jump)) return false;
    jpeg_mem_src(&codec, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_save_markers(&codec, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&codec, TRUE);
    jpeg_read_icc_profile(&codec, &d.icc, &d.iccSize);
    out.progressive = codec.progressive_mode;
    out.tables = TablesOf(codec.quant_tbl_ptrs);
    for (int c = 0; c < codec.num_components; ++c) {
        out.samplingH.push_back(codec.comp_info[c].h_samp_factor);
        out.samplingV.push_back(codec.comp_info[c].v_samp_factor);
    }
    jpeg_start_decompress(&codec);
    out.width = codec.output_width;
    out.height = codec.output_height;
    const size_t stride = size_t{out.width} * static_cast<size_t>(codec.output_components);
    out.samples.resize(stride * out.height);
    while (codec.output_scanline < codec.output_height) {
        JSAMPROW row = out.samples.data() + codec.output_scanline * stride;
        jpeg_read_scanlines(&codec, &row, 1);
    }
    jpeg_finish_decompress(&codec);
    return true;
}

} // namespace

DecodedJpeg DecodeWithLibjpeg(const std::vector<uint8_t>& file) {
    DecodedJpeg out;
    Decompressor decompressor;
    out.ok = Decode(decompressor, file, out);
    out.warnings = decompressor.errors.warnings;
    if (decompressor.icc)
        out.iccProfile.assign(decompressor.icc, decompressor.icc + decompressor.iccSize);
    return out;
}

QuantTables LibjpegTables(int quality) {
    jpeg_compress_struct codec{};
    jpeg_error_mgr errors{};
    codec.err = jpeg_std_error(&errors);
    jpeg_create_compress(&codec);
    codec.in_color_space = JCS_RGB;
    jpeg_set_defaults(&codec);
    jpeg_set_quality(&codec, quality, TRUE);
    QuantTables tables = TablesOf(codec.quant_tbl_ptrs);
    jpeg_destroy_compress(&codec);
    return tables;
}

} // namespace lumatrim::test
