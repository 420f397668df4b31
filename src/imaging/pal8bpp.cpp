// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "imaging/pal8bpp.h"

#include "imaging/errors.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace lumatrim {

namespace {

constexpr size_t kTableBytes = 1024;

void CheckEntryCount(int32_t count) {
    if (count < 0 || count > 256) throw IndexOutOfRangeError("palette entry count out of range");
}

} // namespace

void cPal8bpp::Initialize(int32_t InitialEntries) {
    CheckEntryCount(InitialEntries);
    Destroy();
    entries_ = static_cast<int16_t>(InitialEntries);
    table_.assign(kTableBytes, 0);
}

void cPal8bpp::Destroy() {
    entries_ = 0;
    table_.clear();
    searched_.clear();
}

void cPal8bpp::SetEntries(int32_t New_Entries) {
    CheckEntryCount(New_Entries);
    entries_ = static_cast<int16_t>(New_Entries);
}

void cPal8bpp::BuildLogicalPalette() {
    searched_.clear();
    if (table_.empty()) return;
    for (int32_t i = 0; i < entries_; ++i) {
        const uint8_t* e = &table_[4 * static_cast<size_t>(i)];
        searched_.push_back({e[1], e[2], e[0], static_cast<uint8_t>(i)});
    }
    std::stable_sort(searched_.begin(), searched_.end(),
                     [](const SearchEntry& a, const SearchEntry& b) { return a.g < b.g; });
}

uint8_t cPal8bpp::ClosestIndex(uint8_t R, uint8_t G, uint8_t B) const {
    if (searched_.empty()) throw IndexOutOfRangeError("nearest-colour query on an empty palette");
    int32_t bestDistance = INT32_MAX;
    int32_t bestIndex = 256;
    const auto consider = [&](const SearchEntry& e) {
        const int32_t dr = e.r - R, dg = e.g - G, db = e.b - B;
        const int32_t distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance || (distance == bestDistance && e.index < bestIndex)) {
            bestDistance = distance;
            bestIndex = e.index;
        }
    };
    const auto square = [](int32_t v) { return v * v; };
    // Walk away from G in both directions; an entry whose green difference alone exceeds the
    // best distance can be neither nearer nor an equally near lower index, nor can any beyond it.
    const auto first = std::lower_bound(searched_.begin(), searched_.end(), G,
                                        [](const SearchEntry& e, int32_t g) { return e.g < g; });
    for (auto up = first; up != searched_.end() && square(up->g - G) <= bestDistance; ++up)
        consider(*up);
    for (auto down = first; down != searched_.begin() && square(G - (down - 1)->g) <= bestDistance;)
        consider(*--down);
    return static_cast<uint8_t>(bestIndex);
}

void cPal8bpp::ClosestColor(uint8_t R, uint8_t G, uint8_t B, uint8_t& cR, uint8_t& cG,
                            uint8_t& cB) const {
    const uint8_t index = ClosestIndex(R, G, B);
    cR = rgbR(index);
    cG = rgbG(index);
    cB = rgbB(index);
}

bool cPal8bpp::IsGreyScale() const {
    if (entries_ <= 0 || table_.empty()) return false;
    for (int32_t i = 0; i < entries_; ++i) {
        const uint8_t* e = &table_[4 * static_cast<size_t>(i)];
        if (e[0] != e[1] || e[1] != e[2]) return false;
    }
    return true;
}

const uint8_t& cPal8bpp::Channel(uint8_t PalEntry, int byte) const {
    if (table_.empty()) throw IndexOutOfRangeError("palette has no entry table");
    return table_[4 * size_t{PalEntry} + static_cast<size_t>(byte)];
}

uint8_t& cPal8bpp::Channel(uint8_t PalEntry, int byte) {
    return const_cast<uint8_t&>(std::as_const(*this).Channel(PalEntry, byte));
}

void cPal8bpp::SetEntry(int32_t index, int32_t r, int32_t g, int32_t b) {
    if (table_.empty() || index < 0 || index > 255)
        throw IndexOutOfRangeError("palette entry out of range");
    uint8_t* e = &table_[4 * static_cast<size_t>(index)];
    e[0] = static_cast<uint8_t>(b);
    e[1] = static_cast<uint8_t>(g);
    e[2] = static_cast<uint8_t>(r);
}

} // namespace lumatrim
