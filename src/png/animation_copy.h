// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// APNG files: every frame, its control chunk and the sequence of them as the source has them.
#pragma once

#include "png/chunk_walker.h"
#include "png/png_options.h"

#include <vector>

namespace lumatrim::png {

// Whether the file is an APNG (an acTL before its picture data).
bool IsAnimated(const std::vector<ChunkView>& chunks);

PngResult RewriteAnimation(const std::vector<ChunkView>& chunks, const PngOptions& options);

} // namespace lumatrim::png
