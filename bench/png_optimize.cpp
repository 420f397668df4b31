// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Our PNG optimizer on its own: `png_optimize [--fast] [--keep-metadata] SOURCE OUTPUT` writes
// the rewrite of SOURCE (even when larger) and prints "SOURCE_BYTES OUTPUT_BYTES", or the reason
// it declines on standard error with exit code 2.
#include "png/png_optimizer.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    lumatrim::png::PngOptions options;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--fast")
            options.effort = lumatrim::png::PngEffort::Fast;
        else if (argument == "--keep-metadata")
            options.keepMetadata = true;
        else
            paths.emplace_back(argument);
    }
    if (paths.size() != 2) {
        std::cerr << "usage: png_optimize [--fast] [--keep-metadata] SOURCE OUTPUT\n";
        return 1;
    }
    std::ifstream in(paths[0], std::ios::binary);
    const std::vector<uint8_t> source{std::istreambuf_iterator<char>(in), {}};
    const lumatrim::png::PngResult result = lumatrim::png::OptimizePng(source, options);
    if (const auto* refusal = std::get_if<lumatrim::png::PngRefusal>(&result)) {
        std::cerr << paths[0] << ": " << refusal->detail << "\n";
        return 2;
    }
    const auto& bytes = std::get<std::vector<uint8_t>>(result);
    std::ofstream out(paths[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    std::cout << source.size() << " " << bytes.size() << "\n";
    return out ? 0 : 1;
}
