// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The forward discrete cosine transform of one 8x8 block of samples, as JPEG defines it:
//   F(u,v) = 1/4 C(u) C(v) sum over x,y of (s(x,y) - 128) cos((2x+1)u pi/16) cos((2y+1)v pi/16)
// with C(0) = 1/sqrt(2) and C(k) = 1 otherwise. The transform is orthonormal up to a factor of
// 8 per axis pair, so a squared error in F is the same squared error in the decoded samples.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumatrim::trellis {

// The 64 coefficients of the block whose first row starts at `samples` (rows `stride` bytes
// apart), in natural (row-major, v then u) order, in single precision: exact to far below the
// quantizer's finest step of 1.
void ForwardDct(const uint8_t* samples, ptrdiff_t stride, float coefficients[64]);

} // namespace lumatrim::trellis
