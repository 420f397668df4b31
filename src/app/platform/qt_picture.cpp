// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/platform/qt_picture.h"

#include <algorithm>
#include <cstring>

namespace lumatrim {

namespace {

// Qt's colours are 0xAARRGGBB numbers; a table entry is the bytes blue, green, red, 0.
std::vector<uint8_t> TableFromColors(const QList<QRgb>& colors, int32_t bpp) {
    std::vector<uint8_t> table(size_t{4} << bpp, 0);
    const size_t count = std::min(colors.size(), static_cast<qsizetype>(table.size() / 4));
    for (size_t i = 0; i < count; ++i) {
        table[4 * i] = static_cast<uint8_t>(qBlue(colors[i]));
        table[4 * i + 1] = static_cast<uint8_t>(qGreen(colors[i]));
        table[4 * i + 2] = static_cast<uint8_t>(qRed(colors[i]));
    }
    return table;
}

QList<QRgb> GreyRamp() {
    QList<QRgb> colors;
    for (int level = 0; level < 256; ++level)
        colors.push_back(qRgb(level, level, level));
    return colors;
}

// The image in a format StdPicture holds as it is.
QImage InStoredFormat(const QImage& image) {
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_Indexed8:
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        return image;
    case QImage::Format_MonoLSB:
        return image.convertToFormat(QImage::Format_Mono);
    case QImage::Format_Grayscale8: {
        QImage indexed = image;
        indexed.reinterpretAsFormat(QImage::Format_Indexed8);
        indexed.setColorTable(GreyRamp());
        return indexed;
    }
    default:
        return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                             : QImage::Format_RGB32);
    }
}

// Row r of the picture is row height - 1 - r of the image; padding stays zero.
void CopyRowsFlipped(const uchar* from, qsizetype fromStride, uint8_t* to, qsizetype toStride,
                     int32_t height, qsizetype rowBytes) {
    for (int32_t row = 0; row < height; ++row)
        std::memcpy(to + (height - 1 - row) * toStride, from + row * fromStride,
                    static_cast<size_t>(rowBytes));
}

qsizetype SignificantRowBytes(int32_t width, int32_t bpp) {
    return (qsizetype{width} * bpp + 7) / 8;
}

} // namespace

StdPicture StdPictureFromQImage(const QImage& source) {
    const QImage image = InStoredFormat(source);
    StdPicture picture;
    if (image.isNull()) return picture;
    picture.Width = image.width();
    picture.Height = image.height();
    picture.BPP = image.depth();
    if (picture.BPP <= 8) picture.Palette = TableFromColors(image.colorTable(), picture.BPP);
    const int64_t stride = picture.BytesPerScanline();
    if (stride * picture.Height > INT32_MAX) return {};
    picture.Bits.assign(static_cast<size_t>(stride * picture.Height), 0);
    CopyRowsFlipped(image.constBits(), image.bytesPerLine(), picture.Bits.data(), stride,
                    picture.Height, SignificantRowBytes(picture.Width, picture.BPP));
    return picture;
}

} // namespace lumatrim
