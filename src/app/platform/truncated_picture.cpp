// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/platform/truncated_picture.h"

#include <algorithm>

namespace lumatrim {

namespace {

uint32_t ReadBigEndian16(std::span<const uint8_t> file, size_t at) {
    return uint32_t{file[at]} << 8 | file[at + 1];
}

bool IsTruncatedJpeg(std::span<const uint8_t> file) {
    size_t at = 2;
    while (at + 4 <= file.size() && file[at] == 0xFF) {
        const uint8_t marker = file[at + 1];
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        const size_t length = ReadBigEndian16(file, at + 2);
        if (marker == 0xDA) {
            const std::span<const uint8_t> rest =
                file.subspan(std::min(file.size(), at + 2 + length));
            const uint8_t endOfImage[] = {0xFF, 0xD9};
            return std::search(rest.begin(), rest.end(), endOfImage, endOfImage + 2) == rest.end();
        }
        at += 2 + length;
    }
    return false; // no scan found: the decoder will say what is wrong
}

} // namespace

bool IsTruncatedPicture(std::span<const uint8_t> file) {
    if (file.size() >= 3 && file[0] == 0xFF && file[1] == 0xD8 && file[2] == 0xFF)
        return IsTruncatedJpeg(file);
    return false;
}

} // namespace lumatrim
