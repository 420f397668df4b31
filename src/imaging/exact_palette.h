// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// A 32-bit picture of at most 256 colours as the 8-bit picture that holds exactly those
// colours: the same pixels, with no palette search and no dithering.
#pragma once

#include <cstdint>

namespace lumatrim {

class cDIB;

// Recreates Target as the 8-bit copy of Source whose colour table begins with Source's colours
// in the order they first appear in memory (the rest of the table zero), and returns how many
// there are (1 to 256). Returns 0, with Target empty, when Source has more than 256 colours, is
// not a 32-bit picture, is Target itself, or Target cannot be created. The fourth byte of a
// 32-bit pixel is not part of its colour.
int32_t CopyToExact8bpp(const cDIB& Source, cDIB& Target);

} // namespace lumatrim
