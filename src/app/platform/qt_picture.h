// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// From Qt's images to our StdPicture. Only the platform layer (picture loading and JPEG
// encoding) sees Qt; everything past it works on StdPicture and cDIB.
#pragma once

#include "imaging/dib.h"

#include <QByteArray>
#include <QImage>
#include <span>

namespace lumatrim {

// Keeps the image's own depth where StdPicture has it (1-bit, 8-bit indexed or grey with its
// table); any other format becomes 32 bits. Rows turn bottom-up.
StdPicture StdPictureFromQImage(const QImage& image);

inline std::span<const uint8_t> BytesOf(const QByteArray& bytes) {
    return {reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())};
}

} // namespace lumatrim
