// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpeg/exif_orientation.h"

#include <algorithm>
#include <array>
#include <optional>

namespace lumatrim {

namespace {

constexpr std::array<uint8_t, 6> kExifName = {'E', 'x', 'i', 'f', 0, 0};
constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kShortType = 3;
constexpr size_t kEntryBytes = 12;

// A TIFF structure in either byte order; reads past its end give nothing.
class TiffBytes {
public:
    explicit TiffBytes(std::span<const uint8_t> bytes) : bytes_(bytes) {
        bigEndian_ = bytes.size() >= 2 && bytes[0] == 'M' && bytes[1] == 'M';
    }
    bool Valid() const {
        return bytes_.size() >= 8 && (bigEndian_ || (bytes_[0] == 'I' && bytes_[1] == 'I')) &&
               Read16(2) == 42;
    }
    uint32_t Read16(size_t at) const {
        if (at + 2 > bytes_.size()) return 0;
        return bigEndian_ ? uint32_t{bytes_[at]} << 8 | bytes_[at + 1]
                          : uint32_t{bytes_[at + 1]} << 8 | bytes_[at];
    }
    uint32_t Read32(size_t at) const {
        const uint32_t first = Read16(at), second = Read16(at + 2);
        return bigEndian_ ? first << 16 | second : second << 16 | first;
    }
    size_t Size() const { return bytes_.size(); }

private:
    std::span<const uint8_t> bytes_;
    bool bigEndian_ = false;
};

// Where the orientation entry of the first image directory starts in the TIFF data; none when
// there is no entry or the data is malformed. Every read is bounded by the data.
std::optional<size_t> OrientationEntry(const TiffBytes& tiff) {
    if (!tiff.Valid()) return std::nullopt;
    const size_t directory = tiff.Read32(4);
    if (directory > tiff.Size()) return std::nullopt;
    const size_t entries = tiff.Read16(directory);
    for (size_t i = 0; i < entries; ++i) {
        const size_t entry = directory + 2 + i * kEntryBytes;
        if (entry + kEntryBytes > tiff.Size()) break;
        if (tiff.Read16(entry) == kOrientationTag) return entry;
    }
    return std::nullopt;
}

// A short held in the entry itself, as the standard stores the orientation.
bool HoldsOneShort(const TiffBytes& tiff, size_t entry) {
    return tiff.Read16(entry + 2) == kShortType && tiff.Read32(entry + 4) == 1;
}

bool IsExif(std::span<const uint8_t> app1) {
    return app1.size() >= kExifName.size() &&
           std::equal(kExifName.begin(), kExifName.end(), app1.begin());
}

} // namespace

uint8_t ReadExifOrientation(std::span<const uint8_t> app1) {
    if (!IsExif(app1)) return 1;
    const TiffBytes tiff(app1.subspan(kExifName.size()));
    const std::optional<size_t> entry = OrientationEntry(tiff);
    if (!entry || !HoldsOneShort(tiff, *entry)) return 1;
    const uint32_t value = tiff.Read16(*entry + 8);
    return value >= 1 && value <= 8 ? static_cast<uint8_t>(value) : 1;
}

bool MarkExifUpright(std::span<uint8_t> app1) {
    if (!IsExif(app1)) return false;
    const std::span<uint8_t> data = app1.subspan(kExifName.size());
    const TiffBytes tiff(data);
    const std::optional<size_t> entry = OrientationEntry(tiff);
    if (!entry || !HoldsOneShort(tiff, *entry)) return false;
    // OrientationEntry found all twelve bytes of the entry inside the data.
    const size_t value = *entry + 8;
    const bool bigEndian = data[0] == 'M';
    data[value] = bigEndian ? 0 : 1;
    data[value + 1] = bigEndian ? 1 : 0;
    return true;
}

std::vector<uint8_t> ExifOrientationBlock(uint8_t orientation) {
    return {'E',
            'x',
            'i',
            'f',
            0,
            0, // the segment's name
            'M',
            'M',
            0,
            42,
            0,
            0,
            0,
            8, // big-endian TIFF, first directory at offset 8
            0,
            1, // one entry:
            kOrientationTag >> 8,
            kOrientationTag & 0xFF,
            0,
            kShortType,
            0,
            0,
            0,
            1,
            0,
            orientation,
            0,
            0, // the value, padded to four bytes
            0,
            0,
            0,
            0}; // no further directory
}

} // namespace lumatrim
