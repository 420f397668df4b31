// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// PNG's five row filters: each byte less a prediction from the byte one pixel to the left
// (`stride` bytes back), the byte above, or both (README.md, "Filter bytes").
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumatrim::png {

enum FilterType : uint8_t { kFilterNone, kFilterSub, kFilterUp, kFilterAverage, kFilterPaeth };
inline constexpr int kFilterTypes = 5;

// Writes `length` filtered bytes of `row` to `out`; `above` is the previous row's unfiltered
// bytes (zeros for the first row).
void FilterRow(FilterType type, const uint8_t* row, const uint8_t* above, size_t length,
               size_t stride, uint8_t* out);

} // namespace lumatrim::png
