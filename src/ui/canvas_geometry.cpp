// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/canvas_geometry.h"

#include "imaging/errors.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lumatrim {

namespace {

int32_t Checked(int64_t value) {
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        throw OverflowError("canvas arithmetic overflows 32 bits");
    return static_cast<int32_t>(value);
}

struct Axis {
    int32_t start = 0, length = 0, maximum = 0;
};

// The zoomed picture fills the client's length when it is longer, and is centred when shorter.
Axis LayOutAxis(int32_t clientLength, int32_t pictureLength, int32_t zoom) {
    const int32_t zoomed = Checked(int64_t{zoom} * pictureLength);
    Axis axis;
    axis.length = clientLength >= zoomed ? zoomed : clientLength;
    axis.maximum = clientLength >= zoomed ? 0 : Checked(int64_t{zoomed} - clientLength);
    axis.start = Checked((int64_t{clientLength} - axis.length) / 2);
    return axis;
}

// Keeps the position's share of the range when the range changes.
int32_t KeptPosition(int32_t previousPosition, int32_t previousMaximum, int32_t maximum) {
    if (previousMaximum == 0) return maximum / 2;
    return Checked(int64_t{previousPosition} * maximum / previousMaximum);
}

PaintSpan SpanOf(bool wholePicture, int32_t start, int32_t length, int32_t position, int32_t zoom,
                 int32_t pictureLength) {
    if (wholePicture) return {start, length, 0, pictureLength};
    // Two more source pixels cover the partly visible ones at both edges.
    const int32_t visible = length / zoom;
    return {Checked(int64_t{start} - position % zoom),
            Checked(int64_t{zoom} * visible + 2 * int64_t{zoom}), position / zoom,
            Checked(int64_t{visible} + 2)};
}

int32_t PictureCoordinate(const CanvasView& view, int32_t start, int32_t length,
                          int32_t pictureLength, int32_t position, int32_t client) {
    if (!view.HasPicture()) return 0;
    if (view.fitMode) {
        if (length == 0) return 0;
        const double scale = static_cast<double>(length) / pictureLength;
        return Checked(static_cast<int64_t>(std::floor((int64_t{client} - start) / scale)));
    }
    const int64_t zoomed = int64_t{client} + position - start;
    return Checked(static_cast<int64_t>(std::floor(static_cast<double>(zoomed) / view.zoom)));
}

} // namespace

CanvasLayout LayOutCanvas(const CanvasView& view, const ScrollState& previous) {
    CanvasLayout layout;
    if (!view.HasPicture()) return layout;
    if (view.fitMode) {
        layout.picture = view.fitted;
        layout.scroll.maxX = previous.maxX;
        layout.scroll.maxY = previous.maxY;
    } else {
        const Axis across = LayOutAxis(view.clientWidth, view.pictureWidth, view.zoom);
        const Axis down = LayOutAxis(view.clientHeight, view.pictureHeight, view.zoom);
        layout.picture = {across.start, down.start, across.length, down.length};
        layout.scroll.maxX = across.maximum;
        layout.scroll.maxY = down.maximum;
    }
    layout.scroll.posX = KeptPosition(previous.posX, previous.maxX, layout.scroll.maxX);
    layout.scroll.posY = KeptPosition(previous.posY, previous.maxY, layout.scroll.maxY);
    return layout;
}

PaintSpan HorizontalPaintSpan(const CanvasView& view, const CanvasLayout& layout) {
    return SpanOf(view.fitMode || layout.scroll.maxX == 0, layout.picture.x, layout.picture.width,
                  layout.scroll.posX, view.zoom, view.pictureWidth);
}

PaintSpan VerticalPaintSpan(const CanvasView& view, const CanvasLayout& layout) {
    return SpanOf(view.fitMode || layout.scroll.maxY == 0, layout.picture.y, layout.picture.height,
                  layout.scroll.posY, view.zoom, view.pictureHeight);
}

int32_t PictureX(const CanvasView& view, const CanvasLayout& layout, int32_t x) {
    return PictureCoordinate(view, layout.picture.x, layout.picture.width, view.pictureWidth,
                             layout.scroll.posX, x);
}

int32_t PictureY(const CanvasView& view, const CanvasLayout& layout, int32_t y) {
    return PictureCoordinate(view, layout.picture.y, layout.picture.height, view.pictureHeight,
                             layout.scroll.posY, y);
}

int32_t PannedPosition(int32_t position, int32_t anchor, int32_t mouse, int32_t maximum) {
    const int64_t moved = int64_t{anchor} - mouse + position;
    return Checked(std::min<int64_t>(std::max<int64_t>(moved, 0), maximum));
}

} // namespace lumatrim
