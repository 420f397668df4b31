// Hand-built GIF bytes for the codec tests: a file is written block by block, so a test shows
// exactly which bytes it feeds the reader.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
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

// LZW data that spells out every pixel: a Clear before every second pixel keeps the table
// from growing, so every code has the initial width.
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

class GifBuilder {
public:
    GifBuilder& Header(std::string_view version, uint16_t width, uint16_t height, uint8_t flags = 0,
                       uint8_t background = 0, uint8_t aspect = 0) {
        Text("GIF");
        Text(version);
        Word(width);
        Word(height);
        Bytes({flags, background, aspect});
        return *this;
    }
    GifBuilder& Bytes(std::initializer_list<uint8_t> bytes) {
        bytes_.insert(bytes_.end(), bytes);
        return *this;
    }
    GifBuilder& Text(std::string_view text) {
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        return *this;
    }
    GifBuilder& Word(uint16_t value) {
        return Bytes({static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)});
    }
    // Entries as red, green, blue triples: entry i is (i, 2i, 3i) modulo 256.
    GifBuilder& Table(int entries) {
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
        Bytes({0x21, 0xF9, 0x04, packed});
        Word(delay);
        return Bytes({transparent, 0x00});
    }
    GifBuilder& Comment(std::string_view text) {
        Bytes({0x21, 0xFE});
        return SubBlocks(std::vector<uint8_t>(text.begin(), text.end()));
    }
    GifBuilder& Looping(uint16_t loops) {
        Bytes({0x21, 0xFF, 0x0B});
        Text("NETSCAPE2.0");
        Bytes({0x03, 0x01});
        Word(loops);
        return Bytes({0x00});
    }
    // An image descriptor; the caller adds a local table, then ImageData.
    GifBuilder& Descriptor(uint16_t left, uint16_t top, uint16_t width, uint16_t height,
                           uint8_t flags = 0) {
        Bytes({0x2C});
        Word(left);
        Word(top);
        Word(width);
        Word(height);
        return Bytes({flags});
    }
    GifBuilder& ImageData(uint8_t minCodeSize, const std::vector<uint8_t>& lzw) {
        bytes_.push_back(minCodeSize);
        return SubBlocks(lzw);
    }
    // A whole image of the given pixels without a local table, minimum code size 2..8.
    GifBuilder& Image(uint16_t width, uint16_t height, const std::vector<uint8_t>& pixels,
                      int minCodeSize = 2) {
        Descriptor(0, 0, width, height);
        return ImageData(static_cast<uint8_t>(minCodeSize), PlainLzw(pixels, minCodeSize));
    }
    GifBuilder& Trailer() { return Bytes({0x3B}); }

    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

} // namespace lumatrim::test
