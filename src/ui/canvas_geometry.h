// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Where a canvas draws its picture: the picture rectangle, the scroll range and position, the
// spans of a paint, and the picture pixel under a client position. Pure arithmetic on 32-bit
// values; a result that would not fit throws OverflowError.
#pragma once

#include <cstdint>

namespace lumatrim {

struct CanvasRect {
    int32_t x = 0, y = 0, width = 0, height = 0;
    bool operator==(const CanvasRect&) const = default;
};

// Scroll positions and maxima, horizontal and vertical, in zoomed picture pixels.
struct ScrollState {
    int32_t posX = 0, posY = 0, maxX = 0, maxY = 0;
    bool operator==(const ScrollState&) const = default;
};

// What a layout works from: the client size, the picture size (0 x 0 for none) and the view.
struct CanvasView {
    int32_t clientWidth = 0, clientHeight = 0;
    int32_t pictureWidth = 0, pictureHeight = 0;
    int32_t zoom = 1;
    bool fitMode = false;
    CanvasRect fitted; // the picture's best fit in the client, centred: used in fit mode
    bool HasPicture() const { return pictureWidth > 0 && pictureHeight > 0; }
};

struct CanvasLayout {
    CanvasRect picture;
    ScrollState scroll;
};

// One axis of a paint: the picture's pixels [source, source + sourceLength) stretched onto the
// client's [target, target + targetLength).
struct PaintSpan {
    int32_t target = 0, targetLength = 0, source = 0, sourceLength = 0;
    bool operator==(const PaintSpan&) const = default;
};

// `previous` is the scroll state of the last layout or drag: a new layout keeps the relative
// position within it, and a newly shown picture starts centred.
CanvasLayout LayOutCanvas(const CanvasView& view, const ScrollState& previous);

PaintSpan HorizontalPaintSpan(const CanvasView& view, const CanvasLayout& layout);
PaintSpan VerticalPaintSpan(const CanvasView& view, const CanvasLayout& layout);

// The picture pixel under client position (x, y); left of or above the picture is negative.
int32_t PictureX(const CanvasView& view, const CanvasLayout& layout, int32_t x);
int32_t PictureY(const CanvasView& view, const CanvasLayout& layout, int32_t y);

// A drag from `anchor` to `mouse` (one axis): the new position, clamped to 0 and `maximum`.
int32_t PannedPosition(int32_t position, int32_t anchor, int32_t mouse, int32_t maximum);

} // namespace lumatrim
