// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The order in which a GIF image's rows are stored: top to bottom, or interlaced in four passes
// (every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1). The encoder and
// the decoder walk rows with the same object, so a frame always survives a round trip.
#pragma once

#include <cstdint>

namespace lumatrim {

class RowOrder {
public:
    // Interlaced order is used only for frames taller than 4 rows: the caller decides.
    RowOrder(int32_t height, bool interlaced)
        : height_(height), lastPass_(interlaced ? 3 : 0), step_(interlaced ? 8 : 1) {}

    int32_t Row() const { return y_; }
    bool Done() const { return pass_ > lastPass_; }
    void Next() {
        y_ += step_;
        while (y_ >= height_ && ++pass_ <= lastPass_) {
            y_ = kFirstRow[pass_];
            step_ = kStep[pass_];
        }
        if (Done()) y_ = 0; // keeps Row() inside the surface
    }

private:
    static constexpr int32_t kFirstRow[4] = {0, 4, 2, 1};
    static constexpr int32_t kStep[4] = {8, 8, 4, 2};

    int32_t height_;
    int32_t lastPass_;
    int32_t step_;
    int32_t y_ = 0;
    int32_t pass_ = 0;
};

} // namespace lumatrim
