// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "imaging/exact_palette.h"

#include "imaging/dib.h"

#include <array>
#include <cstring>

namespace lumatrim {

namespace {

// Open addressing over four times as many slots as colours can be kept, so probes stay short.
constexpr uint32_t kSlotBits = 10;
constexpr uint32_t kSlots = 1u << kSlotBits;
constexpr uint32_t kNoColour = 0xFFFFFFFF; // colours are 0x00RRGGBB
constexpr int32_t kMaxColours = 256;

} // namespace

int32_t CopyToExact8bpp(const cDIB& Source, cDIB& Target) {
    if (&Source == &Target || !Source.hDIB() || Source.BPP() != 32) return 0;
    if (!Target.Create(Source.Width(), Source.Height(), 8)) return 0;
    std::array<uint32_t, kSlots> keys;
    keys.fill(kNoColour);
    std::array<uint8_t, kSlots> indexOfSlot{};
    std::array<uint32_t, kMaxColours> colours{}; // as table entries: blue, green, red, 0
    int32_t count = 0;
    // Pictures repeat the colour of their last pixel far more often than not.
    uint32_t last = kNoColour;
    uint8_t lastIndex = 0;
    for (int32_t y = 0; y < Source.Height(); ++y) {
        const uint8_t* in = Source.lpBits() + static_cast<size_t>(y) * Source.BytesPerScanline();
        uint8_t* out = Target.lpBits() + static_cast<size_t>(y) * Target.BytesPerScanline();
        for (int32_t x = 0; x < Source.Width(); ++x, in += 4) {
            uint32_t colour = 0;
            std::memcpy(&colour, in, 4);
            colour &= 0xFFFFFF;
            if (colour != last) {
                uint32_t slot = (colour * 2654435761u) >> (32 - kSlotBits);
                while (keys[slot] != colour && keys[slot] != kNoColour)
                    slot = (slot + 1) & (kSlots - 1);
                if (keys[slot] == kNoColour) {
                    if (count == kMaxColours) {
                        Target.Destroy();
                        return 0;
                    }
                    keys[slot] = colour;
                    indexOfSlot[slot] = static_cast<uint8_t>(count);
                    colours[static_cast<size_t>(count++)] = colour;
                }
                last = colour;
                lastIndex = indexOfSlot[slot];
            }
            out[x] = lastIndex;
        }
    }
    std::array<uint8_t, 4 * kMaxColours> table{};
    std::memcpy(table.data(), colours.data(), table.size());
    Target.SetPalette(table);
    return count;
}

} // namespace lumatrim
