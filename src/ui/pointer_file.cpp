// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/pointer_file.h"

#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QtEndian>

namespace lumatrim {

namespace {

constexpr int kDirectorySize = 6;
constexpr int kEntrySize = 16;
constexpr int kFileHeaderSize = 14; // a BMP file's header, which the stored images lack
constexpr uint16_t kIconType = 1;
constexpr uint16_t kCursorType = 2;

struct Entry {
    uint16_t type = 0;
    QPoint hotspot; // only cursors store one
    QByteArray image;
};

uint16_t Read16(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<uint16_t>(bytes.constData() + at);
}

uint32_t Read32(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<uint32_t>(bytes.constData() + at);
}

std::optional<Entry> FirstEntry(const QByteArray& bytes) {
    if (bytes.size() < kDirectorySize + kEntrySize || Read16(bytes, 0) != 0) return std::nullopt;
    Entry entry;
    entry.type = Read16(bytes, 2);
    if ((entry.type != kIconType && entry.type != kCursorType) || Read16(bytes, 4) < 1)
        return std::nullopt;
    entry.hotspot = QPoint(Read16(bytes, 10), Read16(bytes, 12));
    const uint32_t size = Read32(bytes, 14);
    const uint32_t offset = Read32(bytes, 18);
    if (offset > static_cast<uint32_t>(bytes.size()) || size > bytes.size() - offset)
        return std::nullopt;
    entry.image = bytes.mid(offset, size);
    return entry;
}

// Where the parts of a stored bitmap lie: header, colour table, colour rows, then the AND mask.
struct DibLayout {
    int width = 0;
    int height = 0; // of the picture: the stored height counts the mask's rows too
    uint16_t depth = 0;
    qsizetype colourStart = 0;
    qsizetype colourStride = 0;
    qsizetype maskStart = 0;
    qsizetype maskStride = 0;
};

std::optional<DibLayout> ReadDibLayout(const QByteArray& dib) {
    if (dib.size() < 40 || Read32(dib, 0) < 40 || Read32(dib, 0) > 124) return std::nullopt;
    DibLayout layout;
    layout.width = static_cast<int32_t>(Read32(dib, 4));
    layout.height = static_cast<int32_t>(Read32(dib, 8)) / 2;
    layout.depth = Read16(dib, 14);
    if (layout.width < 1 || layout.height < 1 || layout.width > 256 || layout.height > 256)
        return std::nullopt;
    uint32_t colours = Read32(dib, 32);
    if (colours == 0 && layout.depth <= 8) colours = 1u << layout.depth;
    if (colours > 256) return std::nullopt;
    layout.colourStart = Read32(dib, 0) + qsizetype{colours} * 4;
    layout.colourStride = ((layout.width * layout.depth + 31) / 32) * 4;
    layout.maskStart = layout.colourStart + layout.colourStride * layout.height;
    layout.maskStride = ((layout.width + 31) / 32) * 4;
    if (layout.maskStart + layout.maskStride * layout.height > dib.size()) return std::nullopt;
    return layout;
}

// Qt's BMP reader decodes the colour rows once the file header is back and the height halved.
QImage DecodeColourRows(const QByteArray& dib, const DibLayout& layout) {
    QByteArray bmp(kFileHeaderSize, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    qToLittleEndian<uint32_t>(kFileHeaderSize + dib.size(), bmp.data() + 2);
    qToLittleEndian<uint32_t>(kFileHeaderSize + layout.colourStart, bmp.data() + 10);
    QByteArray header = dib;
    qToLittleEndian<int32_t>(layout.height, header.data() + 8);
    return QImage::fromData(bmp + header, "BMP");
}

bool HasAlpha(const QByteArray& dib, const DibLayout& layout) {
    for (qsizetype i = layout.colourStart + 3; layout.depth == 32 && i < layout.maskStart; i += 4)
        if (dib[i] != 0) return true;
    return false;
}

// 1 bits in the mask are transparent; 32-bit images that carry alpha use it instead.
QImage ApplyMask(const QImage& colours, const QByteArray& dib, const DibLayout& layout) {
    const bool hasAlpha = HasAlpha(dib, layout);
    QImage image = colours.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < layout.height; ++y) {
        const qsizetype row = layout.height - 1 - y; // rows are stored bottom-up
        auto* pixels = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < layout.width; ++x) {
            const qsizetype alphaAt = layout.colourStart + row * layout.colourStride + x * 4 + 3;
            const qsizetype maskAt = layout.maskStart + row * layout.maskStride + x / 8;
            const bool masked = (dib[maskAt] >> (7 - x % 8)) & 1;
            const int alpha = hasAlpha ? static_cast<uint8_t>(dib[alphaAt]) : (masked ? 0 : 0xFF);
            pixels[x] = qRgba(qRed(pixels[x]), qGreen(pixels[x]), qBlue(pixels[x]), alpha);
        }
    }
    return image;
}

QImage DecodeDib(const QByteArray& dib) {
    const std::optional<DibLayout> layout = ReadDibLayout(dib);
    if (!layout) return {};
    const QImage colours = DecodeColourRows(dib, *layout);
    if (colours.width() != layout->width || colours.height() != layout->height) return {};
    return ApplyMask(colours, dib, *layout);
}

} // namespace

std::optional<QCursor> DecodePointerFile(const QByteArray& bytes) {
    const std::optional<Entry> entry = FirstEntry(bytes);
    if (!entry) return std::nullopt;
    const QImage image = entry->image.startsWith("\x89PNG") ? QImage::fromData(entry->image, "PNG")
                                                            : DecodeDib(entry->image);
    if (image.isNull()) return std::nullopt;
    const QPoint hotspot =
        entry->type == kCursorType ? entry->hotspot : QPoint(image.width() / 2, image.height() / 2);
    return QCursor(QPixmap::fromImage(image), hotspot.x(), hotspot.y());
}

QCursor LoadPointerFile(const QString& path, const QCursor& fallback) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return fallback;
    return DecodePointerFile(file.readAll()).value_or(fallback);
}

} // namespace lumatrim
