// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gif/lzw_decoder.h"

#include "gif/row_order.h"

#include <algorithm>
#include <cstring>

namespace lumatrim {

namespace {

// Where the next pixels go: the surface's rows in GIF order. Strings are copied in row-sized
// pieces, so the cost per pixel is a byte copy.
class PixelSink {
public:
    PixelSink(cDIB& surface, bool interlaced)
        : order_(surface.Height(), interlaced), bits_(surface.lpBits()),
          stride_(surface.BytesPerScanline()), width_(surface.Width()),
          row_(bits_ + static_cast<ptrdiff_t>(order_.Row()) * stride_) {}

    bool Done() const { return order_.Done(); }
    size_t Written() const { return rows_ * static_cast<size_t>(width_) + static_cast<size_t>(x_); }
    // Room left in the current row, where a string can be written in place.
    uint8_t* RowSpace(uint32_t length) {
        return x_ + static_cast<int32_t>(length) <= width_ ? row_ + x_ : nullptr;
    }
    void Advance(uint32_t length) {
        x_ += static_cast<int32_t>(length);
        if (x_ == width_) NextRow();
    }
    void Put(const uint8_t* pixels, uint32_t length) {
        while (length > 0 && !Done()) {
            const uint32_t piece = std::min(length, static_cast<uint32_t>(width_ - x_));
            std::memcpy(row_ + x_, pixels, piece);
            pixels += piece;
            length -= piece;
            Advance(piece);
        }
    }

private:
    void NextRow() {
        x_ = 0;
        ++rows_;
        order_.Next();
        row_ = bits_ + static_cast<ptrdiff_t>(order_.Row()) * stride_;
    }

    RowOrder order_;
    uint8_t* bits_;
    int32_t stride_;
    int32_t width_;
    int32_t x_ = 0;
    size_t rows_ = 0; // rows complete
    uint8_t* row_;
};

} // namespace

size_t mGIFLZWDec::DecodeImage(cDIB& Surface, bool Interlaced, uint8_t MinCodeSize,
                               std::span<const uint8_t> Data) {
    // The first table entry must lie inside the 4096-code table.
    if (Surface.BPP() != 8 || !Surface.lpBits() || MinCodeSize >= 12) return 0;
    PixelSink sink(Surface, Interlaced && Surface.Height() > 4);

    const uint32_t clear = 1u << MinCodeSize;
    const uint32_t end = clear + 1;
    const int initSize = MinCodeSize + 1;
    for (uint32_t root = 0; root < clear; ++root)
        length_[root] = 1;

    // Bit reader state, least significant bit first; running out of data reads as End.
    const uint8_t* const in = Data.data();
    const size_t inSize = Data.size();
    size_t pos = 0;
    uint32_t acc = 0;
    int held = 0;
    int size = initSize;
    uint32_t largest = (1u << size) - 1;
    const auto readCode = [&]() -> uint32_t {
        while (held < size) {
            if (pos == inSize) return end;
            acc |= uint32_t{in[pos++]} << held;
            held += 8;
        }
        const uint32_t code = acc & largest;
        acc >>= size;
        held -= size;
        return code;
    };

    uint32_t nextFree = clear + 2;
    bool first = true;
    uint32_t prev = 0;
    uint8_t firstByte = 0;
    // The data should begin with a Clear code, but some encoders leave it out: the first code
    // is examined like any other, so a leading pixel is not lost.
    while (!sink.Done()) {
        const uint32_t code = readCode();
        if (code == end) break;
        if (code == clear) {
            first = true;
            size = initSize;
            largest = (1u << size) - 1;
            nextFree = clear + 2;
            continue;
        }
        if (code > nextFree || (code < clear && code > 255)) break; // corrupt: ends the frame
        if (first) {
            if (code > clear) break; // no string to start from
            first = false;
            prev = code;
            firstByte = static_cast<uint8_t>(code);
            sink.Put(&firstByte, 1);
            continue;
        }
        // The string of `code`; for the code not yet in the table (code == nextFree) that is
        // the previous string followed by its own first byte. Written back to front.
        const bool known = code < nextFree;
        const uint32_t length = known ? length_[code] : length_[prev] + 1u;
        uint8_t* const inRow = sink.RowSpace(length);
        uint8_t* const out = inRow ? inRow : stack_.data();
        uint8_t* p = out + length - 1;
        uint32_t k = code;
        if (!known) {
            *p-- = firstByte;
            k = prev;
        }
        while (k >= clear) {
            *p-- = suffix_[k];
            k = prefix_[k];
        }
        *p = static_cast<uint8_t>(k);
        firstByte = out[0];
        if (inRow)
            sink.Advance(length);
        else
            sink.Put(out, length);

        if (nextFree < kMaxCodes) {
            prefix_[nextFree] = static_cast<uint16_t>(prev);
            suffix_[nextFree] = firstByte;
            length_[nextFree] = static_cast<uint16_t>(length_[prev] + 1);
            ++nextFree;
            if (nextFree > largest && size < 12) {
                ++size;
                largest = (1u << size) - 1;
            }
        }
        prev = code;
    }
    return sink.Written();
}

} // namespace lumatrim
