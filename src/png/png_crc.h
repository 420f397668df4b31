// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The CRC-32 of PNG chunks (the zlib polynomial), computed by libdeflate.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumatrim::png {

uint32_t Crc32(const uint8_t* bytes, size_t length);

} // namespace lumatrim::png
