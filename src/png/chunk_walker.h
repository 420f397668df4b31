// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The chunk boxes of a PNG file, checked before anything else reads it: the signature, every
// length within the file and under 2^31, every type four ASCII letters, every CRC right, IHDR
// first and IEND last. Bytes after IEND are not part of the picture and are left out.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumatrim::png {

struct ChunkView {
    std::array<char, 4> type{};
    std::span<const uint8_t> data;

    std::string_view Type() const { return {type.data(), type.size()}; }
    // The case bits of the type's letters (README.md, "Chunk types").
    bool IsCritical() const { return (type[0] & 0x20) == 0; }
    bool IsSafeToCopy() const { return (type[3] & 0x20) != 0; }
};

enum class WalkFault { None, NotPng, Damaged };

struct ChunkWalk {
    std::vector<ChunkView> chunks; // IHDR first, IEND last when `fault` is None
    WalkFault fault = WalkFault::None;
    std::string detail;
};

inline constexpr std::array<uint8_t, 8> kPngSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

ChunkWalk WalkChunks(std::span<const uint8_t> file);

uint32_t ReadBigEndian32(const uint8_t* bytes);

} // namespace lumatrim::png
