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
        searched_.push_back({e[2], e[1], e[0]});
    }
}

uint8_t cPal8bpp::ClosestIndex(uint8_t R, uint8_t G, uint8_t B) const {
    if (searched_.empty()) throw IndexOutOfRangeError("nearest-colour query on an empty palette");
    size_t best = 0;
    int32_t bestDistance = INT32_MAX;
    // Strictly less: an earlier entry keeps a tie, and an exact match (0) ends the search.
    for (size_t i = 0; i < searched_.size() && bestDistance > 0; ++i) {
        const int32_t dr = searched_[i].r - R, dg = searched_[i].g - G, db = searched_[i].b - B;
        const int32_t distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return static_cast<uint8_t>(best);
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
