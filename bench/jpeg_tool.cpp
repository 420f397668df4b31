// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// jpeg_tool decode INPUT OUTPUT [REPEAT]: decodes a JPEG REPEAT times (1 by default) and writes
//   the last picture as a binary PPM (RGB) or PGM (grey), as djpeg does;
// jpeg_tool lossless INPUT OUTPUT: writes the lossless rewrite of a JPEG.
// A failure prints the library's words and exits 1.
#include "jpeg/jpeg_decoder.h"
#include "jpeg/jpeg_lossless.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr uint64_t kMaxPixels = uint64_t{1} << 28;

std::vector<uint8_t> ReadFile(const char* path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    std::vector<uint8_t> bytes(file ? size_t(file.tellg()) : 0);
    file.seekg(0);
    file.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    return bytes;
}

bool WriteFile(const char* path, const std::string& header, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file << header;
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(file);
}

int Fail(const char* input, const lumatrim::JpegFailure& failure) {
    std::fprintf(stderr, "%s: %s\n", input, failure.detail.c_str());
    return 1;
}

int Decode(const char* input, const char* output, int repeat) {
    const std::vector<uint8_t> file = ReadFile(input);
    lumatrim::JpegDecodeResult result;
    for (int i = 0; i < repeat; ++i)
        result = lumatrim::DecodeJpeg(file, kMaxPixels);
    if (const auto* failure = std::get_if<lumatrim::JpegFailure>(&result))
        return Fail(input, *failure);
    const auto& picture = std::get<lumatrim::JpegPicture>(result);
    const std::string header = (picture.components == 1 ? "P5\n" : "P6\n") +
                               std::to_string(picture.width) + " " +
                               std::to_string(picture.height) + "\n255\n";
    return WriteFile(output, header, picture.samples) ? 0 : 1;
}

int Lossless(const char* input, const char* output) {
    const lumatrim::JpegRewriteResult result =
        lumatrim::RewriteJpegLosslessly(ReadFile(input), kMaxPixels);
    if (const auto* failure = std::get_if<lumatrim::JpegFailure>(&result))
        return Fail(input, *failure);
    return WriteFile(output, "", std::get<std::vector<uint8_t>>(result)) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "decode") == 0)
        return Decode(argv[2], argv[3], argc > 4 ? std::atoi(argv[4]) : 1);
    if (argc == 4 && std::strcmp(argv[1], "lossless") == 0) return Lossless(argv[2], argv[3]);
    std::fprintf(stderr, "usage: jpeg_tool decode INPUT OUTPUT [REPEAT]\n"
                         "       jpeg_tool lossless INPUT OUTPUT\n");
    return 2;
}
