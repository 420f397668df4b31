// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// A run's list of paths, kept as text in blocks of a mebibyte. A list of a million paths then
// costs their bytes and one offset each, where a vector of strings costs a string object and a
// heap block apiece (about twice as much for typical paths); and it grows without copying
// itself, so reading a long list never needs room for two.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace lumatrim {

class PathList {
public:
    PathList() = default;
    PathList(std::initializer_list<std::string_view> paths);

    void Add(std::string_view path);
    // Gives back the room kept for further paths.
    void ShrinkToFit();

    size_t Size() const { return ends_.size(); }
    bool Empty() const { return ends_.empty(); }
    std::string_view operator[](size_t index) const;

private:
    static constexpr size_t kBlockBytes = size_t{1} << 20;

    std::vector<std::string> blocks_; // each filled up to its capacity, never reallocated
    // Per path, its block (high 32 bits) and where it ends in that block (low 32 bits). It
    // begins where the path before it ends, or at 0 when that one is in another block.
    std::deque<uint64_t> ends_;
};

} // namespace lumatrim
