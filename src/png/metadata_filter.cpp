// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "png/metadata_filter.h"

#include "png/chunk_policy.h"
#include "png/chunk_walker.h"

#include <algorithm>

namespace lumatrim::png {

namespace {

constexpr size_t kLengthAndTypeBytes = 8;
constexpr size_t kCrcBytes = 4;

} // namespace

std::optional<std::vector<uint8_t>> WithoutMetadata(std::span<const uint8_t> file) {
    const ChunkWalk walk = WalkChunks(file);
    if (walk.fault != WalkFault::None) return std::nullopt;
    const bool hasMetadata =
        std::any_of(walk.chunks.begin(), walk.chunks.end(),
                    [](const ChunkView& c) { return IsMetadataChunk(c.Type()); });
    if (!hasMetadata) return std::nullopt;
    std::vector<uint8_t> kept(kPngSignature.begin(), kPngSignature.end());
    kept.reserve(file.size());
    for (const ChunkView& chunk : walk.chunks) {
        if (IsMetadataChunk(chunk.Type())) continue;
        const uint8_t* box = chunk.data.data() - kLengthAndTypeBytes;
        kept.insert(kept.end(), box, chunk.data.data() + chunk.data.size() + kCrcBytes);
    }
    return kept;
}

} // namespace lumatrim::png
