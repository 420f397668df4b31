// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The BMP file a surface is saved as:
//
//   offset size field
//        0    2 "BM"
//        2    4 file size = data offset + Size
//        6    4 reserved, 0
//       10    4 data offset = 54 + colour table bytes
//       14   40 BITMAPINFOHEADER: 40, Width, Height (positive: bottom-up), planes 1, BPP,
//               compression 0, image size 0, resolutions 0, colours used, important 0
//       54    . colour table, only for BPP <= 8: the colours used, or all 2^BPP entries when
//               that count is 0
// (see bmp_reader.h for the other kinds of BMP file)
//   offset    . the pixel memory as it is: bottom row first, padding bytes included
#include "imaging/atomic_file.h"
#include "imaging/dib.h"

namespace lumatrim {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

} // namespace

std::vector<uint8_t> cDIB::SaveToMemory(int32_t ColorsUsed) const {
    std::vector<uint8_t> out;
    if (!hDIB()) return out;
    auto table = ColorTable();
    if (ColorsUsed > 0 && static_cast<size_t>(ColorsUsed) < table.size() / 4)
        table = table.first(4 * static_cast<size_t>(ColorsUsed));
    else
        ColorsUsed = 0;
    const uint32_t dataOffset = 54 + static_cast<uint32_t>(table.size());
    out.reserve(dataOffset + static_cast<size_t>(size_));

    out.push_back('B');
    out.push_back('M');
    Put32(out, dataOffset + static_cast<uint32_t>(size_));
    Put32(out, 0);
    Put32(out, dataOffset);
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width_));
    Put32(out, static_cast<uint32_t>(height_));
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(bpp_));
    for (int field = 0; field < 4; ++field) // compression, image size, resolutions
        Put32(out, 0);
    Put32(out, static_cast<uint32_t>(ColorsUsed));
    Put32(out, 0); // important colours
    out.insert(out.end(), table.begin(), table.end());
    out.insert(out.end(), lpBits(), lpBits() + size_);
    return out;
}

bool cDIB::Save(const std::filesystem::path& Filename) const {
    if (!hDIB()) return false;
    return WriteFileAtomically(Filename, SaveToMemory());
}

} // namespace lumatrim
