// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "png/png_crc.h"

#include <libdeflate.h>

namespace lumatrim::png {

uint32_t Crc32(const uint8_t* bytes, size_t length) {
    return libdeflate_crc32(0, bytes, length);
}

} // namespace lumatrim::png
