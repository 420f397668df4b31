// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Loads arbitrary bytes as a GIF and saves the result to memory. Beyond "no crash": whatever we
// write must load again and save to the same bytes.
#include "gif/gif.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lumatrim::cGIF gif;
    if (!gif.LoadFromStream({data, size})) return 0;
    const std::vector<uint8_t> saved = gif.SaveToMemory();
    if (saved.empty()) return 0;
    lumatrim::cGIF again;
    if (!again.LoadFromStream(saved) || again.SaveToMemory() != saved) __builtin_trap();
    return 0;
}
