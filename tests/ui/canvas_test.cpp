#include "imaging/errors.h"
#include "ui/canvas_geometry.h"
#include "ui/uc_canvas.h"

#include "qt_test_environment.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace lumatrim {
namespace {

CanvasView ViewOf(int32_t clientW, int32_t clientH, int32_t pictureW, int32_t pictureH,
                  int32_t zoom = 1) {
    return {clientW, clientH, pictureW, pictureH, zoom, false, {}};
}

struct LayoutCase {
    const char* name;
    CanvasView view;
    ScrollState previous;
    CanvasRect picture;
    ScrollState scroll;
};

TEST(CanvasGeometryTest, LaysOutCentredZoomedAndScrolledPictures) {
    const LayoutCase cases[] = {
        {"small picture centred", ViewOf(300, 200, 100, 80), {}, {100, 60, 100, 80}, {0, 0, 0, 0}},
        {"large picture starts centred",
         ViewOf(300, 200, 400, 300),
         {},
         {0, 0, 300, 200},
         {50, 50, 100, 100}},
        {"zoom enlarges", ViewOf(300, 200, 100, 80, 3), {}, {0, 0, 300, 200}, {0, 20, 0, 40}},
        {"growing keeps the relative position",
         ViewOf(350, 250, 400, 300),
         {100, 100, 100, 100},
         {0, 0, 350, 250},
         {50, 50, 50, 50}},
        {"no picture", ViewOf(300, 200, 0, 0), {7, 7, 9, 9}, {}, {}},
    };
    for (const LayoutCase& c : cases) {
        const CanvasLayout layout = LayOutCanvas(c.view, c.previous);
        EXPECT_EQ(layout.picture, c.picture) << c.name;
        EXPECT_EQ(layout.scroll, c.scroll) << c.name;
    }
}

TEST(CanvasGeometryTest, FitModeUsesTheFittedRectangleAndKeepsTheScrollRange) {
    CanvasView view = ViewOf(300, 300, 600, 300);
    view.fitMode = true;
    view.fitted = {0, 75, 300, 150};
    const CanvasLayout layout = LayOutCanvas(view, {10, 20, 40, 50});
    EXPECT_EQ(layout.picture, (CanvasRect{0, 75, 300, 150}));
    EXPECT_EQ(layout.scroll, (ScrollState{10, 20, 40, 50}));
    EXPECT_EQ(PictureX(view, layout, 150), 300);
    EXPECT_EQ(PictureY(view, layout, 150), 150);
    EXPECT_EQ(HorizontalPaintSpan(view, layout), (PaintSpan{0, 300, 0, 600}));
}

TEST(CanvasGeometryTest, PaintSpansCoverPartlyVisiblePixels) {
    const CanvasView large = ViewOf(300, 200, 400, 300);
    const CanvasLayout scrolled = LayOutCanvas(large, {});
    EXPECT_EQ(HorizontalPaintSpan(large, scrolled), (PaintSpan{0, 302, 50, 302}));

    const CanvasView zoomed = ViewOf(300, 200, 400, 300, 3);
    CanvasLayout layout = LayOutCanvas(zoomed, {});
    layout.scroll.posX = 7;
    EXPECT_EQ(HorizontalPaintSpan(zoomed, layout), (PaintSpan{-1, 306, 2, 102}));

    const CanvasView small = ViewOf(300, 200, 100, 80);
    EXPECT_EQ(VerticalPaintSpan(small, LayOutCanvas(small, {})), (PaintSpan{60, 80, 0, 80}));
}

TEST(CanvasGeometryTest, ConvertsClientPositionsToPicturePixels) {
    const CanvasView zoomed = ViewOf(300, 200, 100, 80, 3);
    CanvasLayout layout = LayOutCanvas(zoomed, {});
    layout.scroll.posX = 7;
    EXPECT_EQ(PictureX(zoomed, layout, 0), 2);
    EXPECT_EQ(PictureX(zoomed, layout, 5), 4);
    const CanvasView small = ViewOf(300, 200, 100, 80);
    EXPECT_EQ(PictureX(small, LayOutCanvas(small, {}), 99), -1); // left of the picture
    EXPECT_EQ(PictureX(ViewOf(300, 200, 0, 0), {}, 150), 0);
}

TEST(CanvasGeometryTest, PanningClampsToTheRangeAndOverflowIsReported) {
    EXPECT_EQ(PannedPosition(50, 10, 30, 100), 30);
    EXPECT_EQ(PannedPosition(50, 10, 200, 100), 0);
    EXPECT_EQ(PannedPosition(50, 200, 10, 100), 100);
    EXPECT_THROW(LayOutCanvas(ViewOf(10, 10, 70000, 10, 70000), {}), OverflowError);
}

// A canvas holding a picture whose left half is red and right half blue.
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

    QRgb PixelAt(int x, int y) { return canvas.grab().toImage().pixel(x, y); }
    QRgb Background() const { return canvas.palette().color(QPalette::Dark).rgb(); }

    ucCanvas canvas;
};

TEST_F(CanvasWidgetTest, PaintsTheVisiblePartAndTheBackgroundAround) {
    EXPECT_EQ(PixelAt(149, 100), QColor(Qt::red).rgb()); // picture x 199
    EXPECT_EQ(PixelAt(151, 100), QColor(Qt::blue).rgb());
    Show(100, 80);
    EXPECT_EQ(PixelAt(100, 60), QColor(Qt::red).rgb());
    EXPECT_EQ(PixelAt(199, 139), QColor(Qt::blue).rgb());
    EXPECT_EQ(PixelAt(99, 60), Background());
    EXPECT_EQ(PixelAt(150, 140), Background());
}

TEST_F(CanvasWidgetTest, DraggingPansWithinTheRangeAndReportsScrolls) {
    QSignalSpy scrolls(&canvas, &ucCanvas::Scroll);
    QTest::mousePress(&canvas, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_EQ(canvas.cursor().shape(), Qt::ClosedHandCursor);
    QTest::mouseMove(&canvas, QPoint(80, 90));
    int32_t x = 0, y = 0;
    canvas.GetScrollPos(x, y);
    EXPECT_EQ(x, 70);
    EXPECT_EQ(y, 60);
    QTest::mouseMove(&canvas, QPoint(1, 1)); // beyond the edge: stops at the maximum
    QTest::mouseMove(&canvas, QPoint(-50, 1));
    canvas.GetScrollPos(x, y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 100);
    EXPECT_EQ(scrolls.count(), 2); // the last move changed nothing
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, QPoint(-50, 1));
    EXPECT_EQ(canvas.cursor().shape(), Qt::OpenHandCursor);
}

TEST_F(CanvasWidgetTest, MouseEventsReportPicturePixels) {
    QSignalSpy downs(&canvas, &ucCanvas::MouseDown);
    QTest::mousePress(&canvas, Qt::RightButton, Qt::ShiftModifier, QPoint(10, 20));
    ASSERT_EQ(downs.count(), 1);
    const QList<QVariant> down = downs.takeFirst();
    EXPECT_EQ(down[0].value<int16_t>(), 2);
    EXPECT_EQ(down[1].value<int16_t>(), 1);
    EXPECT_EQ(down[2].value<int32_t>(), 60); // scrolled to (50, 50)
    EXPECT_EQ(down[3].value<int32_t>(), 70);
}

TEST_F(CanvasWidgetTest, WorkModeShowsTheUserIconAndStopsPanning) {
    canvas.SetUserIcon(QCursor(Qt::CrossCursor));
    EXPECT_FALSE(canvas.UserIcon()); // panning mode: no pointer of its own yet
    canvas.SetWorkMode(1);
    ASSERT_TRUE(canvas.UserIcon());
    EXPECT_EQ(canvas.UserIcon()->shape(), Qt::CrossCursor);
    QTest::mousePress(&canvas, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(&canvas, QPoint(50, 50));
    int32_t x = 0, y = 0;
    canvas.GetScrollPos(x, y);
    EXPECT_EQ(x, 50);
}

TEST_F(CanvasWidgetTest, ZoomAndScrollPositionAreStoredAsGiven) {
    canvas.SetZoom(0);
    EXPECT_EQ(canvas.Zoom(), 1);
    canvas.SetZoom(-4);
    EXPECT_EQ(canvas.Zoom(), 1);
    canvas.SetScrollPos(500, 500); // beyond the maximum until the next layout
    int32_t x = 0, y = 0;
    canvas.GetScrollPos(x, y);
    EXPECT_EQ(x, 500);
    canvas.resize(350, 250);
    canvas.GetScrollPos(x, y);
    EXPECT_EQ(x, 25); // the layout kept the share of the last layout's position (50 of 100)
}

TEST_F(CanvasWidgetTest, DetachingTheSurfaceLeavesAnEmptyCanvas) {
    canvas.SetDIB(nullptr);
    ASSERT_TRUE(canvas.DIB());
    canvas.Resize();
    EXPECT_EQ(canvas.Layout().picture, CanvasRect{});
    EXPECT_EQ(PixelAt(150, 100), Background());
}

} // namespace
} // namespace lumatrim
