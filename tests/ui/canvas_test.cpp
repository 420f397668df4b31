// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "imaging/errors.h"
#include "ui/canvas_geometry.h"

#include <gtest/gtest.h>

namespace lumatrim {
namespace {

CanvasView View(int32_t clientW, int32_t clientH, int32_t pictureW, int32_t pictureH,
                int32_t zoom = 1) {
    return {clientW, clientH, pictureW, pictureH, zoom, false, {}};
}

// Small pictures are centred, large ones start centred in their scroll range, and a new layout
// keeps the position's share of the range; fit mode keeps the range it had.
TEST(CanvasGeometryTest, LaysOutCentredZoomedScrolledAndFittedPictures) {
    const CanvasView fitted{300, 300, 600, 300, 1, true, {0, 75, 300, 150}};
    const struct {
        const char* name;
        CanvasView view;
        ScrollState previous;
        CanvasRect picture;
        ScrollState scroll;
    } cases[] = {
        {"small", View(300, 200, 100, 80), {}, {100, 60, 100, 80}, {}},
        {"large", View(300, 200, 400, 300), {}, {0, 0, 300, 200}, {50, 50, 100, 100}},
        {"zoomed", View(300, 200, 100, 80, 3), {}, {0, 0, 300, 200}, {0, 20, 0, 40}},
        {"grown", View(350, 250, 400, 300), {3, 6, 10, 10}, {0, 0, 350, 250}, {15, 30, 50, 50}},
        {"none", View(300, 200, 0, 0), {7, 7, 9, 9}, {}, {}},
        {"fit", fitted, {10, 20, 40, 50}, {0, 75, 300, 150}, {10, 20, 40, 50}},
    };
    for (const auto& c : cases) {
        const CanvasLayout layout = LayOutCanvas(c.view, c.previous);
        EXPECT_EQ(layout.picture, c.picture) << c.name;
        EXPECT_EQ(layout.scroll, c.scroll) << c.name;
    }
    EXPECT_THROW(LayOutCanvas(View(10, 10, 70000, 10, 70000), {}), OverflowError);
}

// Partly visible zoomed pixels.
TEST(CanvasGeometryTest, PaintSpansAndPicturePixelsFollowZoomAndScroll) {
    const CanvasView zoomed = View(300, 200, 400, 300, 3);
    CanvasLayout layout = LayOutCanvas(zoomed, {});
    layout.scroll.posX = 7;
    EXPECT_EQ(HorizontalPaintSpan(zoomed, layout), (PaintSpan{-1, 306, 2, 102}));
    EXPECT_EQ(PictureX(zoomed, layout, 0), 2);
    const CanvasView small = View(300, 200, 100, 80);
    EXPECT_EQ(PictureX(small, LayOutCanvas(small, {}), 99), -1); // left of the picture
    EXPECT_EQ(PictureX(View(300, 200, 0, 0), {}, 150), 0);
}

} // namespace
} // namespace lumatrim
