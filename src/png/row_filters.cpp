// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "png/row_filters.h"

#include <cstdlib>
#include <cstring>

namespace lumatrim::png {

namespace {

inline uint8_t Paeth(uint8_t left, uint8_t up, uint8_t upLeft) {
    const int p = int{left} + up - upLeft;
    const int pa = std::abs(p - left), pb = std::abs(p - up), pc = std::abs(p - upLeft);
    if (pa <= pb && pa <= pc) return left;
    return pb <= pc ? up : upLeft;
}

} // namespace

void FilterRow(FilterType type, const uint8_t* row, const uint8_t* above, size_t length,
               size_t stride, uint8_t* out) {
    const size_t head = stride < length ? stride : length;
    switch (type) {
    case kFilterNone:
        std::memcpy(out, row, length);
        return;
    case kFilterSub:
        std::memcpy(out, row, head);
        for (size_t i = head; i < length; ++i)
            out[i] = static_cast<uint8_t>(row[i] - row[i - stride]);
        return;
    case kFilterUp:
        for (size_t i = 0; i < length; ++i)
            out[i] = static_cast<uint8_t>(row[i] - above[i]);
        return;
    case kFilterAverage:
        for (size_t i = 0; i < head; ++i)
            out[i] = static_cast<uint8_t>(row[i] - (above[i] >> 1));
        for (size_t i = head; i < length; ++i)
            out[i] = static_cast<uint8_t>(row[i] - ((row[i - stride] + above[i]) >> 1));
        return;
    case kFilterPaeth:
        for (size_t i = 0; i < head; ++i)
            out[i] = static_cast<uint8_t>(row[i] - above[i]);
        for (size_t i = head; i < length; ++i)
            out[i] =
                static_cast<uint8_t>(row[i] - Paeth(row[i - stride], above[i], above[i - stride]));
        return;
    }
}

} // namespace lumatrim::png
