// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The typed errors raised across the libraries. Loads and saves return bool instead; these are
// for programming faults a caller can catch: an index out of range or an integer overflow.
#pragma once

#include <stdexcept>

namespace lumatrim {

class IndexOutOfRangeError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

class OverflowError : public std::overflow_error {
public:
    using std::overflow_error::overflow_error;
};

} // namespace lumatrim
