// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Blits between surfaces: nearest-pixel stretching, depth conversion and raster operations.
//
// Work goes row by row through one buffer of 32-bit values: fetch the sampled source pixels,
// turn them into the target's pixel values (indices or colours), then combine them with the
// target's row under the raster operation. Every switch on depth or operation sits outside the
// pixel loops. Colours travel as 0x00RRGGBB, which is a table entry's or a 32-bit pixel's
// blue, green, red byte order read as a little-endian number.
#include "imaging/dib.h"

#include <cstring>
#include <memory>

namespace lumatrim {

namespace {

bool IsPalettized(int32_t bpp) {
    return bpp <= 8;
}

uint32_t Load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

uint32_t Expand5(uint32_t v) {
    return (v << 3) | (v >> 2);
}

// Which source pixel each target pixel along one axis takes, for the part of the target
// rectangle that lies on the target and samples a pixel of the source.
struct AxisMap {
    int32_t first = 0;           // first target coordinate covered
    std::vector<int32_t> source; // source coordinate for first, first + 1, ...
};

AxisMap MapAxis(int32_t dst, int32_t dstLen, int32_t dstLimit, int32_t src, int32_t srcLen,
                int32_t srcLimit) {
    AxisMap map;
    const bool mirrored = dstLen < 0;
    if (mirrored) {
        dst += dstLen;
        dstLen = -dstLen;
    }
    const int64_t begin = std::max<int64_t>(0, -int64_t{dst});
    const int64_t end = std::min<int64_t>(dstLen, int64_t{dstLimit} - dst);
    for (int64_t i = begin; i < end; ++i) {
        const int64_t step = mirrored ? dstLen - 1 - i : i;
        const int64_t s = src + step * srcLen / dstLen;
        if (s < 0 || s >= srcLimit) {
            if (!map.source.empty())
                break; // the sampled coordinates are monotonic: nothing valid follows
            continue;
        }
        if (map.source.empty()) map.first = static_cast<int32_t>(dst + i);
        map.source.push_back(static_cast<int32_t>(s));
    }
    return map;
}

// Nearest colour-table entry by squared RGB distance, the lowest index winning ties, with a
// small direct-mapped cache since pictures repeat their colours.
class NearestEntry {
public:
    NearestEntry(std::span<const uint8_t> table)
        : count_(static_cast<int32_t>(table.size() / 4)), table_(table), keys_(kSlots, kEmpty),
          values_(kSlots) {}

    uint32_t operator()(uint32_t colour) {
        const uint32_t slot = (colour * 2654435761u) >> (32 - kSlotBits);
        if (keys_[slot] != colour) {
            keys_[slot] = colour;
            values_[slot] = Search(colour);
        }
        return values_[slot];
    }

private:
    static constexpr int kSlotBits = 12;
    static constexpr uint32_t kSlots = 1u << kSlotBits;
    static constexpr uint32_t kEmpty = 0xFFFFFFFF; // no colour has a high byte

    uint32_t Search(uint32_t colour) const {
        const int32_t b = colour & 0xFF, g = (colour >> 8) & 0xFF, r = (colour >> 16) & 0xFF;
        uint32_t best = 0;
        int32_t bestDistance = INT32_MAX;
        for (int32_t i = 0; i < count_ && bestDistance > 0; ++i) {
            const uint8_t* e = &table_[4 * static_cast<size_t>(i)];
            const int32_t db = e[0] - b, dg = e[1] - g, dr = e[2] - r;
            const int32_t distance = db * db + dg * dg + dr * dr;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = static_cast<uint32_t>(i);
            }
        }
        return best;
    }

    int32_t count_;
    std::span<const uint8_t> table_;
    std::vector<uint32_t> keys_;
    std::vector<uint32_t> values_;
};

// Reads the sampled pixels of one source row: indices for palettized depths, else colours.
void FetchRow(const uint8_t* row, int32_t bpp, const std::vector<int32_t>& cols, uint32_t* out) {
    const size_t n = cols.size();
    switch (bpp) {
    case 1:
        for (size_t k = 0; k < n; ++k)
            out[k] = (row[cols[k] >> 3] >> (7 - (cols[k] & 7))) & 1;
        break;
    case 4:
        for (size_t k = 0; k < n; ++k)
            out[k] = (row[cols[k] >> 1] >> ((cols[k] & 1) ? 0 : 4)) & 0xF;
        break;
    case 8:
        for (size_t k = 0; k < n; ++k)
            out[k] = row[cols[k]];
        break;
    case 16:
        for (size_t k = 0; k < n; ++k) {
            const uint32_t v = row[2 * cols[k]] | (uint32_t{row[2 * cols[k] + 1]} << 8);
            out[k] =
                Expand5(v & 0x1F) | Expand5((v >> 5) & 0x1F) << 8 | Expand5((v >> 10) & 0x1F) << 16;
        }
        break;
    case 24:
        for (size_t k = 0; k < n; ++k) {
            const uint8_t* p = row + 3 * static_cast<size_t>(cols[k]);
            out[k] = p[0] | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);
        }
        break;
    default:
        for (size_t k = 0; k < n; ++k)
            out[k] = Load32(row + 4 * static_cast<size_t>(cols[k])) & 0xFFFFFF;
    }
}

// Combines target pixels first, first + 1, ... with the values under the operation.
template <class Op>
void StoreRow(uint8_t* row, int32_t bpp, int32_t first, const uint32_t* v, size_t n, Op op) {
    switch (bpp) {
    case 1:
        for (size_t k = 0; k < n; ++k) {
            const size_t x = first + k;
            const int shift = 7 - static_cast<int>(x & 7);
            const uint32_t d = (row[x >> 3] >> shift) & 1;
            const uint32_t bit = op(d, v[k]) & 1;
            row[x >> 3] = static_cast<uint8_t>((row[x >> 3] & ~(1 << shift)) | (bit << shift));
        }
        break;
    case 4:
        for (size_t k = 0; k < n; ++k) {
            const size_t x = first + k;
            const int shift = (x & 1) ? 0 : 4;
            const uint32_t d = (row[x >> 1] >> shift) & 0xF;
            const uint32_t nibble = op(d, v[k]) & 0xF;
            row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & ~(0xF << shift)) | (nibble << shift));
        }
        break;
    case 8:
        for (size_t k = 0; k < n; ++k)
            row[first + k] = static_cast<uint8_t>(op(row[first + k], v[k]));
        break;
    case 16:
        for (size_t k = 0; k < n; ++k) {
            uint8_t* p = row + 2 * (first + k);
            const uint32_t d = op(p[0] | (uint32_t{p[1]} << 8), v[k]);
            p[0] = static_cast<uint8_t>(d);
            p[1] = static_cast<uint8_t>(d >> 8);
        }
        break;
    case 24:
        for (size_t k = 0; k < n; ++k) {
            uint8_t* p = row + 3 * (first + k);
            const uint32_t d = op(p[0] | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16), v[k]);
            p[0] = static_cast<uint8_t>(d);
            p[1] = static_cast<uint8_t>(d >> 8);
            p[2] = static_cast<uint8_t>(d >> 16);
        }
        break;
    default:
        for (size_t k = 0; k < n; ++k) {
            uint8_t* p = row + 4 * (first + k);
            const uint32_t d = op(Load32(p), v[k]);
            std::memcpy(p, &d, 4);
        }
    }
}

void StoreRowWithRop(uint8_t* row, int32_t bpp, int32_t first, const uint32_t* v, size_t n,
                     uint32_t rop) {
    switch (rop) {
    case SRCAND:
        StoreRow(row, bpp, first, v, n, [](uint32_t d, uint32_t s) { return d & s; });
        break;
    case SRCPAINT:
        StoreRow(row, bpp, first, v, n, [](uint32_t d, uint32_t s) { return d | s; });
        break;
    default:
        StoreRow(row, bpp, first, v, n, [](uint32_t, uint32_t s) { return s; });
    }
}

// Turns fetched source values into the target's pixel values, in place.
class PixelConverter {
public:
    PixelConverter(const cDIB& src, const cDIB& dst)
        : srcBpp_(src.BPP()), dstBpp_(dst.BPP()),
          copyIndices_(IsPalettized(srcBpp_) && srcBpp_ == dstBpp_) {
        if (copyIndices_) return;
        if (IsPalettized(srcBpp_)) {
            const auto table = src.ColorTable();
            for (size_t i = 0; i < table.size() / 4; ++i)
                srcColours_[i] = Load32(&table[4 * i]) & 0xFFFFFF;
        }
        if (IsPalettized(dstBpp_)) nearest_ = std::make_unique<NearestEntry>(dst.ColorTable());
    }

    void Convert(uint32_t* v, size_t n) {
        if (copyIndices_) return;
        if (IsPalettized(srcBpp_))
            for (size_t k = 0; k < n; ++k)
                v[k] = srcColours_[v[k]];
        if (nearest_) {
            for (size_t k = 0; k < n; ++k)
                v[k] = (*nearest_)(v[k]);
        } else if (dstBpp_ == 16) {
            for (size_t k = 0; k < n; ++k)
                v[k] = ((v[k] >> 9) & 0x7C00) | ((v[k] >> 6) & 0x3E0) | ((v[k] >> 3) & 0x1F);
        }
    }

private:
    int32_t srcBpp_;
    int32_t dstBpp_;
    bool copyIndices_;
    uint32_t srcColours_[256] = {};
    std::unique_ptr<NearestEntry> nearest_; // only for a palettized target
};

uint8_t* MemoryRow(cDIB& dib, int32_t y) {
    return dib.lpBits() + static_cast<size_t>(dib.Height() - 1 - y) * dib.BytesPerScanline();
}

const uint8_t* MemoryRow(const cDIB& dib, int32_t y) {
    return dib.lpBits() + static_cast<size_t>(dib.Height() - 1 - y) * dib.BytesPerScanline();
}

// Fixed defaults for the system-colour indices a colour value may name (0x80000000 | index).
constexpr uint32_t kSystemColours[] = {
    RGB(200, 200, 200), RGB(0, 0, 0),       RGB(153, 180, 209), RGB(191, 205, 219),
    RGB(240, 240, 240), RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 0, 0),
    RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(180, 180, 180), RGB(244, 247, 252),
    RGB(171, 171, 171), RGB(0, 120, 215),   RGB(255, 255, 255), RGB(240, 240, 240),
    RGB(160, 160, 160), RGB(109, 109, 109), RGB(0, 0, 0),       RGB(0, 0, 0),
    RGB(255, 255, 255), RGB(105, 105, 105), RGB(227, 227, 227), RGB(0, 0, 0),
    RGB(255, 255, 225), RGB(0, 0, 0),       RGB(0, 102, 204),   RGB(185, 209, 234),
    RGB(215, 228, 242), RGB(0, 120, 215),   RGB(240, 240, 240)};

uint32_t TranslateColor(uint32_t colour) {
    if (colour & 0x80000000) {
        const uint32_t index = colour & 0xFF;
        colour = index < std::size(kSystemColours) ? kSystemColours[index] : 0;
    }
    return colour & 0xFFFFFF;
}

} // namespace

int32_t cDIB::Stretch(hDC hDstDC, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight,
                      int32_t xSrc, int32_t ySrc, int32_t nSrcWidth, int32_t nSrcHeight,
                      uint32_t lROP) const {
    if (!hDIB() || !hDstDC || !hDstDC->hDIB() || nWidth == 0 || nHeight == 0) return 0;
    if (lROP != SRCCOPY && lROP != SRCAND && lROP != SRCPAINT) return 0;
    if (hDstDC == this) { // the rows would change under the reading
        cDIB copy;
        CloneTo(copy);
        return copy.Stretch(hDstDC, x, y, nWidth, nHeight, xSrc, ySrc, nSrcWidth, nSrcHeight, lROP);
    }
    if (nSrcWidth < 1) nSrcWidth = width_;
    if (nSrcHeight < 1) nSrcHeight = height_;

    cDIB& dst = *hDstDC;
    const AxisMap cols = MapAxis(x, nWidth, dst.Width(), xSrc, nSrcWidth, width_);
    const AxisMap rows = MapAxis(y, nHeight, dst.Height(), ySrc, nSrcHeight, height_);
    if (cols.source.empty() || rows.source.empty()) return 1;

    PixelConverter converter(*this, dst);
    std::vector<uint32_t> values(cols.source.size());
    int32_t fetchedRow = -1;
    for (size_t j = 0; j < rows.source.size(); ++j) {
        if (rows.source[j] != fetchedRow) { // enlarging repeats rows: convert each once
            fetchedRow = rows.source[j];
            FetchRow(MemoryRow(*this, fetchedRow), bpp_, cols.source, values.data());
            converter.Convert(values.data(), values.size());
        }
        StoreRowWithRop(MemoryRow(dst, rows.first + static_cast<int32_t>(j)), dst.BPP(), cols.first,
                        values.data(), values.size(), lROP);
    }
    return 1;
}

int32_t cDIB::LoadBlt(hDC hSrcDC, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight) {
    if (!hDIB() || !hSrcDC) return 0;
    if (nWidth < 1) nWidth = width_;
    if (nHeight < 1) nHeight = height_;
    return hSrcDC->Stretch(this, x, y, nWidth, nHeight, x, y, nWidth, nHeight, SRCCOPY);
}

void cDIB::Cls(uint32_t BackColor) {
    if (!hDIB()) return;
    const uint32_t rgb = TranslateColor(BackColor);
    uint32_t value = (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16); // as 0x00RRGGBB
    if (IsPalettized(bpp_)) {
        value = NearestEntry(ColorTable())(value);
    } else if (bpp_ == 16) {
        value = ((value >> 9) & 0x7C00) | ((value >> 6) & 0x3E0) | ((value >> 3) & 0x1F);
    }
    std::vector<uint32_t> row(static_cast<size_t>(width_), value);
    for (int32_t y = 0; y < height_; ++y)
        StoreRowWithRop(MemoryRow(*this, y), bpp_, 0, row.data(), row.size(), SRCCOPY);
}

} // namespace lumatrim
