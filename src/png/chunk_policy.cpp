// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "png/chunk_policy.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace lumatrim::png {

namespace {

enum class Fate { Rebuilt, Kept, Metadata, Dropped, Refused };

// Chunks that describe the samples in the source's own layout (bit depths, a background as a
// sample or palette index, a histogram of palette entries) would be wrong once the layout
// changes; none of them changes how a browser shows the picture. dSIG signs the source's
// bytes, which change.
constexpr std::array<std::string_view, 4> kLayoutBound{"sBIT", "bKGD", "hIST", "dSIG"};
// Colour, geometry and orientation chunks, independent of the layout: kept as they are.
constexpr std::array<std::string_view, 12> kDisplay{"cHRM", "gAMA", "iCCP", "sRGB", "cICP", "mDCv",
                                                    "cLLi", "eXIf", "pHYs", "sPLT", "sCAL", "sTER"};
constexpr std::array<std::string_view, 4> kText{"tEXt", "zTXt", "iTXt", "tIME"};
constexpr std::array<std::string_view, 8> kRebuilt{"IHDR", "PLTE", "tRNS", "IDAT",
                                                   "IEND", "acTL", "fcTL", "fdAT"};

template <size_t N>
bool IsOneOf(std::string_view type, const std::array<std::string_view, N>& set) {
    return std::find(set.begin(), set.end(), type) != set.end();
}

Fate FateOf(const ChunkView& chunk) {
    const std::string_view type = chunk.Type();
    if (IsOneOf(type, kRebuilt)) return Fate::Rebuilt;
    if (IsOneOf(type, kLayoutBound)) return Fate::Dropped;
    if (IsOneOf(type, kDisplay)) return Fate::Kept;
    if (IsOneOf(type, kText)) return Fate::Metadata;
    // An unknown chunk marked safe to copy stays valid whatever we do to the picture data; one
    // that is not may depend on the exact samples, so the file is left to others.
    if (!chunk.IsCritical() && chunk.IsSafeToCopy()) return Fate::Kept;
    return Fate::Refused;
}

} // namespace

bool IsMetadataChunk(std::string_view type) {
    return IsOneOf(type, kText);
}

KeptChunks KeepChunks(const std::vector<ChunkView>& chunks, bool keepMetadata) {
    KeptChunks kept;
    bool afterImageData = false, afterPalette = false;
    for (const ChunkView& chunk : chunks) {
        if (chunk.Type() == "IDAT") afterImageData = true;
        if (chunk.Type() == "PLTE") afterPalette = true;
        const Fate fate = FateOf(chunk);
        if (fate == Fate::Refused) {
            kept.refusal = "a chunk we cannot rewrite around: " + std::string(chunk.Type());
            return kept;
        }
        if (fate == Fate::Kept || (fate == Fate::Metadata && keepMetadata))
            kept.chunks.push_back(
                {chunk.type, {chunk.data.begin(), chunk.data.end()}, afterImageData, afterPalette});
    }
    return kept;
}

} // namespace lumatrim::png
