// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gif/lossy_lzw_table.h"

#include <algorithm>

namespace lumatrim {

namespace {

// Tree nodes one search may visit: enough for the longest strings of noisy photographs, and a
// bound on the time a flat area of many near colours could otherwise take.
constexpr int32_t kSearchVisits = 256;

} // namespace

void LossyLzwTable::Start(const LossyColours& colours, const std::vector<uint8_t>& pixels) {
    colours_ = &colours;
    pixels_ = &pixels;
    for (size_t i = 0; i < 256; ++i) {
        red_[i] = static_cast<int32_t>(colours.rgb[i] >> 16 & 0xFF);
        green_[i] = static_cast<int32_t>(colours.rgb[i] >> 8 & 0xFF);
        blue_[i] = static_cast<int32_t>(colours.rgb[i] & 0xFF);
    }
    next_ = 1; // the loop starts with the first pixel as its string
    carried_ = {};
    Reset();
    planPending_ = true;
}

void LossyLzwTable::Reset() {
    firstChild_.fill(kNone);
    planLength_ = planned_ = 0;
}

int32_t LossyLzwTable::Find(uint32_t prefix, uint32_t /*pixel*/, int32_t& /*slot*/) {
    // Planned only now, after the encoder added the code that ended the string before: a run
    // of one colour needs that code at once.
    if (planPending_) {
        planPending_ = false;
        visits_ = 0;
        Search(static_cast<uint16_t>(prefix), next_, carried_, 0);
    }
    if (planned_ >= planLength_) return -1;
    carried_ = planErrors_[planned_];
    ++next_;
    return plan_[planned_++];
}

void LossyLzwTable::Missed(uint32_t pixel) {
    const auto first = static_cast<uint8_t>(pixel);
    const bool clear = first == colours_->transparent;
    const Error after = clear ? Error{} : Carry(Target(first, carried_), first);
    carried_ = after;
    ++next_;
    planLength_ = planned_ = 0;
    planPending_ = true;
}

void LossyLzwTable::Add(int32_t /*slot*/, uint32_t prefix, uint32_t pixel, uint32_t code) {
    suffix_[code] = static_cast<uint8_t>(pixel);
    sibling_[code] = firstChild_[prefix];
    firstChild_[prefix] = static_cast<uint16_t>(code);
    firstChild_[code] = kNone;
}

int32_t LossyLzwTable::Distance(uint8_t index, const Error& target) const {
    const int32_t r = target.red - red_[index];
    const int32_t g = target.green - green_[index];
    const int32_t b = target.blue - blue_[index];
    const int32_t luma = 3 * r + 6 * g + b; // ten times the luma difference
    return luma * luma / 10 + r * r + g * g + b * b;
}

LossyLzwTable::Error LossyLzwTable::Target(uint8_t pixel, const Error& carried) const {
    return {red_[pixel] + carried.red, green_[pixel] + carried.green, blue_[pixel] + carried.blue};
}

LossyLzwTable::Error LossyLzwTable::Carry(const Error& target, uint8_t written) const {
    return {(target.red - red_[written]) * 3 / 4, (target.green - green_[written]) * 3 / 4,
            (target.blue - blue_[written]) * 3 / 4};
}

// Extends the path that ends at `node` (depth codes after the string's first pixel) by the
// pixel at `at`; the longest path found becomes the plan.
void LossyLzwTable::Search(uint16_t node, size_t at, const Error& carried, uint32_t depth) {
    if (depth > planLength_) {
        planLength_ = depth;
        std::copy_n(path_.begin(), depth, plan_.begin());
        std::copy_n(pathErrors_.begin(), depth, planErrors_.begin());
    }
    if (at >= pixels_->size() || ++visits_ > kSearchVisits) return;
    const uint8_t pixel = (*pixels_)[at];
    const int32_t transparent = colours_->transparent;
    const Error target = Target(pixel, carried);
    // The exact continuation first: it needs no error, and on a tie in length it wins.
    for (uint16_t code = firstChild_[node]; code != kNone; code = sibling_[code]) {
        if (suffix_[code] != pixel) continue;
        path_[depth] = code;
        pathErrors_[depth] = pixel == transparent ? Error{} : Carry(target, pixel);
        Search(code, at + 1, pathErrors_[depth], depth + 1);
        break;
    }
    if (pixel == transparent) return;
    for (uint16_t code = firstChild_[node]; code != kNone; code = sibling_[code]) {
        const uint8_t index = suffix_[code];
        if (index == pixel || index == transparent || Distance(index, target) > colours_->tolerance)
            continue;
        path_[depth] = code;
        pathErrors_[depth] = Carry(target, index);
        Search(code, at + 1, pathErrors_[depth], depth + 1);
    }
}

} // namespace lumatrim
