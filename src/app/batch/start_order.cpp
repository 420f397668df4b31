// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/batch/start_order.h"

#include <algorithm>
#include <numeric>

namespace lumatrim {

std::vector<size_t> StartOrder(const std::vector<uintmax_t>& sizes, unsigned jobs) {
    const uintmax_t total = std::accumulate(sizes.begin(), sizes.end(), uintmax_t{0});
    const uintmax_t large = total / (4 * static_cast<uintmax_t>(std::max(jobs, 1U)));
    std::vector<size_t> order(sizes.size());
    std::iota(order.begin(), order.end(), size_t{0});
    const auto matters = [&](size_t index) { return total > 0 && sizes[index] >= large; };
    const auto firstSmall = std::stable_partition(order.begin(), order.end(), matters);
    std::stable_sort(order.begin(), firstSmall,
                     [&](size_t a, size_t b) { return sizes[a] > sizes[b]; });
    return order;
}

} // namespace lumatrim
