// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// ReadBmpLayout: the headers, masks and colour table of a BMP file, and the extent of its pixel
// data, checked before anything is allocated. The byte layout is in bmp_reader.h.
#include "imaging/bmp_reader.h"

#include "imaging/bmp_rle.h"

#include <algorithm>
#include <bit>
#include <initializer_list>
#include <limits>

namespace lumatrim {

namespace {

constexpr size_t kFileHeaderBytes = 14;

enum Compression : uint32_t {
    kRgb = 0,
    kRle8 = 1,
    kRle4 = 2,
    kBitfields = 3,
    kJpeg = 4,
    kPng = 5,
    kAlphaBitfields = 6,
};

enum class HeaderKind { Os2Core, Os2V2, Windows };

// The surface a picture decodes into holds 32 bits a pixel in rows of at most 0x7FFFFFE0 bits
// and at most INT32_MAX bytes.
constexpr int64_t kMaxSurfaceWidth = 0x7FFFFFE0 / 32;
constexpr uint64_t kMaxSurfacePixels = std::numeric_limits<int32_t>::max() / 4;

uint32_t Read16(std::span<const uint8_t> file, size_t at) {
    return file[at] | uint32_t{file[at + 1]} << 8;
}

uint32_t Read32(std::span<const uint8_t> file, size_t at) {
    return Read16(file, at) | Read16(file, at + 2) << 16;
}

// The fields of any info header, as a 40-byte one names them.
struct InfoHeader {
    uint32_t size = 0;
    HeaderKind kind = HeaderKind::Windows;
    int64_t width = 0, height = 0;
    uint32_t bitsPerPixel = 0, compression = kRgb, coloursUsed = 0;
    std::array<uint32_t, 4> masks{}; // those the header itself holds
};

bool KindOfHeader(uint32_t size, HeaderKind& kind) {
    switch (size) {
    case 12:
        kind = HeaderKind::Os2Core;
        return true;
    case 64:
        kind = HeaderKind::Os2V2;
        return true;
    case 40:
    case 52:
    case 56:
    case 108:
    case 124:
        kind = HeaderKind::Windows;
        return true;
    default:
        return false;
    }
}

BmpStatus ReadInfoHeader(std::span<const uint8_t> file, InfoHeader& info) {
    if (file.size() < kFileHeaderBytes + 4) return BmpStatus::Truncated;
    info.size = Read32(file, kFileHeaderBytes);
    if (!KindOfHeader(info.size, info.kind)) return BmpStatus::Unsupported;
    if (file.size() < kFileHeaderBytes + info.size) return BmpStatus::Truncated;
    const auto field16 = [&](size_t at) { return Read16(file, kFileHeaderBytes + at); };
    const auto field32 = [&](size_t at) { return Read32(file, kFileHeaderBytes + at); };
    if (info.kind == HeaderKind::Os2Core) {
        info.width = field16(4);
        info.height = field16(6);
        info.bitsPerPixel = field16(10);
        return BmpStatus::Ok;
    }
    info.width = static_cast<int32_t>(field32(4));
    info.height = static_cast<int32_t>(field32(8));
    info.bitsPerPixel = field16(14);
    info.compression = field32(16);
    info.coloursUsed = field32(32);
    if (info.kind == HeaderKind::Windows && info.size >= 52)
        info.masks = {field32(40), field32(44), field32(48), info.size >= 56 ? field32(52) : 0};
    return BmpStatus::Ok;
}

bool IsOneOf(uint32_t value, std::initializer_list<uint32_t> allowed) {
    return std::find(allowed.begin(), allowed.end(), value) != allowed.end();
}

// The encoding that the compression and depth give, or why there is none.
BmpStatus EncodingOf(const InfoHeader& info, BmpEncoding& encoding) {
    const bool os2 = info.kind != HeaderKind::Windows;
    const uint32_t bpp = info.bitsPerPixel;
    switch (info.compression) {
    case kRgb: {
        encoding = bpp <= 8 ? BmpEncoding::Indexed : BmpEncoding::Direct;
        const bool known =
            os2 ? IsOneOf(bpp, {1, 4, 8, 24}) : IsOneOf(bpp, {1, 2, 4, 8, 16, 24, 32});
        return known ? BmpStatus::Ok : BmpStatus::Malformed;
    }
    case kRle8:
    case kRle4: { // some writers give RLE data a lower depth than its codes have
        const bool rle8 = info.compression == kRle8;
        encoding = rle8 ? BmpEncoding::Rle8 : BmpEncoding::Rle4;
        return bpp >= 1 && bpp <= (rle8 ? 8u : 4u) ? BmpStatus::Ok : BmpStatus::Malformed;
    }
    case kBitfields:
    case kAlphaBitfields:
        encoding = BmpEncoding::Direct;
        if (os2) return BmpStatus::Unsupported; // OS/2 Huffman or RLE24 codes
        return bpp == 16 || bpp == 32 ? BmpStatus::Ok : BmpStatus::Malformed;
    case kJpeg:
    case kPng:
        return BmpStatus::Unsupported;
    default:
        return BmpStatus::Malformed;
    }
}

// Masks must be runs of set bits that do not overlap; bits beyond the depth do not exist.
bool ValidMasks(std::array<uint32_t, 4>& masks, uint32_t bitsPerPixel) {
    uint32_t seen = 0;
    for (uint32_t& mask : masks) {
        if (bitsPerPixel < 32) mask &= (uint32_t{1} << bitsPerPixel) - 1;
        if (mask == 0) continue;
        const uint32_t run = mask >> std::countr_zero(mask);
        if ((run & (run + 1)) != 0 || (mask & seen) != 0) return false;
        seen |= mask;
    }
    return true;
}

// The masks of a direct pixel, from after the header, in it, or the defaults; `end` moves past
// any that follow the header.
BmpStatus ReadMasks(std::span<const uint8_t> file, const InfoHeader& info, BmpLayout& layout,
                    size_t& end) {
    std::array<uint32_t, 4> masks = info.masks; // the alpha mask of a long header always counts
    const bool bitfields = info.compression == kBitfields || info.compression == kAlphaBitfields;
    if (bitfields && info.size == 40) {
        const size_t count = info.compression == kAlphaBitfields ? 4 : 3;
        if (file.size() < end + 4 * count) return BmpStatus::Truncated;
        for (size_t i = 0; i < count; ++i)
            masks[i] = Read32(file, end + 4 * i);
        end += 4 * count;
    } else if (!bitfields) {
        const bool rgb555 = info.bitsPerPixel == 16;
        masks[0] = rgb555 ? 0x7C00 : 0xFF0000;
        masks[1] = rgb555 ? 0x03E0 : 0x00FF00;
        masks[2] = rgb555 ? 0x001F : 0x0000FF;
    }
    if (!ValidMasks(masks, info.bitsPerPixel)) return BmpStatus::Malformed;
    layout.masks = masks;
    return BmpStatus::Ok;
}

// The colour table from `end` on; `end` moves past it. It stops where the pixel data begins.
BmpStatus ReadColourTable(std::span<const uint8_t> file, const InfoHeader& info, size_t dataOffset,
                          BmpLayout& layout, size_t& end) {
    const size_t entryBytes = info.kind == HeaderKind::Os2Core ? 3 : 4;
    const uint32_t most = uint32_t{1} << info.bitsPerPixel;
    size_t entries = info.coloursUsed == 0 || info.coloursUsed > most ? most : info.coloursUsed;
    if (dataOffset != 0) entries = std::min(entries, (dataOffset - end) / entryBytes);
    if (file.size() - end < entries * entryBytes) return BmpStatus::Truncated;
    for (size_t i = 0; i < entries; ++i) {
        const uint8_t* entry = file.data() + end + i * entryBytes;
        layout.colours[i] = entry[0] | uint32_t{entry[1]} << 8 | uint32_t{entry[2]} << 16;
    }
    end += entries * entryBytes;
    return BmpStatus::Ok;
}

// Uncompressed rows must all be there, but for the last row's padding, which some writers
// leave out; run-length codes are walked to their end.
BmpStatus CheckPixelData(std::span<const uint8_t> file, BmpLayout& layout) {
    if (layout.pixelOffset > file.size()) return BmpStatus::PixelsCutOff;
    const std::span<const uint8_t> data = file.subspan(layout.pixelOffset);
    if (layout.encoding == BmpEncoding::Rle8 || layout.encoding == BmpEncoding::Rle4) {
        struct Counter {
            void Fill(int32_t, int32_t, int32_t, uint8_t) {}
            void Copy(int32_t, int32_t, int32_t, const uint8_t*) {}
        } counter;
        const bmp::RleWalk walk = bmp::WalkRle(data, layout.width, layout.height,
                                               layout.encoding == BmpEncoding::Rle4, counter);
        layout.leavesPixelsOut = walk.painted < uint64_t(layout.width) * uint64_t(layout.height);
        return walk.status;
    }
    const uint64_t rowBits = uint64_t(layout.width) * uint64_t(layout.bitsPerPixel);
    const uint64_t needed =
        (rowBits + 31) / 32 * 4 * uint64_t(layout.height - 1) + (rowBits + 7) / 8;
    return data.size() < needed ? BmpStatus::PixelsCutOff : BmpStatus::Ok;
}

BmpStatus ReadShape(const InfoHeader& info, uint64_t maxPixels, BmpLayout& layout) {
    if (info.height < 0 && info.kind != HeaderKind::Windows) return BmpStatus::Malformed;
    const int64_t height = info.height < 0 ? -info.height : info.height;
    if (info.width <= 0 || height == 0) return BmpStatus::Malformed;
    const uint64_t pixels = uint64_t(info.width) * uint64_t(height);
    if (pixels > maxPixels || pixels > kMaxSurfacePixels || info.width > kMaxSurfaceWidth)
        return BmpStatus::TooLarge;
    layout.width = static_cast<int32_t>(info.width);
    layout.height = static_cast<int32_t>(height);
    layout.topDown = info.height < 0;
    return BmpStatus::Ok;
}

} // namespace

BmpStatus ReadBmpLayout(std::span<const uint8_t> file, uint64_t maxPixels, BmpLayout& layout) {
    layout = {};
    if (file.size() < 2 || file[0] != 'B' || file[1] != 'M') return BmpStatus::Malformed;
    InfoHeader info;
    if (const BmpStatus status = ReadInfoHeader(file, info); status != BmpStatus::Ok) return status;
    if (const BmpStatus status = EncodingOf(info, layout.encoding); status != BmpStatus::Ok)
        return status;
    if (const BmpStatus status = ReadShape(info, maxPixels, layout); status != BmpStatus::Ok)
        return status;
    // Run-length codes have the depth of their kind, whatever the header says.
    layout.bitsPerPixel = layout.encoding == BmpEncoding::Rle8   ? 8
                          : layout.encoding == BmpEncoding::Rle4 ? 4
                                                                 : int32_t(info.bitsPerPixel);

    const size_t dataOffset = Read32(file, 10);
    size_t end = kFileHeaderBytes + info.size;
    if (dataOffset != 0 && dataOffset < end) return BmpStatus::Malformed;
    const BmpStatus status = layout.encoding == BmpEncoding::Direct
                                 ? ReadMasks(file, info, layout, end)
                                 : ReadColourTable(file, info, dataOffset, layout, end);
    if (status != BmpStatus::Ok) return status;
    if (dataOffset != 0 && dataOffset < end) return BmpStatus::Malformed;
    layout.pixelOffset = dataOffset != 0 ? dataOffset : end;
    return CheckPixelData(file, layout);
}

} // namespace lumatrim
