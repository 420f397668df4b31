// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// mGIFLZWDec: turns one frame's LZW image data into colour indices, written in place into the
// frame's 8-bit index surface (top row first in memory), in sequential or interlaced row order.
//
// One object holds the string table of one decoding at a time; DecodeImage resets it, so an
// object may decode any number of frames, one after another. Objects share nothing.
#pragma once

#include "imaging/dib.h"

#include <array>
#include <cstdint>
#include <span>

namespace lumatrim {

class mGIFLZWDec {
public:
    // The longest string the table can hold: every entry extends an older one by one byte.
    static constexpr int kMaxCodes = 4096;

    // Faults end the frame quietly, keeping the pixels written so far: a code above the next
    // free code, a first code after Clear that is not a root, an index above 255 (minimum code
    // size 9..11), a minimum code size of 12 or more. Running out of data ends the frame too.
    // Pixels the data does not reach keep their values. A surface that is not 8 bits per pixel
    // is left alone. Interlaced order applies only to frames taller than 4 rows. Returns how many
    // pixels the data gave, in row order: all of the surface's when it was complete.
    size_t DecodeImage(cDIB& Surface, bool Interlaced, uint8_t MinCodeSize,
                       std::span<const uint8_t> Data);

private:
    std::array<uint16_t, kMaxCodes> prefix_{};
    std::array<uint8_t, kMaxCodes> suffix_{};
    std::array<uint16_t, kMaxCodes> length_{};
    std::array<uint8_t, kMaxCodes> stack_{};
};

} // namespace lumatrim
