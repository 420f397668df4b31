// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Opens each GIF named on the command line with Qt's image reader and decodes every frame, as
// the window and the picture loader would. Prints one line per file that fails; the exit code
// is the number of such files (at most 125).
//
//     gif_qt_decode FILE...
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cstdio>

namespace {

// The frames decoded, or -1 when a frame the reader announced could not be read.
int DecodeAll(const char* path) {
    QImageReader reader(QString::fromLocal8Bit(path), "gif");
    int frames = 0;
    while (reader.canRead()) {
        if (reader.read().isNull()) return -1;
        ++frames;
        if (reader.imageCount() > 0 && frames >= reader.imageCount()) break;
    }
    return frames;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv); // image format plugins are found through it
    int failed = 0;
    for (int i = 1; i < argc; ++i) {
        const int frames = DecodeAll(argv[i]);
        if (frames > 0) continue;
        std::printf("Qt could not decode %s\n", argv[i]);
        ++failed;
    }
    return std::min(failed, 125);
}
