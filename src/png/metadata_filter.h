// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Text and time chunks taken out of a finished PNG file, such as another optimizer's output, so
// that it carries no more than our own rewrite does. Every other chunk is copied box for box,
// its CRC untouched.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lumatrim::png {

// The file without its metadata chunks; none when it has none, or when its chunks do not walk
// cleanly (it is then left as it is).
std::optional<std::vector<uint8_t>> WithoutMetadata(std::span<const uint8_t> file);

} // namespace lumatrim::png
