// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "png/banded_deflate.h"

#include "png/deflate_join.h"
#include "png/png_writer.h"
#include "png/zlib_stream.h"

#include <libdeflate.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <system_error>
#include <thread>

namespace lumatrim::png {

namespace {

constexpr size_t kZlibHeaderBytes = 2;

// A band of the data and the stretch of the output buffer its stream is written to: room for
// libdeflate's bound and the tail that joins it to the next.
struct Band {
    std::span<const uint8_t> data;
    size_t outputAt = 0;
    size_t room = 0;
    size_t streamBytes = 0; // 0 until compressed (and, but for the last, made joinable)
};

// Equal parts of `data`, the last taking what is left. Where a part starts does not matter to
// deflate; a row boundary would save nothing.
std::vector<Band> SplitIntoBands(std::span<const uint8_t> data, int level) {
    const size_t count = std::clamp<size_t>(data.size() / kMinBandBytes, 1, kMaxBands);
    const size_t bandBytes = data.size() / count;
    libdeflate_compressor* bounds = libdeflate_alloc_compressor(level);
    if (!bounds) return {};
    std::vector<Band> bands(count);
    size_t outputAt = kZlibHeaderBytes;
    for (size_t i = 0; i < count; ++i) {
        Band& band = bands[i];
        band.data =
            i + 1 < count ? data.subspan(i * bandBytes, bandBytes) : data.subspan(i * bandBytes);
        band.outputAt = outputAt;
        band.room = libdeflate_deflate_compress_bound(bounds, band.data.size()) + kJoinTailBytes;
        outputAt += band.room;
    }
    libdeflate_free_compressor(bounds);
    return bands;
}

// Each band's stream into its stretch of `output`, made joinable but for the last, on up to
// kMaxWorkers threads; fewer if the system gives no more. A band whose compression or joining
// failed, or that was not started, keeps no stream.
void CompressBands(std::vector<Band>& bands, std::vector<uint8_t>& output, int level,
                   const std::stop_token& stop) {
    std::atomic<size_t> next{0};
    const auto work = [&] {
        libdeflate_compressor* compressor = libdeflate_alloc_compressor(level);
        while (compressor && !stop.stop_requested()) {
            const size_t i = next++;
            if (i >= bands.size()) break;
            Band& band = bands[i];
            const std::span<uint8_t> room(output.data() + band.outputAt, band.room);
            const size_t bytes =
                libdeflate_deflate_compress(compressor, band.data.data(), band.data.size(),
                                            room.data(), room.size() - kJoinTailBytes);
            band.streamBytes = bytes && i + 1 < bands.size() ? MakeJoinable(room, bytes) : bytes;
        }
        libdeflate_free_compressor(compressor);
    };
    const unsigned workers =
        std::min<unsigned>({static_cast<unsigned>(bands.size()),
                            std::max(1u, std::thread::hardware_concurrency()), kMaxWorkers});
    std::vector<std::jthread> threads;
    try {
        for (unsigned i = 1; i < workers; ++i)
            threads.emplace_back(work);
    } catch (const std::system_error&) {
        // The threads that did start, and this one, share the bands.
    }
    work();
}

// The bands' streams moved up to follow one another from `end`. Returns where they end, or 0 if
// a band has no stream.
size_t CloseUp(const std::vector<Band>& bands, std::vector<uint8_t>& output, size_t end) {
    for (const Band& band : bands) {
        if (!band.streamBytes) return 0;
        std::memmove(output.data() + end, output.data() + band.outputAt, band.streamBytes);
        end += band.streamBytes;
    }
    return end;
}

// The header libdeflate writes: deflate with a 32 KB window, and a hint of the level.
void WriteZlibHeader(uint8_t* out, int level) {
    const int hint = level < 2 ? 0 : level < 6 ? 1 : level == 6 ? 2 : 3;
    const uint8_t method = 0x78, flags = static_cast<uint8_t>(hint << 6);
    out[0] = method;
    out[1] = static_cast<uint8_t>(flags | (31 - (method * 256 + flags) % 31));
}

} // namespace

// The bands are compressed into one buffer, each into a stretch of its own, and closed up in
// place: a 16-megapixel picture of noise would otherwise hold its compressed bytes twice.
std::vector<uint8_t> BandedZlib(std::span<const uint8_t> filtered, int level,
                                const std::stop_token& stop) {
    std::vector<Band> bands = SplitIntoBands(filtered, level);
    if (bands.size() < 2) return ZlibCompressor(level).Compress(filtered);
    std::vector<uint8_t> zlib(bands.back().outputAt + bands.back().room);
    CompressBands(bands, zlib, level, stop);
    if (stop.stop_requested()) return {};
    const size_t end = CloseUp(bands, zlib, kZlibHeaderBytes);
    // Neither a failed compression nor a stream that does not inflate can happen with a working
    // libdeflate; the whole data in one stream is still right.
    if (!end) return ZlibCompressor(level).Compress(filtered);
    WriteZlibHeader(zlib.data(), level);
    zlib.resize(end); // the checksum fits in the room the bands did not use
    AppendBigEndian32(zlib, libdeflate_adler32(1, filtered.data(), filtered.size()));
    return zlib;
}

} // namespace lumatrim::png
