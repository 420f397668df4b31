// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Feeds arbitrary bytes to the picture loader the BMP route uses, then into a 32-bit
// surface as the BMP route does. Beyond "no crash": a loaded picture must have a valid shape.
#include "app/platform/picture_loader.h"
#include "imaging/dib.h"

#include <cstddef>
#include <cstdint>

namespace {

// The route's own limit is tested elsewhere; fuzzing stays within the malloc limit.
constexpr uint64_t kFuzzMaxPixels = uint64_t{1} << 22;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lumatrim::LoadedPicture picture;
    if (!lumatrim::LoadPictureFromMemory({data, size}, picture, nullptr, kFuzzMaxPixels)) return 0;
    if (!picture.Image.IsValid()) __builtin_trap();
    lumatrim::cDIB surface;
    if (surface.CreateFromStdPicture(&picture.Image, true) &&
        (surface.Width() != picture.Image.Width || surface.Height() != picture.Image.Height))
        __builtin_trap();
    return 0;
}
