// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Hand-built GIF bytes, block by block, so a test shows exactly what the reader is fed; small
// documents built in memory, and what a viewer would show of them.
#pragma once

#include "gif/gif.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumatrim::test {

// Codes of the given widths, packed least significant bit first.
inline std::vector<uint8_t> PackCodes(const std::vector<std::pair<uint32_t, int>>& codes) {
    std::vector<uint8_t> out;
    uint32_t acc = 0;
    int held = 0;
    for (const auto& [code, width] : codes) {
        acc |= code << held;
        for (held += width; held >= 8; held -= 8, acc >>= 8)
            out.push_back(static_cast<uint8_t>(acc));
    }
    if (held > 0) out.push_back(static_cast<uint8_t>(acc));
    return out;
}

// A Clear before every second pixel keeps the table from growing, so this data does not
// depend on the encoder under test getting the width rules right.
inline std::vector<uint8_t> PlainLzw(const std::vector<uint8_t>& pixels, int minCodeSize) {
    const uint32_t clear = 1u << minCodeSize;
    const int width = minCodeSize + 1;
    std::vector<std::pair<uint32_t, int>> codes;
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (i % 2 == 0) codes.emplace_back(clear, width);
        codes.emplace_back(pixels[i], width);
    }
    codes.emplace_back(clear + 1, width);
    return PackCodes(codes);
}

// The visible pixels row by row, without the scanline padding.
inline std::vector<uint8_t> Pixels(const cDIB& dib) {
    std::vector<uint8_t> out;
    for (int32_t y = 0; y < dib.Height(); ++y) {
        const uint8_t* row = dib.lpBits() + y * dib.BytesPerScanline();
        out.insert(out.end(), row, row + dib.Width());
    }
    return out;
}

// The screen ("WxH bg B aspect A loops N [trailing comments]"), then one line per frame
// ("WxH at L,T delay disposal input interlaced transparent/index local/entries [comments]"): one
// comparison covers every property a load or a save must get right.
inline std::vector<std::string> Describe(const cGIF& gif) {
    std::ostringstream screen;
    screen << gif.ScreenWidth() << 'x' << gif.ScreenHeight() << " bg "
           << int{gif.ScreenBackgroundColorIndex()} << " aspect " << gif.ScreenPixelAspectRatio()
           << " loops " << gif.AnimationLoops();
    for (int32_t c = 1; c <= gif.TrailingCommentsCount(); ++c)
        screen << " [" << gif.TrailingComment(c) << ']';
    std::vector<std::string> out{screen.str()};
    for (int32_t n = 1; n <= gif.FramesCount(); ++n) {
        std::ostringstream s;
        s << gif.FrameDIBXOR(n)->Width() << 'x' << gif.FrameDIBXOR(n)->Height() << " at "
          << gif.FrameLeft(n) << ',' << gif.FrameTop(n) << ' ' << gif.FrameDelay(n) << ' '
          << int{gif.FrameDisposalMethod(n)} << ' ' << gif.FrameUserInput(n) << ' '
          << gif.FrameInterlaced(n) << ' ' << gif.FrameUseTransparentColor(n) << '/'
          << int{gif.FrameTransparentColorIndex(n)} << ' ' << gif.LocalPaletteUsed(n) << '/'
          << gif.LocalPaletteEntries(n);
        for (int32_t c = 1; c <= gif.FrameCommentsCount(n); ++c)
            s << " [" << gif.FrameComment(n, c) << ']';
        out.push_back(s.str());
    }
    return out;
}
using Lines = std::vector<std::string>;

class GifBuilder {
public:
    GifBuilder& Bytes(const std::vector<uint8_t>& bytes) {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    GifBuilder& Text(std::string_view text) {
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        return *this;
    }
    GifBuilder& Word(uint16_t value) {
        return Bytes({static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)});
    }
    // Header and a global table of 2 or 4 entries; entry i is (i, 2i, 3i).
    GifBuilder& Screen(std::string_view version, uint16_t width, uint16_t height, int entries) {
        Text("GIF").Text(version).Word(width).Word(height);
        Bytes({static_cast<uint8_t>(entries == 4 ? 0x81 : 0x80), 0, 0});
        for (int i = 0; i < entries; ++i)
            Bytes({static_cast<uint8_t>(i), static_cast<uint8_t>(2 * i),
                   static_cast<uint8_t>(3 * i)});
        return *this;
    }
    GifBuilder& SubBlocks(const std::vector<uint8_t>& data) {
        for (size_t at = 0; at < data.size(); at += 255) {
            const size_t n = std::min<size_t>(255, data.size() - at);
            bytes_.push_back(static_cast<uint8_t>(n));
            bytes_.insert(bytes_.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                          data.begin() + static_cast<std::ptrdiff_t>(at + n));
        }
        bytes_.push_back(0);
        return *this;
    }
    GifBuilder& Control(uint8_t packed, uint16_t delay, uint8_t transparent) {
        Bytes({0x21, 0xF9, 0x04, packed}).Word(delay);
        return Bytes({transparent, 0x00});
    }
    GifBuilder& Comment(std::string_view text) {
        Bytes({0x21, 0xFE});
        return SubBlocks(std::vector<uint8_t>(text.begin(), text.end()));
    }
    GifBuilder& Looping(uint16_t loops) {
        Bytes({0x21, 0xFF, 0x0B}).Text("NETSCAPE2.0").Bytes({0x03, 0x01}).Word(loops);
        return Bytes({0x00});
    }
    // A descriptor at (0, 0) without a local table, then the pixels at minimum code size 2.
    GifBuilder& Image(uint16_t width, uint16_t height, const std::vector<uint8_t>& pixels) {
        Bytes({0x2C, 0, 0, 0, 0}).Word(width).Word(height).Bytes({0x00, 2});
        return SubBlocks(PlainLzw(pixels, 2));
    }
    GifBuilder& Trailer() { return Bytes({0x3B}); }

    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

// Entries 0..entries-1 all differ; `shade` tells tables apart.
inline void FillTable(ColorTable1024& table, int32_t entries, uint8_t shade = 0) {
    table.fill(0);
    for (int32_t i = 0; i < entries; ++i) {
        table[4 * i] = static_cast<uint8_t>(i);
        table[4 * i + 1] = shade;
        table[4 * i + 2] = static_cast<uint8_t>(255 - i);
    }
}

inline void SetGlobal(cGIF& gif, int32_t entries) {
    gif.SetGlobalPaletteExists(true);
    gif.SetGlobalPaletteEntries(entries);
    FillTable(gif.lpGlobalPalette(), entries);
}

inline void SetPixels(cGIF& gif, int32_t n, const std::vector<uint8_t>& pixels) {
    cDIB& dib = *gif.FrameDIBXOR(n);
    for (int32_t y = 0; y < dib.Height(); ++y)
        std::memcpy(dib.lpBits() + y * dib.BytesPerScanline(), &pixels[size_t(y * dib.Width())],
                    size_t(dib.Width()));
}

// Appends a frame on the global palette (or a local one of `localEntries` colours).
inline int32_t AddFrame(cGIF& gif, int32_t w, int32_t h, const std::vector<uint8_t>& pixels,
                        int32_t left = 0, int32_t top = 0, int32_t localEntries = 0) {
    const int32_t n = gif.FramesCount() + 1;
    gif.FrameInsert(n, w, h, localEntries == 0);
    gif.SetFrameLeft(n, left);
    gif.SetFrameTop(n, top);
    if (localEntries) {
        gif.SetLocalPaletteEntries(n, localEntries);
        FillTable(gif.lpFramePalette(n), localEntries, static_cast<uint8_t>(n));
    }
    SetPixels(gif, n, pixels);
    return n;
}

inline std::vector<uint8_t> Filled(int32_t w, int32_t h, uint8_t value) {
    return std::vector<uint8_t>(size_t(w * h), value);
}

// Frame n's line of Describe.
inline std::string Frame(const cGIF& gif, int32_t n) {
    return Describe(gif).at(size_t(n));
}

inline void SetTransparent(cGIF& gif, int32_t n, uint8_t index) {
    gif.SetFrameUseTransparentColor(n, true);
    gif.SetFrameTransparentColorIndex(n, index);
}

// Each displayed screen (colour entries; 0xFF000000 for a transparent point) with its delay,
// identical neighbours joined: what a browser shows, frame by frame, a delay of 0 or 1
// hundredths lasting 10.
inline std::vector<std::pair<std::vector<uint32_t>, int32_t>> Timeline(const cGIF& gif) {
    const int32_t width = gif.ScreenWidth();
    std::vector<uint32_t> screen(size_t(width * gif.ScreenHeight()), 0xFF000000);
    std::vector<std::pair<std::vector<uint32_t>, int32_t>> shown;
    for (int32_t n = 1; n <= gif.FramesCount(); ++n) {
        const std::vector<uint32_t> before = screen;
        const cDIB& dib = *gif.FrameDIBXOR(n);
        const auto& table = gif.lpFramePalette(n);
        std::vector<size_t> area;
        for (int32_t y = 0; y < dib.Height(); ++y)
            for (int32_t x = 0; x < dib.Width(); ++x) {
                const int32_t sx = gif.FrameLeft(n) + x, sy = gif.FrameTop(n) + y;
                if (sx < 0 || sy < 0 || sx >= width || sy >= gif.ScreenHeight()) continue;
                area.push_back(size_t(sy * width + sx));
                const uint8_t p = dib.lpBits()[y * dib.BytesPerScanline() + x];
                if (gif.FrameUseTransparentColor(n) && p == gif.FrameTransparentColorIndex(n))
                    continue;
                std::memcpy(&screen[area.back()], &table[size_t(p) * 4], 4);
            }
        const int32_t delay = gif.FrameDelay(n) <= 1 ? 10 : gif.FrameDelay(n);
        if (!shown.empty() && shown.back().first == screen)
            shown.back().second += delay;
        else
            shown.emplace_back(screen, delay);
        if (gif.FrameDisposalMethod(n) == 3) screen = before;
        for (const size_t at : area)
            if (gif.FrameDisposalMethod(n) == 2) screen[at] = 0xFF000000;
    }
    return shown;
}

} // namespace lumatrim::test
