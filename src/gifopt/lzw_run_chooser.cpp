// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gifopt/lzw_run_chooser.h"

#include <cstddef>

namespace lumatrim::mGIFOptimizer {

namespace {

constexpr uint32_t kMaxCode = 4096;

} // namespace

void LzwRunChooser::Choose(std::vector<uint8_t>& pixels, const std::vector<uint8_t>& free,
                           uint8_t transparent, int codeSize) {
    if (pixels.empty()) return;
    const uint32_t firstFree = (1u << codeSize) + 2;
    uint32_t nextFree = firstFree;
    table_.Reset();
    if (free[0]) pixels[0] = transparent;
    uint32_t prefix = pixels[0];
    for (size_t i = 1; i < pixels.size(); ++i) {
        int32_t slot = 0;
        int32_t code = table_.Find(prefix, pixels[i], slot);
        if (free[i]) {
            int32_t clearSlot = 0;
            const int32_t clearCode = table_.Find(prefix, transparent, clearSlot);
            // Transparency wins a tie, and where neither continues a string: unchanged areas
            // then read as the runs of one value they mostly are.
            if (clearCode >= 0 || code < 0) {
                pixels[i] = transparent;
                code = clearCode;
                slot = clearSlot;
            }
        }
        if (code >= 0) {
            prefix = static_cast<uint32_t>(code);
            continue;
        }
        if (nextFree < kMaxCode) {
            table_.Add(slot, prefix, pixels[i], nextFree++);
        } else {
            table_.Reset();
            nextFree = firstFree;
        }
        prefix = pixels[i];
    }
}

} // namespace lumatrim::mGIFOptimizer
