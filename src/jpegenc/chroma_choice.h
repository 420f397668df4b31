// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Whether a colour picture keeps its chroma at full resolution (4:4:4) rather than halving it
// in both directions (4:2:0).
//
// Halving costs little where colour changes smoothly and ruins sharp colour edges: red text on
// white loses its outline. The measure is what halving removes: in each 2x2 square of Cb and
// Cr, the squared differences from the square's mean; summed over each 16x16 region, as a root
// mean square per sample. The picture keeps full chroma when its source had it and some region
// loses at least kFullChromaLoss.
//
// Measured with butteraugli at quality 85 on 13 pictures (corpus files, red text on white, a
// photograph with a red caption): where the worst region loses 12 or more (text, sharp
// coloured lines), full chroma took the distance from 2.0..8.0 down to 0.9..3.2 for 19 to 42%
// more bytes; where it loses less than 9, by at most 0.45 (most by under 0.05) for 7 to 21%
// more bytes.
#pragma once

#include "jpeg/jpeg_picture.h"
#include "jpegenc/component_planes.h"

#include <vector>

namespace lumatrim {

inline constexpr double kFullChromaLoss = 10.0;

// The largest loss of any 16x16 region when the chroma of `planes` (full Y, Cb, Cr of a
// `width` x `height` picture) is halved.
double WorstChromaHalvingLoss(const std::vector<SamplePlane>& planes, uint32_t width,
                              uint32_t height);

// `planes` as ComponentPlanes gives them for `picture`.
bool NeedsFullChroma(const JpegPicture& picture, const std::vector<SamplePlane>& planes);

} // namespace lumatrim
