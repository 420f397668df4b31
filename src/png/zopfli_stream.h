// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// zlib streams through zopfli: far slower than libdeflate's level 12 and a few per cent smaller,
// so it is kept to small pictures.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace lumatrim::png {

std::vector<uint8_t> ZopfliZlib(std::span<const uint8_t> data, int iterations);

} // namespace lumatrim::png
