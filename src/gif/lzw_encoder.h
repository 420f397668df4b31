// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// mGIFLZWEnc: compresses one frame's 8-bit index surface (top row first in memory) into GIF LZW
// image data, appended to a byte buffer as data sub-blocks without the block terminator.
//
// Codes of at most 12 bits (the string table is LzwTable), packed least significant bit first
// into 254-byte sub-blocks. When the table fills, the clear policy decides
// what follows; where the Clear code goes changes a frame's size by up to 40% (measured on the
// public corpus), in no way that can be foreseen, so the writer may try several and keep the
// smallest.
//
// One object holds the tables of one encoding at a time; EncodeImage resets them.
#pragma once

#include "gif/lossy_lzw_table.h"
#include "gif/lzw_table.h"
#include "imaging/dib.h"

#include <array>
#include <cstdint>
#include <vector>

namespace lumatrim {

// What the encoder does when the code table fills.
struct ClearPolicy {
    // Clear as soon as the next free code reaches this (at most 4096).
    uint32_t fullAt = 4096;
    // Deferred instead: a table full to code 4095 goes on without new entries (decoders must
    // allow this) until the bits per pixel of a window of kWindow pixels grow beyond the best
    // window's by `slackPercent`; only then comes the Clear.
    bool deferred = false;
    uint32_t slackPercent = 0;
    static constexpr uint32_t kWindow = 4096;
    static constexpr uint32_t kNever = 1'000'000; // a slack no window reaches: no Clear at all
};

// How hard the writer looks for the smallest LZW data: the classic policy only, or the
// smallest of four for every frame that fills the table (four times the encoding time of such
// frames; frames that never fill it are encoded once either way).
enum class LzwEffort { OnePolicy, BestPolicy };

class mGIFLZWEnc {
public:
    // InitBits is the minimum code size + 1 (3..9). A surface that is not 8 bits per pixel
    // produces no data. Interlaced order applies only to frames taller than 4 rows. Indices
    // must lie below 2^(InitBits - 1). With `Lossy`, pixels may be written as other indices
    // of nearby colour (LossyLzwTable).
    void EncodeImage(std::vector<uint8_t>& Out, const cDIB& Surface, int InitBits, bool Interlaced,
                     const ClearPolicy& Policy = {}, const LossyColours* Lossy = nullptr);
    // Whether the last encoding filled the table: only then can another policy differ.
    bool TableFilled() const { return filled_; }

private:
    template <typename Strings>
    void Encode(Strings& strings, std::vector<uint8_t>& Out, const cDIB& Surface, int InitBits,
                bool Interlaced, const ClearPolicy& Policy);
    // The surface's indices into ordered_, in the order they are encoded.
    void EncodingOrder(const cDIB& Surface, bool Interlaced);

    LzwTable table_;
    LossyLzwTable lossy_;
    std::vector<uint8_t> ordered_;
    bool filled_ = false;
};

} // namespace lumatrim
