// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// A source read whole into memory, for the routes whose codecs work on bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumatrim {

// None when the file cannot be opened or read to its end.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path);

} // namespace lumatrim
