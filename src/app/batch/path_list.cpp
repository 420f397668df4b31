// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/batch/path_list.h"

#include <algorithm>
#include <stdexcept>

namespace lumatrim {

PathList::PathList(std::initializer_list<std::string_view> paths) {
    for (const std::string_view path : paths)
        Add(path);
}

// A path longer than a block gets a block of its own size.
void PathList::Add(std::string_view path) {
    if (path.size() > UINT32_MAX) throw std::length_error("path too long for a list");
    if (blocks_.empty() || blocks_.back().capacity() - blocks_.back().size() < path.size()) {
        blocks_.emplace_back().reserve(std::max(kBlockBytes, path.size()));
    }
    std::string& block = blocks_.back();
    block.append(path);
    ends_.push_back(uint64_t{blocks_.size() - 1} << 32 | block.size());
}

void PathList::ShrinkToFit() {
    if (!blocks_.empty()) blocks_.back().shrink_to_fit();
    ends_.shrink_to_fit();
}

std::string_view PathList::operator[](size_t index) const {
    const uint64_t end = ends_.at(index);
    const size_t block = end >> 32;
    const uint64_t before = index > 0 ? ends_[index - 1] : 0;
    const size_t begin = index > 0 && before >> 32 == block ? before & UINT32_MAX : 0;
    return std::string_view(blocks_[block]).substr(begin, (end & UINT32_MAX) - begin);
}

} // namespace lumatrim
