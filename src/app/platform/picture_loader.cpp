// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/platform/picture_loader.h"

#include "app/platform/qt_picture.h"
#include "app/platform/truncated_picture.h"
#include "imaging/bmp_reader.h"

#include <QBuffer>
#include <QImageReader>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>

namespace lumatrim {

namespace {

// Qt refuses images over 256 MB by default, which a large photo passes at 32 bits a pixel.
// Surfaces stop at 2 GB, so nothing larger could be used anyway.
constexpr int kAllocationLimitMegabytes = 2048;

// Qt keeps the limit process-wide; it is set once, before the first read, from any thread.
void RaiseAllocationLimitOnce() {
    static const bool raised = [] {
        QImageReader::setAllocationLimit(kAllocationLimitMegabytes);
        return true;
    }();
    (void)raised;
}

// Read here rather than by Qt, which would take the path for UTF-8: a Linux path is any bytes.
std::optional<QByteArray> ReadWholeFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = file ? static_cast<std::streamoff>(file.tellg()) : -1;
    if (size < 0 || size > std::numeric_limits<qsizetype>::max()) return std::nullopt;
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    file.seekg(0);
    if (!file.read(bytes.data(), size)) return std::nullopt;
    return bytes;
}

// BMP files are read by our own reader, never by Qt's: see imaging/bmp_reader.h.
bool LoadBmpPicture(std::span<const uint8_t> bytes, LoadedPicture& picture, bool* tooLarge,
                    uint64_t maxPixels) {
    BmpLayout layout;
    const BmpStatus status = ReadBmpLayout(bytes, maxPixels, layout);
    if (tooLarge) *tooLarge = status == BmpStatus::TooLarge;
    cDIB surface;
    bool transparent = false;
    if (status != BmpStatus::Ok || !DecodeBmp(bytes, layout, surface, transparent)) return false;
    picture.Image = {surface.Width(), surface.Height(), 32, {}, {}};
    picture.Image.Bits.assign(surface.lpBits(), surface.lpBits() + surface.Size());
    return true;
}

} // namespace

bool LoadPicture(const std::string& path, LoadedPicture& picture, bool* tooLarge) {
    picture = {};
    if (tooLarge) *tooLarge = false;
    const std::optional<QByteArray> bytes = ReadWholeFile(path);
    return bytes && LoadPictureFromMemory(BytesOf(*bytes), picture, tooLarge);
}

bool LoadPictureFromMemory(std::span<const uint8_t> bytes, LoadedPicture& picture, bool* tooLarge,
                           uint64_t maxPixels) {
    RaiseAllocationLimitOnce();
    picture = {};
    if (tooLarge) *tooLarge = false;
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
        return LoadBmpPicture(bytes, picture, tooLarge, maxPixels);
    if (IsTruncatedPicture(bytes) || bytes.size() > size_t(std::numeric_limits<qsizetype>::max()))
        return false;
    // The bytes are only read, so Qt may use them in place.
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer);
    const QSize size = reader.size(); // from the header, before any pixel is decoded
    // A size the header does not give reads -1 x -1.
    if (uint64_t(std::abs(size.width())) * uint64_t(std::abs(size.height())) > maxPixels) {
        if (tooLarge) *tooLarge = true;
        return false;
    }
    const QImage image = reader.read();
    if (image.isNull()) return false;
    picture.Image = StdPictureFromQImage(image);
    if (!picture.Image.IsValid()) {
        picture = {};
        return false;
    }
    return true;
}

} // namespace lumatrim
