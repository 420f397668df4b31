// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Our JPEG encoder on a decoded picture, for the benchmarks that set it against cjpeg:
//   djpeg SOURCE.jpg | jpeg_encode [options] - OUT.jpg
// reads a binary PGM or PPM (maxval 255) from a file or standard input and writes the JPEG.
// Options: -q QUALITY (85), --fast, --chroma auto|full|half, --full-chroma-source (the hint a
// 4:4:4 source gives), and the search's trade: --lambda L, --table-weighting W, --off-grid E.
#include "jpegenc/jpeg_encoder.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

namespace {

using lumatrim::JpegPicture;

// The next number of a PNM header, past white space and comments.
bool ReadHeaderNumber(std::istream& in, uint32_t& number) {
    int c = in.get();
    while (c == '#' || std::isspace(c)) {
        if (c == '#')
            while (c != '\n' && c != EOF)
                c = in.get();
        c = in.get();
    }
    if (!std::isdigit(c)) return false;
    uint64_t value = 0;
    for (; std::isdigit(c) && value < (1u << 30); c = in.get())
        value = value * 10 + static_cast<uint64_t>(c - '0');
    number = static_cast<uint32_t>(value);
    return true; // the single white space after the number is consumed
}

bool ReadPnm(std::istream& in, JpegPicture& picture) {
    char magic[2];
    if (!in.read(magic, 2) || magic[0] != 'P' || (magic[1] != '5' && magic[1] != '6')) return false;
    uint32_t maxValue = 0;
    if (!ReadHeaderNumber(in, picture.width) || !ReadHeaderNumber(in, picture.height) ||
        !ReadHeaderNumber(in, maxValue) || maxValue != 255)
        return false;
    picture.components = magic[1] == '5' ? 1 : 3;
    picture.samples.resize(size_t{picture.width} * picture.height * picture.components);
    return static_cast<bool>(in.read(reinterpret_cast<char*>(picture.samples.data()),
                                     static_cast<std::streamsize>(picture.samples.size())));
}

[[noreturn]] void Usage() {
    std::cerr << "usage: jpeg_encode [-q Q] [--fast] [--chroma auto|full|half] "
                 "[--full-chroma-source] [--lambda L] [--table-weighting W] [--off-grid E] "
                 "IN.pnm|- OUT.jpg\n";
    std::exit(2);
}

} // namespace

int main(int argc, char** argv) {
    lumatrim::JpegEncodeOptions options;
    lumatrim::TrellisSettings settings = lumatrim::DefaultTrellisSettings();
    bool fullChromaSource = false;
    int at = 1;
    for (; at + 2 < argc || (at < argc && argv[at][0] == '-' && argv[at][1] == '-'); ++at) {
        const std::string option = argv[at];
        const auto value = [&] { return at + 1 < argc ? argv[++at] : (Usage(), ""); };
        if (option == "-q")
            options.quality = std::atoi(value());
        else if (option == "--fast")
            options.fast = true;
        else if (option == "--full-chroma-source")
            fullChromaSource = true;
        else if (option == "--chroma") {
            const std::string mode = value();
            options.chroma = mode == "full"   ? lumatrim::ChromaSampling::Full
                             : mode == "half" ? lumatrim::ChromaSampling::Half
                                              : lumatrim::ChromaSampling::Auto;
        } else if (option == "--lambda")
            settings.lambda = std::strtof(value(), nullptr);
        else if (option == "--table-weighting")
            settings.tableWeighting = std::strtof(value(), nullptr);
        else if (option == "--off-grid")
            settings.offGridExponent = std::strtof(value(), nullptr);
        else
            Usage();
    }
    if (argc - at != 2) Usage();
    JpegPicture picture;
    std::ifstream file;
    std::istream* in = &std::cin;
    if (std::strcmp(argv[at], "-") != 0) {
        file.open(argv[at], std::ios::binary);
        in = &file;
    }
    if (!ReadPnm(*in, picture)) {
        std::cerr << "jpeg_encode: not a binary PGM or PPM of 8-bit samples: " << argv[at] << "\n";
        return 1;
    }
    picture.sourceFullChroma = fullChromaSource;
    const std::vector<uint8_t> jpeg = lumatrim::EncodeJpeg(picture, options, settings);
    std::ofstream out(argv[at + 1], std::ios::binary);
    if (jpeg.empty() || !out.write(reinterpret_cast<const char*>(jpeg.data()),
                                   static_cast<std::streamsize>(jpeg.size()))) {
        std::cerr << "jpeg_encode: could not encode or write " << argv[at + 1] << "\n";
        return 1;
    }
    return 0;
}
