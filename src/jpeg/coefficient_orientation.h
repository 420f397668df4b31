// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// An EXIF orientation applied to a JPEG's DCT coefficients, losslessly: whole blocks move to
// their upright places, and inside each block the coefficients are transposed where the picture
// is, and those of odd frequency along a mirrored axis change sign (the cosine basis functions
// of odd frequency are odd about the block's centre).
//
// Each function calls libjpeg and must run under the owning object's error trap.
#pragma once

#include "jpeg/orientation.h"

#include <cstdio>
#include <jpeglib.h>

namespace lumatrim {

// True when the orientation moves no partial iMCU from the right or bottom edge (where the
// picture's size leaves one) to the left or top, where a decoder would show its padding.
bool OrientsExactly(const jpeg_decompress_struct& source, const OrientationMap& map);

// The arrays for the upright coefficients, from the source's memory manager; to be asked for
// after jpeg_read_header and before jpeg_read_coefficients, which then allocates them.
jvirt_barray_ptr* RequestUprightArrays(jpeg_decompress_struct& source, const OrientationMap& map);

// Fills `upright` with the `stored` coefficients turned upright.
void OrientCoefficients(jpeg_decompress_struct& source, jvirt_barray_ptr* stored,
                        jvirt_barray_ptr* upright, const OrientationMap& map);

// The destination's frame for upright coefficients of a transposed picture: width and height,
// each component's sampling factors and the quantization tables transposed.
void TransposeFrame(jpeg_compress_struct& destination);

// A grey picture is one component and needs no sampling factors but 1x1; the upright arrays
// are laid out so, and so is the rewritten frame.
void SampleGreyOneToOne(jpeg_compress_struct& destination);

} // namespace lumatrim
