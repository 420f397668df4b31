// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Raw deflate streams made into one, so that parts of a picture compressed apart can share one
// zlib stream. A stream that is not the last must lose the final-block mark of its last block,
// and end on a byte boundary for the next stream to follow it byte for byte.
#pragma once

#include <cstdint>
#include <span>

namespace lumatrim::png {

// The most bytes MakeJoinable adds.
inline constexpr size_t kJoinTailBytes = 5;

// Clears the final-block bit of the last block of the raw deflate stream that fills the first
// `size` bytes of `room`, and writes an empty stored block after it, which ends on a byte
// boundary. `room` must have kJoinTailBytes more than `size`. Returns the stream's new size, or
// 0, leaving it as it was, if those bytes do not inflate as one whole raw deflate stream.
size_t MakeJoinable(std::span<uint8_t> room, size_t size);

} // namespace lumatrim::png
