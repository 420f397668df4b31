// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gif/lzw_encoder.h"

#include "gif/lossy_lzw_table.h"
#include "gif/row_order.h"

#include <algorithm>

namespace lumatrim {

namespace {

constexpr uint32_t kMaxCode = 4096; // no code can be added once the next free code reaches it
constexpr int kMaxBits = 12;
constexpr uint32_t kPacketSize = 254;

// The compression of a full table, window by window, for the deferred clear.
class RatioWatch {
public:
    explicit RatioWatch(uint32_t slackPercent) : slack_(100 + slackPercent) {}

    void Start(uint64_t pixels, uint64_t bits) {
        startPixels_ = pixels;
        startBits_ = bits;
        bestPixels_ = 0;
    }
    // True when the window that ends here did worse than the best one by more than the slack.
    bool Worse(uint64_t pixels, uint64_t bits) {
        const uint64_t windowPixels = pixels - startPixels_;
        if (windowPixels < ClearPolicy::kWindow) return false;
        const uint64_t windowBits = bits - startBits_;
        const bool worse =
            bestPixels_ > 0 && windowBits * bestPixels_ * 100 > bestBits_ * windowPixels * slack_;
        if (bestPixels_ == 0 || windowBits * bestPixels_ < bestBits_ * windowPixels) {
            bestPixels_ = windowPixels;
            bestBits_ = windowBits;
        }
        startPixels_ = pixels;
        startBits_ = bits;
        return worse;
    }

private:
    uint64_t slack_;
    uint64_t startPixels_ = 0;
    uint64_t startBits_ = 0;
    uint64_t bestPixels_ = 0;
    uint64_t bestBits_ = 0;
};

// The exact table as the encoding loop sees it: strings continue by their exact index only.
class ExactStrings {
public:
    explicit ExactStrings(LzwTable& table) : table_(table) {}
    void Reset() { table_.Reset(); }
    int32_t Find(uint32_t prefix, uint32_t pixel, int32_t& slot) const {
        return table_.Find(prefix, pixel, slot);
    }
    void Missed(uint32_t /*pixel*/) {}
    void Add(int32_t slot, uint32_t prefix, uint32_t pixel, uint32_t code) {
        table_.Add(slot, prefix, pixel, code);
    }

private:
    LzwTable& table_;
};

} // namespace

void mGIFLZWEnc::EncodeImage(std::vector<uint8_t>& Out, const cDIB& Surface, int InitBits,
                             bool Interlaced, const ClearPolicy& Policy,
                             const LossyColours* Lossy) {
    filled_ = false;
    if (Surface.BPP() != 8 || !Surface.lpBits() || InitBits < 2 || InitBits > 9) return;
    if (Lossy) {
        EncodingOrder(Surface, Interlaced);
        lossy_.Start(*Lossy, ordered_);
        Encode(lossy_, Out, Surface, InitBits, Interlaced, Policy);
    } else {
        ExactStrings strings(table_);
        Encode(strings, Out, Surface, InitBits, Interlaced, Policy);
    }
}

void mGIFLZWEnc::EncodingOrder(const cDIB& Surface, bool Interlaced) {
    const auto width = static_cast<size_t>(Surface.Width());
    ordered_.resize(width * static_cast<size_t>(Surface.Height()));
    RowOrder order(Surface.Height(), Interlaced && Surface.Height() > 4);
    for (uint8_t* out = ordered_.data(); !order.Done(); order.Next(), out += width)
        std::copy_n(Surface.lpBits() +
                        static_cast<ptrdiff_t>(order.Row()) * Surface.BytesPerScanline(),
                    width, out);
}

template <typename Strings>
void mGIFLZWEnc::Encode(Strings& strings, std::vector<uint8_t>& Out, const cDIB& Surface,
                        int InitBits, bool Interlaced, const ClearPolicy& Policy) {
    const int32_t width = Surface.Width();
    const int32_t stride = Surface.BytesPerScanline();
    const uint8_t* const bits = Surface.lpBits();
    RowOrder order(Surface.Height(), Interlaced && Surface.Height() > 4);

    const uint32_t clear = 1u << (InitBits - 1);
    const uint32_t end = clear + 1;
    // A decoder goes on adding codes until 4096, so only a table full to the last code can wait.
    const uint32_t fullAt =
        Policy.deferred ? kMaxCode : std::clamp(Policy.fullAt, clear + 3, kMaxCode);
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
    uint64_t bitsOut = 0;
    const auto outputCode = [&](uint32_t code) {
        acc |= code << held;
        held += codeBits;
        bitsOut += static_cast<uint64_t>(codeBits);
        for (; held >= 8; held -= 8, acc >>= 8)
            putByte(static_cast<uint8_t>(acc));
        // The width changes after the code that needed it, so a Clear goes out at the old width.
        if (clearing) {
            codeBits = InitBits;
            largest = (1u << codeBits) - 1;
            clearing = false;
        } else if (nextFree > largest && codeBits < kMaxBits) {
            ++codeBits;
            largest = codeBits == kMaxBits ? kMaxCode : (1u << codeBits) - 1;
        }
    };
    const auto restart = [&] {
        strings.Reset();
        nextFree = clear + 2;
        clearing = true;
        outputCode(clear);
    };

    RatioWatch watch(Policy.slackPercent);
    bool watching = false; // a deferred clear: the table is full and the watch runs
    uint64_t rowsDone = 0;
    strings.Reset();
    outputCode(clear);
    uint32_t prefix = bits[static_cast<ptrdiff_t>(order.Row()) * stride];
    int32_t x = 1;
    for (; !order.Done(); order.Next(), x = 0, ++rowsDone) {
        const uint8_t* const row = bits + static_cast<ptrdiff_t>(order.Row()) * stride;
        for (; x < width; ++x) {
            const uint32_t pixel = row[x];
            int32_t slot = 0;
            const int32_t found = strings.Find(prefix, pixel, slot);
            if (found >= 0) {
                prefix = static_cast<uint32_t>(found);
                continue;
            }
            strings.Missed(pixel);
            outputCode(prefix);
            if (nextFree < fullAt) {
                strings.Add(slot, prefix, pixel, nextFree++);
                prefix = pixel;
                continue;
            }
            prefix = pixel;
            filled_ = true;
            if (!Policy.deferred) {
                restart();
                continue;
            }
            const uint64_t pixels = rowsDone * static_cast<uint64_t>(width) + x;
            if (!watching) {
                watching = true;
                watch.Start(pixels, bitsOut);
            } else if (watch.Worse(pixels, bitsOut)) {
                restart();
                watching = false;
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
