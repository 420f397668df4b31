// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Whether a colour picture keeps its chroma at full resolution (4:4:4) or halves it in both
// directions (4:2:0).
#pragma once

#include "jpeg/jpeg_picture.h"

namespace lumatrim {

bool NeedsFullChroma(const JpegPicture& picture);

} // namespace lumatrim
