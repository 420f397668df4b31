// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Which of a source's chunks an output keeps byte for byte (README.md, "What is kept").
#pragma once

#include "png/chunk_walker.h"
#include "png/png_picture.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumatrim::png {

struct KeptChunks {
    std::vector<PngChunk> chunks;
    std::optional<std::string> refusal; // a chunk we cannot carry over safely, named
};

// Every chunk but the ones the writer makes again (IHDR, PLTE, tRNS, IDAT, IEND) and the APNG
// chunks, which the animation writer handles.
KeptChunks KeepChunks(const std::vector<ChunkView>& chunks, bool keepMetadata);

// Text and time chunks: what the metadata choice keeps or drops.
bool IsMetadataChunk(std::string_view type);

} // namespace lumatrim::png
