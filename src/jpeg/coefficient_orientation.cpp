// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpeg/coefficient_orientation.h"

#include <array>
#include <cstring>
#include <utility>

namespace lumatrim {

namespace {

// A component's layout in blocks in the upright frame.
struct UprightLayout {
    JDIMENSION arrayWidth, arrayHeight; // whole MCUs, as the writer reads them
    JDIMENSION width, height;           // the blocks the picture covers
    int rowsPerAccess;                  // the component's vertical sampling factor
};

JDIMENSION DivideRoundingUp(JDIMENSION value, JDIMENSION divisor) {
    return (value + divisor - 1) / divisor;
}

UprightLayout LayoutOf(const jpeg_decompress_struct& source, int component,
                       const OrientationMap& map) {
    const jpeg_component_info& stored = source.comp_info[component];
    const bool grey = source.num_components == 1;
    int h = grey ? 1 : stored.h_samp_factor, v = grey ? 1 : stored.v_samp_factor;
    int maxH = grey ? 1 : source.max_h_samp_factor, maxV = grey ? 1 : source.max_v_samp_factor;
    JDIMENSION width = source.image_width, height = source.image_height;
    JDIMENSION blocksWide = stored.width_in_blocks, blocksHigh = stored.height_in_blocks;
    if (map.transposed) {
        std::swap(h, v);
        std::swap(maxH, maxV);
        std::swap(width, height);
        std::swap(blocksWide, blocksHigh);
    }
    const JDIMENSION mcuWidth = JDIMENSION(maxH) * DCTSIZE, mcuHeight = JDIMENSION(maxV) * DCTSIZE;
    return {DivideRoundingUp(width, mcuWidth) * JDIMENSION(h),
            DivideRoundingUp(height, mcuHeight) * JDIMENSION(v), blocksWide, blocksHigh, v};
}

// Where each upright coefficient comes from in its stored block, and its sign.
struct BlockMapping {
    std::array<uint8_t, DCTSIZE2> from;
    std::array<int8_t, DCTSIZE2> sign;
};

BlockMapping BlockMappingOf(const OrientationMap& map) {
    BlockMapping mapping{};
    for (int row = 0; row < DCTSIZE; ++row)
        for (int column = 0; column < DCTSIZE; ++column) {
            const int storedRow = map.transposed ? column : row;
            const int storedColumn = map.transposed ? row : column;
            const bool negate =
                (map.mirrorX && storedColumn % 2 == 1) != (map.mirrorY && storedRow % 2 == 1);
            mapping.from[row * DCTSIZE + column] = uint8_t(storedRow * DCTSIZE + storedColumn);
            mapping.sign[row * DCTSIZE + column] = negate ? -1 : 1;
        }
    return mapping;
}

void OrientComponent(jpeg_decompress_struct& source, int component, jvirt_barray_ptr stored,
                     jvirt_barray_ptr upright, const OrientationMap& map) {
    const UprightLayout layout = LayoutOf(source, component, map);
    const BlockMapping mapping = BlockMappingOf(map);
    const JDIMENSION storedWide = source.comp_info[component].width_in_blocks;
    const JDIMENSION storedHigh = source.comp_info[component].height_in_blocks;
    const auto common = reinterpret_cast<j_common_ptr>(&source);
    for (JDIMENSION top = 0; top < layout.arrayHeight; top += JDIMENSION(layout.rowsPerAccess)) {
        JBLOCKARRAY rows = source.mem->access_virt_barray(common, upright, top,
                                                          JDIMENSION(layout.rowsPerAccess), TRUE);
        for (JDIMENSION y = top; y < top + JDIMENSION(layout.rowsPerAccess); ++y) {
            JBLOCKROW out = rows[y - top];
            for (JDIMENSION x = 0; x < layout.arrayWidth; ++x) {
                if (x >= layout.width || y >= layout.height) { // padding the writer never shows
                    std::memset(out[x], 0, sizeof(JBLOCK));
                    continue;
                }
                const JDIMENSION a = map.transposed ? y : x, b = map.transposed ? x : y;
                const JDIMENSION storedX = map.mirrorX ? storedWide - 1 - a : a;
                const JDIMENSION storedY = map.mirrorY ? storedHigh - 1 - b : b;
                const JCOEF* in =
                    source.mem->access_virt_barray(common, stored, storedY, 1, FALSE)[0][storedX];
                for (int k = 0; k < DCTSIZE2; ++k)
                    out[x][k] = static_cast<JCOEF>(in[mapping.from[k]] * mapping.sign[k]);
            }
        }
    }
}

} // namespace

bool OrientsExactly(const jpeg_decompress_struct& source, const OrientationMap& map) {
    const bool grey = source.num_components == 1;
    const JDIMENSION mcuWidth = JDIMENSION(grey ? 1 : source.max_h_samp_factor) * DCTSIZE;
    const JDIMENSION mcuHeight = JDIMENSION(grey ? 1 : source.max_v_samp_factor) * DCTSIZE;
    return (!map.mirrorX || source.image_width % mcuWidth == 0) &&
           (!map.mirrorY || source.image_height % mcuHeight == 0);
}

jvirt_barray_ptr* RequestUprightArrays(jpeg_decompress_struct& source, const OrientationMap& map) {
    const auto common = reinterpret_cast<j_common_ptr>(&source);
    auto* arrays = static_cast<jvirt_barray_ptr*>(source.mem->alloc_small(
        common, JPOOL_IMAGE, sizeof(jvirt_barray_ptr) * size_t(source.num_components)));
    for (int c = 0; c < source.num_components; ++c) {
        const UprightLayout layout = LayoutOf(source, c, map);
        arrays[c] =
            source.mem->request_virt_barray(common, JPOOL_IMAGE, FALSE, layout.arrayWidth,
                                            layout.arrayHeight, JDIMENSION(layout.rowsPerAccess));
    }
    return arrays;
}

void OrientCoefficients(jpeg_decompress_struct& source, jvirt_barray_ptr* stored,
                        jvirt_barray_ptr* upright, const OrientationMap& map) {
    for (int c = 0; c < source.num_components; ++c)
        OrientComponent(source, c, stored[c], upright[c], map);
}

void TransposeFrame(jpeg_compress_struct& destination) {
    std::swap(destination.image_width, destination.image_height);
    for (int c = 0; c < destination.num_components; ++c)
        std::swap(destination.comp_info[c].h_samp_factor, destination.comp_info[c].v_samp_factor);
    for (JQUANT_TBL* table : destination.quant_tbl_ptrs) {
        if (!table) continue;
        for (int row = 0; row < DCTSIZE; ++row)
            for (int column = row + 1; column < DCTSIZE; ++column)
                std::swap(table->quantval[row * DCTSIZE + column],
                          table->quantval[column * DCTSIZE + row]);
    }
}

void SampleGreyOneToOne(jpeg_compress_struct& destination) {
    if (destination.num_components != 1) return;
    destination.comp_info[0].h_samp_factor = 1;
    destination.comp_info[0].v_samp_factor = 1;
}

} // namespace lumatrim
