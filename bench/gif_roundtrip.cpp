// gif_roundtrip [--plain] INPUT OUTPUT [REPEAT]: loads a GIF file and saves it again, REPEAT
// times (1 by default), as the batch does with each file. Save writes atomically (a temporary
// file, flushed to disk, renamed); --plain writes the same bytes with an ordinary file write,
// as gifsicle does, so that the codecs can be compared on equal terms.
#include "gif/gif.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace {

bool SavePlain(lumatrim::cGIF& gif, const char* path) {
    const std::vector<uint8_t> bytes = gif.SaveToMemory();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return !bytes.empty() && out.good();
}

} // namespace

int main(int argc, char** argv) {
    const bool plain = argc > 1 && std::strcmp(argv[1], "--plain") == 0;
    const int first = plain ? 2 : 1;
    if (argc - first < 2 || argc - first > 3) {
        std::fprintf(stderr, "usage: gif_roundtrip [--plain] INPUT OUTPUT [REPEAT]\n");
        return 2;
    }
    const char* input = argv[first];
    const char* output = argv[first + 1];
    const int repeat = argc - first == 3 ? std::atoi(argv[first + 2]) : 1;
    lumatrim::cGIF gif;
    for (int i = 0; i < repeat; ++i) {
        if (!gif.LoadFromFile(input)) {
            std::fprintf(stderr, "cannot load %s\n", input);
            return 1;
        }
        if (!(plain ? SavePlain(gif, output) : gif.Save(output))) {
            std::fprintf(stderr, "cannot save %s\n", output);
            return 1;
        }
    }
    return 0;
}
