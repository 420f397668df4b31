// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// cPal8bpp: a palette of up to 256 colours for 8-bit surfaces, with nearest-colour search.
//
// The entry table has 256 entries of 4 bytes (blue, green, red, 0), the colour-table layout of
// cDIB, so lpPalette copies straight into an 8-bit surface. Only the first Entries entries are
// valid; the rest stay zero. Nearest-colour queries search a copy of the valid entries that
// BuildLogicalPalette makes, sorted by green so a search can stop once the green difference
// alone rules out the rest: edits to the table are seen only after the next build.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace lumatrim {

class cDIB;

class cPal8bpp {
public:
    cPal8bpp() = default;
    ~cPal8bpp() = default;
    cPal8bpp(const cPal8bpp&) = delete;
    cPal8bpp& operator=(const cPal8bpp&) = delete;

    // A fresh table of 256 zero entries and Entries = InitialEntries; no search structure.
    // Throws IndexOutOfRangeError unless 0 <= InitialEntries <= 256.
    void Initialize(int32_t InitialEntries);
    // Makes the search structure over the first Entries entries (none when Entries is 0).
    void BuildLogicalPalette();
    void Destroy(); // Entries 0, no table, no search structure

    // The first exact match among the searched entries, else the entry at the least squared
    // RGB distance, the lowest index winning ties. Throws IndexOutOfRangeError when there is no
    // search structure (no entries).
    uint8_t ClosestIndex(uint8_t R, uint8_t G, uint8_t B) const;
    void ClosestColor(uint8_t R, uint8_t G, uint8_t B, uint8_t& cR, uint8_t& cG, uint8_t& cB) const;
    bool IsGreyScale() const; // Entries > 0 and every valid entry has red = green = blue

    // Fixed palettes. A level code out of range throws IndexOutOfRangeError and leaves an
    // empty table (Entries 0, no search structure).
    void CreateGreyScale(int32_t GreyLevels);    // 0: 2 greys, 1: 16, 2: 256
    void CreateEGA();                            // the 16 EGA colours
    void CreateHalftone(int32_t HalftoneLevels); // 0..4: cubes of 2..6 levels a channel
    void CreateWebsafe();                        // 256 colours around the 6x6x6 cube
    // At most nColors colours (<= 256) chosen for a 32-bit surface by a colour tree of nLevels
    // levels (1..8); see optimal_palette.h. Any other depth leaves the palette as it was.
    void CreateOptimal(const cDIB& oDIB32, int32_t nColors, int32_t nLevels, float RWeight,
                       float GWeight, float BWeight);

    // Entry 0 of the table, 1024 bytes; nullptr when there is no table.
    const uint8_t* lpPalette() const { return table_.empty() ? nullptr : table_.data(); }
    std::span<const uint8_t> Table() const { return table_; } // empty when there is no table
    // Non-zero while a search structure exists.
    uintptr_t hPal() const { return searched_.empty() ? 0 : uintptr_t{1}; }

    int16_t Entries() const { return entries_; }
    // Changes only the count; throws IndexOutOfRangeError unless 0 <= New_Entries <= 256.
    void SetEntries(int32_t New_Entries);

    // One channel of one entry. Throws IndexOutOfRangeError when there is no table.
    uint8_t rgbR(uint8_t PalEntry) const { return Channel(PalEntry, 2); }
    uint8_t rgbG(uint8_t PalEntry) const { return Channel(PalEntry, 1); }
    uint8_t rgbB(uint8_t PalEntry) const { return Channel(PalEntry, 0); }
    void SetrgbR(uint8_t PalEntry, uint8_t New_rgbR) { Channel(PalEntry, 2) = New_rgbR; }
    void SetrgbG(uint8_t PalEntry, uint8_t New_rgbG) { Channel(PalEntry, 1) = New_rgbG; }
    void SetrgbB(uint8_t PalEntry, uint8_t New_rgbB) { Channel(PalEntry, 0) = New_rgbB; }

private:
    struct SearchEntry {
        int32_t g, r, b;
        uint8_t index;
    };

    const uint8_t& Channel(uint8_t PalEntry, int byte) const;
    uint8_t& Channel(uint8_t PalEntry, int byte);
    void SetEntry(int32_t index, int32_t r, int32_t g, int32_t b);
    void WriteEGAHalf(int32_t start, int32_t firstEGA); // eight EGA colours from firstEGA on

    int16_t entries_ = 0;
    std::vector<uint8_t> table_;        // 1024 bytes, or empty for no table
    std::vector<SearchEntry> searched_; // the valid entries as of the last build, by green
};

} // namespace lumatrim
