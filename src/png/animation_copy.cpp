// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "png/animation_copy.h"

#include "png/png_writer.h"

#include <array>
#include <string_view>

namespace lumatrim::png {

namespace {

bool IsTextChunk(std::string_view type) {
    return type == "tEXt" || type == "zTXt" || type == "iTXt" || type == "tIME";
}

} // namespace

bool IsAnimated(const std::vector<ChunkView>& chunks) {
    for (const ChunkView& chunk : chunks) {
        if (chunk.Type() == "IDAT") return false;
        if (chunk.Type() == "acTL") return true;
    }
    return false;
}

// Only text and time chunks go: every other chunk, critical ones included, stays as it is, so
// every frame and its timing are the source's own.
PngResult RewriteAnimation(const std::vector<ChunkView>& chunks, const PngOptions& options) {
    std::vector<uint8_t> file(kPngSignature.begin(), kPngSignature.end());
    for (const ChunkView& chunk : chunks) {
        if (!options.keepMetadata && IsTextChunk(chunk.Type())) continue;
        AppendChunk(file, chunk.Type(), chunk.data);
    }
    return file;
}

} // namespace lumatrim::png
