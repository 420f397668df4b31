// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// mGIFLZWEnc: compresses one frame's 8-bit index surface (top row first in memory) into GIF LZW
// image data, appended to a byte buffer as data sub-blocks without the block terminator.
//
// The scheme decides the output bytes, so it is kept exactly: a 5003-slot open-addressing hash
// table (slot = pixel << 4 XOR prefix, key = pixel << 12 + prefix, probing backwards by
// 5003 - slot), codes of at most 12 bits, a Clear code as soon as the table is full (sent at
// the width in force), and the bits packed least significant first into 254-byte sub-blocks.
//
// One object holds the tables of one encoding at a time; EncodeImage resets them.
#pragma once

#include "imaging/dib.h"

#include <array>
#include <cstdint>
#include <vector>

namespace lumatrim {

class mGIFLZWEnc {
public:
    static constexpr int32_t kHashSize = 5003;

    // InitBits is the minimum code size + 1 (3..9). A surface that is not 8 bits per pixel
    // produces no data. Interlaced order applies only to frames taller than 4 rows. Indices
    // must lie below 2^(InitBits - 1).
    void EncodeImage(std::vector<uint8_t>& Out, const cDIB& Surface, int InitBits, bool Interlaced);

private:
    std::array<int32_t, kHashSize> keys_{};
    std::array<uint16_t, kHashSize> codes_{};
};

} // namespace lumatrim
