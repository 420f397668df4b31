// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Colours as one number, red in the low byte, then green, then blue: the form surfaces and
// skin settings take them in.
#pragma once

#include <QColor>
#include <cstdint>

namespace lumatrim {

inline uint32_t ColourNumber(const QColor& colour) {
    return static_cast<uint32_t>(colour.red()) | static_cast<uint32_t>(colour.green()) << 8 |
           static_cast<uint32_t>(colour.blue()) << 16;
}

inline QColor ColourOf(uint32_t number) {
    return QColor(number & 0xFF, (number >> 8) & 0xFF, (number >> 16) & 0xFF);
}

} // namespace lumatrim
