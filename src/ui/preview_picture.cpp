// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/preview_picture.h"

#include <QImageReader>
#include <QPainter>
#include <cstring>
#include <numeric>

namespace lumatrim {

namespace {

// Browsers show a frame of 0 or 1 hundredths of a second for a tenth of a second.
constexpr int32_t kShortestDelay = 20;
constexpr int32_t kBrowserDelay = 100;
// Frames held for one picture; a longer animation shows its first frame (the two panes together
// then stay under 512 MiB).
constexpr int64_t kMaxFrameBytes = int64_t{256} << 20;
constexpr int kChequer = 8;

// Light grey squares show where a picture is transparent.
QImage Opaque(const QImage& frame) {
    if (!frame.hasAlphaChannel()) return frame.convertToFormat(QImage::Format_RGB32);
    QImage tile(2 * kChequer, 2 * kChequer, QImage::Format_RGB32);
    tile.fill(QColor(0xFF, 0xFF, 0xFF));
    QPainter tilePainter(&tile);
    tilePainter.fillRect(0, 0, kChequer, kChequer, QColor(0xCC, 0xCC, 0xCC));
    tilePainter.fillRect(kChequer, kChequer, kChequer, kChequer, QColor(0xCC, 0xCC, 0xCC));
    tilePainter.end();
    QImage opaque(frame.size(), QImage::Format_RGB32);
    QPainter painter(&opaque);
    painter.fillRect(opaque.rect(), QBrush(tile));
    painter.drawImage(0, 0, frame);
    return opaque;
}

// A surface's rows run bottom-up, in the same byte order as Qt's 32-bit pixels.
std::shared_ptr<cDIB> Surface(const QImage& frame) {
    const QImage opaque = Opaque(frame);
    auto surface = std::make_shared<cDIB>();
    if (!surface->Create(opaque.width(), opaque.height(), 32)) return nullptr;
    const auto rowBytes = static_cast<size_t>(opaque.width()) * 4;
    for (int32_t y = 0; y < opaque.height(); ++y)
        std::memcpy(surface->lpBits() + static_cast<size_t>(opaque.height() - 1 - y) *
                                            static_cast<size_t>(surface->BytesPerScanline()),
                    opaque.constScanLine(y), rowBytes);
    return surface;
}

int32_t ShownDelay(int delay) {
    return delay < kShortestDelay ? kBrowserDelay : delay;
}

} // namespace

PreviewPicture DecodePreview(const QString& path) {
    PreviewPicture picture;
    QImageReader reader(path);
    reader.setAutoTransform(true); // upright, as the JPEG route writes its output
    const int64_t frameBytes = int64_t{4} * reader.size().width() * reader.size().height();
    for (QImage frame = reader.read(); !frame.isNull(); frame = reader.read()) {
        const auto held = static_cast<int64_t>(picture.frames.size() + 1) * frameBytes;
        if (!picture.frames.empty() && held > kMaxFrameBytes) {
            picture.cutShort = true;
            picture.frames.resize(1);
            picture.delays.resize(1);
            break;
        }
        std::shared_ptr<cDIB> surface = Surface(frame);
        if (!surface) break;
        picture.width = frame.width();
        picture.height = frame.height();
        picture.frames.push_back(std::move(surface));
        picture.delays.push_back(ShownDelay(reader.nextImageDelay()));
        if (!reader.supportsAnimation()) break;
    }
    if (picture.frames.empty()) picture.error = "Cannot show the picture: " + reader.errorString();
    return picture;
}

FramePlace FrameAt(const std::vector<int32_t>& delays, int64_t elapsed) {
    const int64_t loop = std::accumulate(delays.begin(), delays.end(), int64_t{0});
    if (loop <= 0) return {};
    int64_t into = elapsed % loop;
    for (size_t frame = 0; frame < delays.size(); ++frame) {
        if (into < delays[frame]) return {frame, delays[frame] - into};
        into -= delays[frame];
    }
    return {};
}

} // namespace lumatrim
