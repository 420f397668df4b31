// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/platform/jpeg_writer.h"

#include "app/platform/qt_picture.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageWriter>
#include <algorithm>

namespace lumatrim {

namespace {

// The picture's rows as they are, without a copy.
QImage ImageOf(const JpegPicture& picture) {
    const auto format = picture.components == 1   ? QImage::Format_Grayscale8
                        : picture.components == 3 ? QImage::Format_RGB888
                                                  : QImage::Format_Invalid;
    if (format == QImage::Format_Invalid || picture.width == 0 || picture.height == 0 ||
        picture.samples.size() != size_t{picture.width} * picture.height * picture.components)
        return {};
    return QImage(picture.samples.data(), static_cast<int>(picture.width),
                  static_cast<int>(picture.height),
                  static_cast<qsizetype>(picture.width) * picture.components, format);
}

bool Encode(const QImage& image, uint8_t quality, QByteArray& encoded) {
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(std::min<int>(quality, 100));
    writer.setOptimizedWrite(true);
    writer.setProgressiveScanWrite(true);
    return writer.write(image);
}

} // namespace

std::string JpegSaveErrorText(JpegSaveStatus status) {
    return std::string(kCannotSaveTheImage) + std::to_string(static_cast<int32_t>(status));
}

std::vector<uint8_t> EncodeJPG(const JpegPicture& picture, uint8_t quality,
                               JpegSaveStatus& status) {
    QImage image = ImageOf(picture);
    if (image.isNull()) {
        status = JpegSaveStatus::InvalidParameter;
        return {};
    }
    if (!picture.iccProfile.empty()) {
        const QByteArray icc(reinterpret_cast<const char*>(picture.iccProfile.data()),
                             static_cast<qsizetype>(picture.iccProfile.size()));
        image.setColorSpace(QColorSpace::fromIccProfile(icc));
    }
    QByteArray encoded;
    if (!Encode(image, quality, encoded)) {
        status = JpegSaveStatus::GenericError;
        return {};
    }
    status = JpegSaveStatus::Ok;
    const std::span<const uint8_t> bytes = BytesOf(encoded);
    return {bytes.begin(), bytes.end()};
}

} // namespace lumatrim
