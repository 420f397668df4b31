// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/batch/path_list.h"

namespace lumatrim {

PathList::PathList(std::initializer_list<std::string_view> paths) {
    for (const std::string_view path : paths)
        Add(path);
}

void PathList::Add(std::string_view path) {
    text_.append(path);
    ends_.push_back(text_.size());
}

void PathList::ShrinkToFit() {
    text_.shrink_to_fit();
    ends_.shrink_to_fit();
}

std::string_view PathList::operator[](size_t index) const {
    const size_t begin = index == 0 ? 0 : ends_.at(index - 1);
    return std::string_view(text_).substr(begin, ends_.at(index) - begin);
}

} // namespace lumatrim
