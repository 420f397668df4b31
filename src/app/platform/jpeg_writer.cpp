// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/platform/jpeg_writer.h"

#include "app/platform/qt_picture.h"
#include "imaging/atomic_file.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageWriter>
#include <algorithm>

namespace lumatrim {

namespace {

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

std::vector<uint8_t> EncodeJPG(const LoadedPicture& picture, uint8_t quality,
                               JpegSaveStatus& status) {
    QImage image = QImageFromStdPicture(picture.Image);
    if (image.isNull()) {
        status = JpegSaveStatus::InvalidParameter;
        return {};
    }
    if (!picture.IccProfile.empty()) {
        const QByteArray icc(reinterpret_cast<const char*>(picture.IccProfile.data()),
                             static_cast<qsizetype>(picture.IccProfile.size()));
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

bool SaveJPG(const LoadedPicture& picture, const std::string& path, uint8_t quality,
             JpegSaveStatus& status) {
    const std::vector<uint8_t> encoded = EncodeJPG(picture, quality, status);
    if (status != JpegSaveStatus::Ok) return false;
    if (!WriteFileAtomically(path, encoded)) status = JpegSaveStatus::Win32Error;
    return status == JpegSaveStatus::Ok;
}

} // namespace lumatrim
