// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The lossy PNG candidate: the source's picture quantized to at most 256 RGBA colours
// (PaletteQuantizer), mapped without dithering or, where that misses the level's likeness
// floor, with it, and written by our PNG encoder.
#pragma once

#include "app/routes/route.h"
#include "png/png_optimizer.h"

#include <cstdint>
#include <optional>

namespace lumatrim {

// libimagequant's quality target at a level: 90 at the default (as pngquant --quality 65-90
// aims), 100 at level 1, 88 at 100; the likeness floor then decides.
inline int32_t QuantizerQuality(int32_t level) {
    return 100 - level / 8;
}

// The lossy rewrite of `source` (as `png::ReadPng` gives it) at `quality` when its likeness
// (LikenessMeter against the source's picture) keeps `floor`. None for a picture that already
// fits a palette exactly (the lossless rewrite holds it as well), or when no mapping keeps the
// floor or comes out smaller than `losslessBytes`.
std::optional<Candidate> LossyPngCandidate(const png::PngSource& source,
                                           const png::PngOptions& options, int32_t quality,
                                           double floor, uintmax_t losslessBytes);

} // namespace lumatrim
