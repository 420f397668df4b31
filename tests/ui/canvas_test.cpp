// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "imaging/errors.h"
#include "ui/canvas_geometry.h"
#include "ui/uc_canvas.h"

#include <QSignalSpy>
#include <QTest>
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

// The widget tests below run at zoom 1; partly visible zoomed pixels are checked here.
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

// A 300 x 200 canvas holding a picture whose left half is red and right half blue.
class CanvasWidgetTest : public ::testing::Test {
protected:
    CanvasWidgetTest() {
        canvas.resize(300, 200);
        canvas.show();
        Show(400, 300);
    }

    void Show(int32_t width, int32_t height) {
        auto surface = std::make_shared<cDIB>();
        surface->Create(width, height, 32);
        surface->Cls(RGB(255, 0, 0));
        cDIB blue;
        blue.Create(width / 2, height, 32);
        blue.Cls(RGB(0, 0, 255));
        blue.Stretch(surface->hDIBDC(), width / 2, 0, width / 2, height);
        canvas.SetDIB(surface);
        canvas.Resize();
    }

    QPoint ScrollPos() const {
        int32_t x = 0, y = 0;
        canvas.GetScrollPos(x, y);
        return {x, y};
    }
    QRgb PixelAt(int x, int y) { return canvas.grab().toImage().pixel(x, y); }
    QRgb Background() const { return canvas.palette().color(QPalette::Dark).rgb(); }

    ucCanvas canvas;
};

TEST_F(CanvasWidgetTest, PaintsTheVisiblePartAndTheBackgroundAround) {
    EXPECT_EQ(PixelAt(149, 100), QColor(Qt::red).rgb()); // scrolled to (50, 50): picture x 199
    EXPECT_EQ(PixelAt(151, 100), QColor(Qt::blue).rgb());
    Show(100, 80);
    EXPECT_EQ(PixelAt(100, 60), QColor(Qt::red).rgb());
    EXPECT_EQ(PixelAt(199, 139), QColor(Qt::blue).rgb());
    EXPECT_EQ(PixelAt(99, 60), Background());
    EXPECT_EQ(PixelAt(150, 140), Background());
    canvas.SetDIB(nullptr); // an empty surface takes its place, drawn as background only
    canvas.Resize();
    EXPECT_EQ(PixelAt(150, 100), Background());
}

TEST_F(CanvasWidgetTest, DraggingPansWithinTheRangeAndReportsScrolls) {
    QSignalSpy scrolls(&canvas, &ucCanvas::Scroll);
    QTest::mousePress(&canvas, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_EQ(canvas.cursor().shape(), Qt::ClosedHandCursor);
    QTest::mouseMove(&canvas, QPoint(80, 90));
    EXPECT_EQ(ScrollPos(), QPoint(70, 60));
    QTest::mouseMove(&canvas, QPoint(1, 1)); // beyond the maximum: stops there
    QTest::mouseMove(&canvas, QPoint(-50, 1));
    EXPECT_EQ(ScrollPos(), QPoint(100, 100));
    EXPECT_EQ(scrolls.count(), 2);               // the last move changed nothing
    QTest::mouseMove(&canvas, QPoint(250, 199)); // below zero: stops there
    EXPECT_EQ(ScrollPos(), QPoint(0, 0));
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, QPoint(250, 199));
    EXPECT_EQ(canvas.cursor().shape(), Qt::OpenHandCursor);
    canvas.SetWorkMode(1); // the press is the caller's to handle: no panning
    QTest::mousePress(&canvas, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(&canvas, QPoint(50, 50));
    EXPECT_EQ(ScrollPos(), QPoint(0, 0));
}

TEST_F(CanvasWidgetTest, MouseEventsReportPicturePixels) {
    QSignalSpy downs(&canvas, &ucCanvas::MouseDown);
    QTest::mousePress(&canvas, Qt::RightButton, Qt::ShiftModifier, QPoint(10, 20));
    ASSERT_EQ(downs.count(), 1);
    const QList<QVariant> down = downs.takeFirst();
    EXPECT_EQ(down[0].value<int16_t>(), 2);  // right button
    EXPECT_EQ(down[1].value<int16_t>(), 1);  // Shift
    EXPECT_EQ(down[2].value<int32_t>(), 60); // scrolled to (50, 50)
    EXPECT_EQ(down[3].value<int32_t>(), 70);
}

} // namespace
} // namespace lumatrim
