// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// gif_roundtrip INPUT OUTPUT [REPEAT]: loads a GIF file and saves it again, REPEAT times
// (1 by default), as the batch does with each file: Save writes atomically (a temporary file
// renamed into place).
#include "gif/gif.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: gif_roundtrip INPUT OUTPUT [REPEAT]\n");
        return 2;
    }
    const char* input = argv[1];
    const char* output = argv[2];
    const int repeat = argc == 4 ? std::atoi(argv[3]) : 1;
    lumatrim::cGIF gif;
    for (int i = 0; i < repeat; ++i) {
        if (!gif.LoadFromFile(input)) {
            std::fprintf(stderr, "cannot load %s\n", input);
            return 1;
        }
        if (!gif.Save(output)) {
            std::fprintf(stderr, "cannot save %s\n", output);
            return 1;
        }
    }
    return 0;
}
