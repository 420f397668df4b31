// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/form1_fixture.h"
#include "ui/preview_pane.h"
#include "ui/preview_picture.h"
#include "ui/preview_view.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QPushButton>
#include <QWheelEvent>
#include <set>

namespace lumatrim::test {
namespace {

// What a canvas shows of its picture, as drawn on the screen.
QImage Shown(ucCanvas* canvas) {
    const CanvasRect& at = canvas->Layout().picture;
    return canvas->grab()
        .toImage()
        .convertToFormat(QImage::Format_RGB32)
        .copy(at.x, at.y, at.width, at.height);
}

QString DataPath(const char* name) {
    return QString::fromStdString(DataFile(name).string());
}

QImage Decoded(const QString& path) {
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

class PreviewTest : public Form1Test {
protected:
    QString Copy(const char* fixture, const std::string& name) {
        fs::copy_file(DataFile(fixture), files / name);
        return Path(name);
    }
    bool Settled() {
        return QTest::qWaitFor([&] { return window.Preview->Settled(); }, 10000);
    }
    // The window shows `path` as its one row, reduced, with the result in the preview.
    bool ShownReduced(const QString& path) {
        window.show();
        window.AddPaths({path});
        QTest::mouseClick(window.Check2, Qt::LeftButton);
        return RunEnds() && Settled();
    }
    void Wheel(ucCanvas* canvas, int delta) {
        const QPointF at(canvas->width() / 2.0, canvas->height() / 2.0);
        QWheelEvent wheel(at, canvas->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas, &wheel);
    }
};

// The first file listed is current, so its source shows without a click; after the run the
// row keeps its place and its result appears beside it. A picture that fits is drawn pixel
// for pixel; a failed row shows its message in the pane. +, Ctrl with the wheel, "1:1" and "Fit"
// act on both panes, and dragging one pans both; the next row's pictures start fitted again.
TEST_F(PreviewTest, ShowsTheCurrentRowsSourceThenItsResultAndZoomsBothPanesInStep) {
    const QString photo = Copy("jpeg/hugin-data_help_en_en_120px-flatfield2_munich.jpg", "p.jpg");
    const QString gone = Path("gone.jpg");
    window.show();
    window.AddPaths({photo, Copy("csmash-data_mouse1.jpg", "m.jpg"), gone});
    window.Slider1->setValue(30); // a result that differs from its source
    ASSERT_TRUE(Settled());
    EXPECT_EQ(window.ListView1->CurrentIndex(), 1);
    EXPECT_EQ(Shown(window.ucCanvasSrc), Decoded(photo));
    EXPECT_EQ(window.Preview->SourcePane->Caption()->text(), "Source: 554 bytes, 120 \u00D7 90");
    EXPECT_FALSE(window.Preview->ResultPane->HasPicture());
    EXPECT_FALSE(window.Preview->OpenFolderButton->isEnabled());

    QTest::mouseClick(window.Check2, Qt::LeftButton);
    ASSERT_TRUE(RunEnds());
    ASSERT_TRUE(Settled());
    const QString output = Path("p_reduced.jpg");
    ASSERT_NE(Decoded(output), Decoded(photo));
    EXPECT_EQ(window.ListView1->CurrentIndex(), 1);
    EXPECT_EQ(Shown(window.ucCanvasTrg), Decoded(output));
    EXPECT_EQ(Shown(window.ucCanvasSrc), Decoded(photo));
    const QString word = window.ListView1->topLevelItem(0)->text(1);
    const QString bytes = QLocale(QLocale::English).toString(QFileInfo(output).size());
    EXPECT_TRUE(window.Preview->ResultPane->Caption()->text().startsWith(
        "Result, " + word + ": " + bytes + " bytes, 120 \u00D7 90, "))
        << window.Preview->ResultPane->Caption()->text().toStdString();
    EXPECT_TRUE(window.Preview->ResultPane->Caption()->text().endsWith("% saved"));
    QTest::mouseClick(window.Preview->OpenFolderButton, Qt::LeftButton);
    EXPECT_EQ(openedFolders, QStringList{QFileInfo(output).absolutePath()});

    ucCanvas* source = window.ucCanvasSrc;
    ucCanvas* result = window.ucCanvasTrg;
    const auto zooms = [&] {
        return std::tuple(source->FitMode(), source->Zoom(), result->FitMode(), result->Zoom());
    };
    EXPECT_EQ(zooms(), std::tuple(true, 1, true, 1)); // the picture fits: shown at 100%
    QTest::keyClick(window.ListView1, Qt::Key_Plus);
    EXPECT_EQ(zooms(), std::tuple(false, 2, false, 2));
    Wheel(result, 120);
    EXPECT_EQ(zooms(), std::tuple(false, 4, false, 4));
    ASSERT_GT(source->Layout().scroll.maxX, 0);
    const QPoint middle = source->rect().center();
    QTest::mousePress(source, Qt::LeftButton, {}, middle);
    QTest::mouseMove(source, middle + QPoint(30, 20));
    QTest::mouseRelease(source, Qt::LeftButton, {}, middle + QPoint(30, 20));
    int32_t sx = 0, sy = 0, rx = 0, ry = 0;
    source->GetScrollPos(sx, sy);
    result->GetScrollPos(rx, ry);
    EXPECT_EQ(std::pair(rx, ry), std::pair(sx, sy));
    QTest::keyClick(window.ListView1, Qt::Key_Minus);
    EXPECT_EQ(zooms(), std::tuple(false, 2, false, 2));
    QTest::mouseClick(window.Preview->FitButton, Qt::LeftButton);
    EXPECT_EQ(zooms(), std::tuple(true, 1, true, 1));
    EXPECT_EQ(window.Preview->ZoomLabel->text(), "Fit");
    QTest::mouseClick(window.Preview->ActualSizeButton, Qt::LeftButton);
    EXPECT_EQ(zooms(), std::tuple(false, 1, false, 1));
    QTest::keyClick(window.ListView1, Qt::Key_Down); // another row's picture is fitted
    EXPECT_EQ(window.Preview->Zoom(), std::nullopt);

    QTest::keyClick(window.ListView1, Qt::Key_Down);
    ASSERT_TRUE(Settled());
    EXPECT_EQ(window.Preview->ResultPane->Message()->text(), "Cannot find the file: " + gone);
    EXPECT_TRUE(
        window.Preview->SourcePane->Message()->text().startsWith("Cannot show the picture"));
    EXPECT_FALSE(window.Preview->OpenFolderButton->isEnabled());
}

// Both panes play on one clock: at every moment they show the same picture (the optimizer keeps
// what is shown), and that picture changes as the animation goes on.
TEST_F(PreviewTest, AnAnimatedGifPlaysInBothPanesInStep) {
    ASSERT_TRUE(ShownReduced(Copy("gif/deluge-web_grid-loading.gif", "g.gif")));
    ASSERT_TRUE(window.Preview->ResultPane->HasPicture());
    EXPECT_EQ(window.Preview->SourcePane->Picture()->frames.size(), 8u);
    std::set<size_t> framesSeen;
    QElapsedTimer playing;
    playing.start();
    while (playing.elapsed() < 1000) {
        QTest::qWait(30);
        EXPECT_EQ(Shown(window.ucCanvasSrc), Shown(window.ucCanvasTrg));
        framesSeen.insert(window.Preview->SourcePane->ShownFrame());
    }
    EXPECT_GE(framesSeen.size(), 4u);
}

// The animation loops; a frame lasts from its start up to, not including, the next one's.
TEST(PreviewPictureTest, FrameAtFollowsTheDelaysAndLoops) {
    const std::vector<int32_t> delays{100, 20, 50};
    const std::pair<int64_t, FramePlace> cases[] = {
        {0, {0, 100}},  {99, {0, 1}},  {100, {1, 20}},  {119, {1, 1}},
        {120, {2, 50}}, {169, {2, 1}}, {170, {0, 100}}, {1700 + 120, {2, 50}}};
    for (const auto& [elapsed, place] : cases)
        EXPECT_EQ(FrameAt(delays, elapsed), place) << elapsed;
    EXPECT_EQ(FrameAt({}, 500), FramePlace{});
}

// Delays as browsers count them (0 or 1 hundredths last a tenth of a second), a still picture as
// one frame, and a file that is no picture as the reader's reason.
TEST(PreviewPictureTest, DecodesFramesWithTheirDelaysOrSaysWhyNot) {
    const PreviewPicture zeroDelays =
        DecodePreview(DataPath("gif/gdk-pixbuf-tests_high-color.gif"));
    EXPECT_EQ(zeroDelays.delays, std::vector<int32_t>(4, 100));
    EXPECT_EQ(std::pair(zeroDelays.width, zeroDelays.height), std::pair(32, 32));
    const PreviewPicture still = DecodePreview(DataPath("csmash-data_mouse1.jpg"));
    EXPECT_EQ(still.frames.size(), 1u);
    EXPECT_EQ(still.frames[0]->BPP(), 32);
    EXPECT_TRUE(still.error.isEmpty());
    const PreviewPicture none = DecodePreview(DataPath("LICENSES.tsv"));
    EXPECT_TRUE(none.frames.empty());
    EXPECT_TRUE(none.error.startsWith("Cannot show the picture: ")) << none.error.toStdString();
}

} // namespace
} // namespace lumatrim::test
