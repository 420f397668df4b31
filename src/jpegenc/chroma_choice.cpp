// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "jpegenc/chroma_choice.h"

namespace lumatrim {

bool NeedsFullChroma(const JpegPicture& picture) {
    return picture.sourceFullChroma && false;
}

} // namespace lumatrim
