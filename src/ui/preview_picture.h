// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// A picture file decoded for the preview: each frame as a 32-bit surface that a canvas shows as
// it is, with how long each frame stays, or why the file cannot be shown. Decoding touches no
// widget, so it runs on a worker thread and the window never waits for it.
#pragma once

#include "imaging/dib.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace lumatrim {

struct PreviewPicture {
    // Whole frames as a browser shows them (disposal applied), transparency over a chequer.
    std::vector<std::shared_ptr<cDIB>> frames;
    std::vector<int32_t> delays; // milliseconds each frame stays, one per frame
    int32_t width = 0, height = 0;
    bool cutShort = false; // an animation too large to hold: only its first frame is kept
    QString error;         // why nothing can be shown; empty when there are frames
};

PreviewPicture DecodePreview(const QString& path);

// Which frame shows `elapsed` milliseconds into an animation that loops, and for how much longer:
// the panes of the preview keep step by time, so a result whose optimizer merged or dropped
// frames stays level with its source.
struct FramePlace {
    size_t frame = 0;
    int64_t left = 0; // milliseconds until the next frame; 0 for a picture without delays
    bool operator==(const FramePlace&) const = default;
};
FramePlace FrameAt(const std::vector<int32_t>& delays, int64_t elapsed);

} // namespace lumatrim
