// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "png/deflate_join.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <optional>
#include <vector>

namespace lumatrim::png {

namespace {

// Deflate blocks, bits read from the low bit of each byte up:
//   header   BFINAL (1 bit: the last block), BTYPE (2 bits: 0 stored, 1 fixed, 2 dynamic codes)
//   stored   pad to the byte, LEN (16 bits, little-endian), NLEN = ~LEN, LEN bytes
// The stream's last byte is padded with zero bits after the last block's end-of-block code.
struct LastBlock {
    size_t headerByte = 0; // where its BFINAL bit is
    int headerBit = 0;
    int paddingBits = 0; // zero bits after its end, to the end of the stream
};

// zlib's inflate, asked to stop at every block boundary, tells how many bits of the last byte
// it took are still unread: the next block's header starts there.
std::optional<LastBlock> FindLastBlock(std::span<const uint8_t> stream) {
    if (stream.empty() || stream.size() > UINT_MAX) return std::nullopt;
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return std::nullopt;
    std::vector<uint8_t> discard(size_t{1} << 16);
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    LastBlock last;
    std::optional<LastBlock> found;
    for (;;) {
        z.next_out = discard.data();
        z.avail_out = static_cast<uInt>(discard.size());
        if (inflate(&z, Z_BLOCK) != Z_OK) break; // damaged, short, or past its end
        constexpr int kAtBoundary = 128, kInLastBlock = 64;
        if (!(z.data_type & kAtBoundary)) continue;
        const size_t used = static_cast<size_t>(z.next_in - stream.data());
        const int unreadBits = z.data_type & 7;
        if (z.data_type & kInLastBlock) {
            last.paddingBits = unreadBits;
            if (used == stream.size()) found = last;
            break;
        }
        last.headerByte = unreadBits ? used - 1 : used;
        last.headerBit = unreadBits ? 8 - unreadBits : 0;
    }
    inflateEnd(&z);
    return found;
}

} // namespace

size_t MakeJoinable(std::span<uint8_t> room, size_t size) {
    if (room.size() < size + kJoinTailBytes) return 0;
    const std::optional<LastBlock> last = FindLastBlock(room.first(size));
    if (!last) return 0;
    room[last->headerByte] &= static_cast<uint8_t>(~(1u << last->headerBit));
    // The empty stored block's 3 header bits are zero: the padding holds them if it has room,
    // or they run on into a zero byte. Either way the rest of that byte is skipped.
    if (last->paddingBits < 3) room[size++] = 0;
    constexpr uint8_t kEmptyStored[] = {0x00, 0x00, 0xFF, 0xFF}; // LEN 0, NLEN
    std::copy(std::begin(kEmptyStored), std::end(kEmptyStored), room.begin() + size);
    return size + sizeof kEmptyStored;
}

} // namespace lumatrim::png
