// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// A run's list of paths in one block of text. A list of a million paths then costs their bytes
// and one offset each, where a vector of strings costs a string object and a heap block apiece
// (about twice as much for typical paths).
#pragma once

#include <cstddef>
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
    // Valid until the next Add.
    std::string_view operator[](size_t index) const;

private:
    std::string text_;         // the paths one after another
    std::vector<size_t> ends_; // where each path ends in text_
};

} // namespace lumatrim
