// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "png/png_optimizer.h"

#include "png/animation_copy.h"
#include "png/chunk_policy.h"
#include "png/chunk_walker.h"
#include "png/picture_encoder.h"
#include "png/raw_image.h"
#include "png/spng_decoder.h"

namespace lumatrim::png {

namespace {

std::optional<PngRefusal> WalkRefusal(const ChunkWalk& walk) {
    switch (walk.fault) {
    case WalkFault::None:
        return std::nullopt;
    case WalkFault::NotPng:
        return PngRefusal{PngDecline::NotPng, walk.detail};
    case WalkFault::Damaged:
        break;
    }
    return PngRefusal{PngDecline::Damaged, walk.detail};
}

// Deflate turns a byte into at most 1032: picture data too short for its pixels even at that
// rate cannot fill them, and is refused before memory is spent on the picture.
constexpr uint64_t kMaxInflateRatio = 1032;

bool DataCanFillPicture(const std::vector<ChunkView>& chunks) {
    const std::span<const uint8_t> header = chunks.front().data;
    const uint64_t width = ReadBigEndian32(header.data()),
                   height = ReadBigEndian32(header.data() + 4);
    const uint64_t bitsPerPixel = uint64_t{header[8]} * SamplesPerPixel(header[9]);
    uint64_t dataBytes = 0;
    for (const ChunkView& chunk : chunks)
        if (chunk.Type() == "IDAT") dataBytes += chunk.data.size();
    if (bitsPerPixel == 0) return true; // not a layout: libspng names the fault
    return width * height / 8 <= dataBytes * kMaxInflateRatio / bitsPerPixel;
}

PngRefusal DecodeRefusal(const DecodeFailure& failure) {
    return {failure.fault == DecodeFault::TooLarge ? PngDecline::TooLarge : PngDecline::Damaged,
            failure.detail};
}

PngResult EncodeRead(PngSourceResult source, const PngOptions& options) {
    if (auto* refusal = std::get_if<PngRefusal>(&source)) return *refusal;
    if (options.stop.stop_requested()) return PngRefusal{PngDecline::Stopped, "stopped"};
    PngSource& read = std::get<PngSource>(source);
    return EncodeOwnedPicture(std::move(read.picture), read.chunks, options);
}

} // namespace

PngSourceResult ReadPng(std::span<const uint8_t> file, const PngOptions& options,
                        uint64_t maxPixels) {
    const ChunkWalk walk = WalkChunks(file);
    if (auto refusal = WalkRefusal(walk)) return *refusal;
    if (IsAnimated(walk.chunks)) return PngRefusal{PngDecline::Unsupported, "an animated PNG"};
    if (!DataCanFillPicture(walk.chunks))
        return PngRefusal{PngDecline::Damaged, "the picture data is too short for its pixels"};
    KeptChunks kept = KeepChunks(walk.chunks, options.keepMetadata);
    if (kept.refusal) return PngRefusal{PngDecline::Unsupported, *kept.refusal};
    auto decoded = DecodeRgba(file, maxPixels);
    if (auto* failure = std::get_if<DecodeFailure>(&decoded)) return DecodeRefusal(*failure);
    return PngSource{std::move(std::get<RgbaPicture>(decoded)), std::move(kept.chunks)};
}

namespace {

// `owner`, when it holds `file`'s bytes, is emptied once the picture is decoded: from there on
// the rewrite needs only the picture and the kept chunks, and a large source would otherwise
// stay in memory beside the picture's rows and streams.
PngResult Optimize(std::span<const uint8_t> file, std::vector<uint8_t>& owner,
                   const PngOptions& options, uint64_t maxPixels) {
    const ChunkWalk walk = WalkChunks(file);
    if (auto refusal = WalkRefusal(walk)) return *refusal;
    if (IsAnimated(walk.chunks)) return RewriteAnimation(walk.chunks, options);
    PngSourceResult source = ReadPng(file, options, maxPixels);
    owner = std::vector<uint8_t>();
    return EncodeRead(std::move(source), options);
}

} // namespace

PngResult OptimizePng(std::span<const uint8_t> file, const PngOptions& options,
                      uint64_t maxPixels) {
    std::vector<uint8_t> unowned;
    return Optimize(file, unowned, options, maxPixels);
}

PngResult OptimizePng(std::vector<uint8_t>&& file, const PngOptions& options, uint64_t maxPixels) {
    std::vector<uint8_t> owned = std::move(file);
    return Optimize(owned, owned, options, maxPixels);
}

} // namespace lumatrim::png
