// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "png/chunk_walker.h"

#include "png/png_crc.h"

#include <algorithm>
#include <cstring>

namespace lumatrim::png {

namespace {

constexpr uint32_t kMaxChunkLength = 0x7fffffff;
constexpr size_t kChunkBoxBytes = 12; // length, type, CRC

bool IsLetter(uint8_t byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

ChunkWalk Damaged(ChunkWalk walk, std::string detail) {
    walk.fault = WalkFault::Damaged;
    walk.detail = std::move(detail);
    return walk;
}

} // namespace

uint32_t ReadBigEndian32(const uint8_t* bytes) {
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 |
           uint32_t{bytes[3]};
}

ChunkWalk WalkChunks(std::span<const uint8_t> file) {
    ChunkWalk walk;
    if (file.size() < kPngSignature.size() ||
        !std::equal(kPngSignature.begin(), kPngSignature.end(), file.begin())) {
        walk.fault = WalkFault::NotPng;
        walk.detail = "no PNG signature";
        return walk;
    }
    size_t at = kPngSignature.size();
    while (true) {
        if (file.size() - at < kChunkBoxBytes)
            return Damaged(std::move(walk), "the file is cut off");
        const uint8_t* box = file.data() + at;
        const uint32_t length = ReadBigEndian32(box);
        if (length > kMaxChunkLength)
            return Damaged(std::move(walk), "a chunk length is too large");
        if (!std::all_of(box + 4, box + 8, IsLetter))
            return Damaged(std::move(walk), "a chunk type is not four letters");
        if (file.size() - at - kChunkBoxBytes < length)
            return Damaged(std::move(walk), "the file is cut off");
        if (Crc32(box + 4, length + 4) != ReadBigEndian32(box + 8 + length))
            return Damaged(std::move(walk), "a chunk's CRC is wrong");
        ChunkView chunk;
        std::memcpy(chunk.type.data(), box + 4, 4);
        chunk.data = file.subspan(at + 8, length);
        walk.chunks.push_back(chunk);
        at += kChunkBoxBytes + length;
        if (walk.chunks.size() == 1 && (chunk.Type() != "IHDR" || length != 13))
            return Damaged(std::move(walk), "the first chunk is not IHDR");
        if (chunk.Type() == "IEND") return walk;
    }
}

} // namespace lumatrim::png
