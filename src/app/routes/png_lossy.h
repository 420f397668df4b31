// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The lossy PNG candidate: the source's picture quantized to at most 256 RGBA colours
// (PaletteQuantizer), mapped without dithering or, where that misses the level's likeness
// floor, with it, and written by our PNG encoder.
#pragma once

#include "app/routes/route.h"

#include <cstdint>
#include <optional>
#include <span>

namespace lumatrim {

// None for a picture that already fits a palette exactly (the lossless rewrite holds it as
// well), an animation, a file our reader declines, or when no mapping keeps the floor or comes
// out smaller than `losslessBytes`.
std::optional<Candidate> LossyPngCandidate(std::span<const uint8_t> file, const RouteJob& job,
                                           uintmax_t losslessBytes);

} // namespace lumatrim
