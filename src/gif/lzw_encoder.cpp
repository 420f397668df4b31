// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gif/lzw_encoder.h"

#include "gif/row_order.h"

namespace lumatrim {

namespace {

constexpr uint32_t kMaxCode = 4096; // the table is full when the next free code reaches it
constexpr int kMaxBits = 12;
constexpr uint32_t kPacketSize = 254; // the output bytes depend on this size

} // namespace

void mGIFLZWEnc::EncodeImage(std::vector<uint8_t>& Out, const cDIB& Surface, int InitBits,
                             bool Interlaced) {
    if (Surface.BPP() != 8 || !Surface.lpBits() || InitBits < 2 || InitBits > 9) return;
    const int32_t width = Surface.Width();
    const int32_t stride = Surface.BytesPerScanline();
    const uint8_t* const bits = Surface.lpBits();
    RowOrder order(Surface.Height(), Interlaced && Surface.Height() > 4);

    const uint32_t clear = 1u << (InitBits - 1);
    const uint32_t end = clear + 1;
    int codeBits = InitBits;
    uint32_t largest = (1u << codeBits) - 1;
    uint32_t nextFree = clear + 2;
    bool clearing = false;

    // Packets are built in place: a length byte, then up to 254 data bytes.
    size_t lengthAt = Out.size();
    Out.push_back(0);
    uint32_t inPacket = 0;
    const auto putByte = [&](uint8_t byte) {
        Out.push_back(byte);
        if (++inPacket == kPacketSize) {
            Out[lengthAt] = static_cast<uint8_t>(kPacketSize);
            lengthAt = Out.size();
            Out.push_back(0);
            inPacket = 0;
        }
    };

    uint32_t acc = 0;
    int held = 0;
    const auto outputCode = [&](uint32_t code) {
        acc |= code << held;
        held += codeBits;
        for (; held >= 8; held -= 8, acc >>= 8)
            putByte(static_cast<uint8_t>(acc));
        // The width changes after the code that needed it, so a Clear goes out at the old width.
        if (clearing) {
            codeBits = InitBits;
            largest = (1u << codeBits) - 1;
            clearing = false;
        } else if (nextFree > largest) {
            ++codeBits;
            largest = codeBits == kMaxBits ? kMaxCode : (1u << codeBits) - 1;
        }
    };

    keys_.fill(-1);
    outputCode(clear);
    uint32_t prefix = bits[static_cast<ptrdiff_t>(order.Row()) * stride];
    int32_t x = 1;
    for (; !order.Done(); order.Next(), x = 0) {
        const uint8_t* const row = bits + static_cast<ptrdiff_t>(order.Row()) * stride;
        for (; x < width; ++x) {
            const uint32_t pixel = row[x];
            const int32_t key = static_cast<int32_t>((pixel << 12) + prefix);
            int32_t slot = static_cast<int32_t>((pixel << 4) ^ prefix);
            int32_t found = keys_[slot];
            if (found != key && found >= 0) {
                const int32_t step = slot == 0 ? 1 : kHashSize - slot;
                do {
                    slot -= step;
                    if (slot < 0) slot += kHashSize;
                    found = keys_[slot];
                } while (found != key && found > 0);
            }
            if (found == key) {
                prefix = codes_[slot];
                continue;
            }
            outputCode(prefix);
            prefix = pixel;
            if (nextFree < kMaxCode) {
                codes_[slot] = static_cast<uint16_t>(nextFree++);
                keys_[slot] = key;
            } else {
                keys_.fill(-1);
                nextFree = clear + 2;
                clearing = true;
                outputCode(clear);
            }
        }
    }
    outputCode(prefix);
    outputCode(end);
    for (; held > 0; held -= 8, acc >>= 8)
        putByte(static_cast<uint8_t>(acc));
    if (inPacket > 0)
        Out[lengthAt] = static_cast<uint8_t>(inPacket);
    else
        Out.pop_back(); // no empty packet: it would read as the terminator
}

} // namespace lumatrim
