// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gifopt/lzw_run_chooser.h"

#include <cstddef>

namespace lumatrim::mGIFOptimizer {

namespace {

constexpr uint32_t kMaxCode = 4096;

} // namespace

// The encoder's hashing: the code of prefix + pixel, or -1 with `slot` where it would go.
int32_t LzwRunChooser::Find(uint32_t prefix, uint32_t pixel, int32_t& slot) const {
    const int32_t key = static_cast<int32_t>((pixel << 12) + prefix);
    slot = static_cast<int32_t>((pixel << 4) ^ prefix);
    const int32_t step = slot == 0 ? 1 : kHashSize - slot;
    while (keys_[slot] >= 0) {
        if (keys_[slot] == key) return codes_[slot];
        slot -= step;
        if (slot < 0) slot += kHashSize;
    }
    return -1;
}

void LzwRunChooser::Choose(std::vector<uint8_t>& pixels, const std::vector<uint8_t>& free,
                           uint8_t transparent, int codeSize) {
    if (pixels.empty()) return;
    const uint32_t firstFree = (1u << codeSize) + 2;
    uint32_t nextFree = firstFree;
    keys_.fill(-1);
    if (free[0]) pixels[0] = transparent;
    uint32_t prefix = pixels[0];
    for (size_t i = 1; i < pixels.size(); ++i) {
        int32_t slot = 0;
        int32_t code = Find(prefix, pixels[i], slot);
        if (free[i]) {
            int32_t clearSlot = 0;
            const int32_t clearCode = Find(prefix, transparent, clearSlot);
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
            keys_[slot] = static_cast<int32_t>((uint32_t{pixels[i]} << 12) + prefix);
            codes_[slot] = static_cast<uint16_t>(nextFree++);
        } else {
            keys_.fill(-1);
            nextFree = firstFree;
        }
        prefix = pixels[i];
    }
}

} // namespace lumatrim::mGIFOptimizer
