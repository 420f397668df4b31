// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/form1_fixture.h"

#include "ui/preview_pane.h"
#include "ui/preview_view.h"
#include "ui/run_options.h"

#include <QCheckBox>
#include <QScreen>
#include <QSplitter>

namespace lumatrim::test {
namespace {

// The window opens large enough for a typical path and every column where the screen allows,
// never larger than the screen. The list and the preview share the room above the controls,
// which stay apart and keep their heights as the window grows.
TEST_F(Form1Test, OpensAsLargeAsTheScreenAllowsWithTheListBesideThePreview) {
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    EXPECT_EQ(window.size(), window.size().expandedTo(QSize(960, 640).boundedTo(screen)));
    EXPECT_EQ(window.size(), window.size().boundedTo(screen));
    window.show();
    const std::vector<QWidget*> controls = {window.Splitter, window.Check1,       window.Check3,
                                            window.Check2,   window.Frame1,       window.LossyCheck,
                                            window.Options,  window.ProgressBar1, window.RunTotal};
    const auto placed = [&] {
        std::vector<QRect> rects;
        for (const QWidget* control : controls) {
            EXPECT_TRUE(window.rect().contains(control->geometry())) << rects.size();
            for (const QRect& other : rects)
                EXPECT_FALSE(other.intersects(control->geometry())) << rects.size();
            rects.push_back(control->geometry());
        }
        return rects;
    };
    const std::vector<QRect> before = placed();
    window.resize(window.size() + QSize(200, 100));
    const std::vector<QRect> after = placed();
    EXPECT_EQ(after[0].size(), before[0].size() + QSize(200, 100));
    for (size_t i = 1; i < controls.size(); ++i)
        EXPECT_EQ(after[i].height(), before[i].height()) << i;
    EXPECT_EQ(window.Splitter->widget(0), window.ListView1);
    EXPECT_EQ(window.Splitter->widget(1), window.Preview);
    const QWidget* source = window.Preview->SourcePane->Body();
    const QWidget* result = window.Preview->ResultPane->Body();
    EXPECT_TRUE(source->isVisible() && result->isVisible());
    EXPECT_EQ(source->height(), result->height());
    EXPECT_LE(std::abs(source->width() - result->width()), 1);        // an odd width's spare pixel
    EXPECT_LT(source->geometry().right(), result->geometry().left()); // source left, result right
    EXPECT_TRUE(window.Creator->isHidden());
    EXPECT_EQ(std::tuple(window.Slider1->minimum(), window.Slider1->maximum(), window.Quality()),
              std::tuple(1, 100, 85));
    EXPECT_EQ(window.QualityValue->text(), "85");
    window.Slider1->triggerAction(QAbstractSlider::SliderPageStepSub);
    QTest::keyClick(window.Slider1, Qt::Key_Left);
    EXPECT_EQ(std::pair(window.QualityValue->text(), window.Quality()),
              std::pair(QString("79"), 79));
}

// The typed extension picks files in any case; a folder that cannot be read is passed over; the
// window stays responsive meanwhile. What the walk itself leaves out (hidden folders, links to
// folders, "~" files, our outputs) is checked in tests/app/batch_test.cpp.
TEST_F(Form1Test, AddsAFolderTreeByExtensionPassingOverUnreadableFolders) {
    for (const char* name : {"x.gif", "old/y.GIF", "old/n.png", "locked/b.gif"})
        Write(name);
    fs::permissions(files / "locked", fs::perms::none);
    fs::permissions(files.path(), fs::perms::all); // scratch folders are private to their maker
    const UnprivilegedScope unprivileged;
    const bool readable = ::faccessat(AT_FDCWD, (files / "locked").c_str(), R_OK, AT_EACCESS) == 0;
    bool serviced = false;
    QTimer::singleShot(0, &window,
                       [&] { serviced = window.CurrentPointer() != MousePointer::Default; });
    AddFolderTree(".gif");
    EXPECT_TRUE(serviced);
    QStringList found{folder + "/x.gif", folder + "/old/y.GIF"};
    if (readable) found.insert(1, folder + "/locked/b.gif"); // permissions do not apply here
    EXPECT_EQ(window.ListView1->ItemTexts(), found);
    EXPECT_EQ(window.CurrentPointer(), MousePointer::Default);
    AddFolderTree("*"); // every file, whatever its extension, but no folders
    const int count = 2 + 3 + 2 * readable;
    EXPECT_EQ(window.ListView1->ItemCount(), count);
    EXPECT_TRUE(messages.empty());
    AddFolderTree("*.tif");
    EXPECT_EQ(messages, (std::vector<Shown>{{"No file in " + folder +
                                                 " or its subfolders has the extension \"tif\".",
                                             "Trimora", MessageIcon::None}}));
    AddFolderTree(""); // cancelled prompt
    extension = "gif";
    folder.clear(); // cancelled picker
    QTest::mouseClick(window.Check3, Qt::LeftButton);
    EXPECT_EQ(window.ListView1->ItemCount(), count);
}

// Dropped folders and those named on the command line give the files of their trees that have
// a route, as the folder walk finds them.
TEST_F(Form1Test, TakesDroppedOrNamedFilesAndFoldersButNotText) {
    for (const char* name : {"x.gif", "x_reduced.gif", "notes.txt", "sub/y.png"})
        Write(name);
    QMimeData urls, text;
    urls.setUrls({QUrl::fromLocalFile("/web/a.jpg"), QUrl::fromLocalFile(Path("x_reduced.gif")),
                  QUrl::fromLocalFile(files.path().string().c_str())});
    text.setText("/web/b.jpg");
    QWidget* target = window.ListView1->viewport();
    EXPECT_TRUE(Drop(target, &urls));
    EXPECT_FALSE(Drop(target, &text));
    QCoreApplication::processEvents(); // the files come in after the drop
    const QStringList fromFolder{Path("x.gif"), Path("sub/y.png")};
    EXPECT_EQ(window.ListView1->ItemTexts(), QStringList{"/web/a.jpg"} + fromFolder);

    window.ListView1->clear();
    const fs::path previous = fs::current_path();
    fs::current_path(files.path());
    window.AddPaths({"notes.txt", QString::fromStdString(files.path().string())});
    fs::current_path(previous);
    EXPECT_EQ(window.ListView1->ItemTexts(), QStringList{Path("notes.txt")} + fromFolder);
}

// The dialog's files come in its order. A double click removes the item under it (none where
// there is none); a drag carries an item past its neighbours; Delete removes the selected
// items, Enter presses the focused button, and every control explains itself.
TEST_F(Form1Test, EditsTheListByMouseAndKeyboardAndExplainsEveryControl) {
    window.show();
    const QStringList p = AddFiles({"c.png", "a.png", "b.png", "d.png", "e.png"});
    AddFiles({}); // cancelled
    EXPECT_EQ(window.ListView1->ItemTexts(), p);
    QWidget* viewport = window.ListView1->viewport();
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, ItemCentre(window, 2));
    window.ListView1->clearSelection();
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, QPoint(5, viewport->height() - 2));
    EXPECT_EQ(window.ListView1->ItemTexts(), (QStringList{p[0], p[2], p[3], p[4]}));
    QTest::mousePress(viewport, Qt::LeftButton, {}, ItemCentre(window, 2));
    QTest::mouseMove(viewport, ItemCentre(window, 3));
    QTest::mouseMove(viewport, ItemCentre(window, 4));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, ItemCentre(window, 4));
    QTest::mouseMove(viewport, ItemCentre(window, 1)); // button up: no reordering
    EXPECT_EQ(window.ListView1->ItemTexts(), (QStringList{p[0], p[3], p[4], p[2]}));
    EXPECT_EQ(window.ListView1->currentItem(), window.ListView1->topLevelItem(3));
    EXPECT_EQ(viewport->cursor().shape(), Qt::ArrowCursor);

    window.ListView1->clearSelection();
    window.ListView1->topLevelItem(0)->setSelected(true);
    window.ListView1->topLevelItem(2)->setSelected(true);
    QTest::keyClick(window.ListView1, Qt::Key_Delete);
    EXPECT_EQ(window.ListView1->ItemTexts(), (QStringList{p[3], p[2]}));
    chosenFiles = {"/web/d.png"};
    QTest::keyClick(window.Check1, Qt::Key_Return);
    EXPECT_EQ(window.ListView1->ItemTexts(), (QStringList{p[3], p[2], "/web/d.png"}));
    for (const QWidget* control : std::initializer_list<const QWidget*>{
             window.ListView1, window.Check1, window.Check3, window.Check2, window.Slider1,
             window.QualityValue, window.ProgressBar1, window.RunTotal})
        EXPECT_FALSE(control->toolTip().isEmpty()) << control->metaObject()->className();
}

// The buttons' pointer and the one shown while an item is held, as (shape, hotspot).
std::vector<std::pair<Qt::CursorShape, QPoint>> PointersOf(Form1& window) {
    std::vector<std::pair<Qt::CursorShape, QPoint>> pointers;
    for (const QWidget* button : {window.Check1, window.Check3, window.Check2})
        pointers.emplace_back(button->cursor().shape(), button->cursor().hotSpot());
    window.ListView1->AddItem("/web/a.jpg");
    window.show();
    QWidget* viewport = window.ListView1->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, ItemCentre(window, 1));
    pointers.emplace_back(viewport->cursor().shape(), viewport->cursor().hotSpot());
    QTest::mouseRelease(viewport, Qt::LeftButton);
    return pointers;
}

TEST_F(Form1Test, PointersComeFromTheApplicationFolderOrFallBack) {
    const std::pair hand{Qt::PointingHandCursor, QPoint()};
    EXPECT_EQ(PointersOf(window), (std::vector{hand, hand, hand, {Qt::DragMoveCursor, QPoint()}}));
    for (const char* name : {"HAND-M.CUR", "drag.ico"})
        fs::copy_file(fs::path(LUMATRIM_RESOURCES) / name, appFolder / name);
    Form1 withFiles(appFolder.path().string(), ScriptedPrompts());
    const std::pair shipped{Qt::BitmapCursor, QPoint(7, 1)};
    EXPECT_EQ(PointersOf(withFiles),
              (std::vector{shipped, shipped, shipped, {Qt::BitmapCursor, QPoint(16, 16)}}));
}

// A missing item is reported without ending the run, and its box can silence the run's further
// failures (the next run asks again); a failed row has its message as its tip.
TEST_F(Form1Test, EachRunShowsProgressOutcomesAFailureTheTotalAndDone) {
    Optimizer();
    silenceFailures = true;
    std::vector<int> values;
    QObject::connect(window.ProgressBar1, &QProgressBar::valueChanged,
                     [&](int value) { values.push_back(value); });
    const QString gone = Path("gone.png");
    Reduce({Write("a.png"), Write("big.png", "\x89PNGGROWTH"), gone, Write("notes.txt", "notes"),
            Path("gone2.png")});
    ASSERT_TRUE(RunEnds());
    EXPECT_EQ(values, (std::vector<int>{20, 40, 60, 80, 100, 0}));
    const QString missing = "Cannot find the file: " + gone;
    EXPECT_EQ(messages,
              (std::vector<Shown>{{missing, "Error on image", MessageIcon::Exclamation}, kDone}));
    EXPECT_EQ(Column(1), (QStringList{"reduced", "copy", "failed", "skipped", "failed"}));
    EXPECT_EQ(Column(2), (QStringList{"11 B", "10 B", "-", "5 B", "-"}));
    EXPECT_EQ(Column(3), (QStringList{"6 B", "10 B", "-", "-", "-"}));
    EXPECT_EQ(Column(4), (QStringList{"45.5%", "0.0%", "-", "-", "-"}));
    EXPECT_EQ(window.ListView1->topLevelItem(2)->toolTip(0), missing);
    EXPECT_EQ(window.ListView1->topLevelItem(0)->toolTip(0), QString());
    EXPECT_EQ(window.RunTotal->text(), "5 files: 21 B to 16 B, 24% saved, 2 failed, 1 skipped");
    EXPECT_EQ(window.CurrentPointer(), MousePointer::Default);
    EXPECT_FALSE(window.Check2->isChecked()); // or the next press would only set it back
    messages.clear();
    QTest::mouseClick(window.Check2, Qt::LeftButton);
    ASSERT_TRUE(RunEnds());
    EXPECT_EQ(messages.size(), 2u);
}

// The run works off the window's thread: rows fill in as their items end while the window goes
// on answering, and nothing that changes the run can be touched until it ends.
TEST_F(Form1Test, NothingChangesUnderARunThatLeavesTheWindowFree) {
    Optimizer();
    Reduce({Write("a.png"), Write("w.png", "\x89PNGWAIT-source"), Write("b.png")});
    ASSERT_TRUE(window.IsRunning());
    EXPECT_TRUE(QTest::qWaitFor([&] { return Column(1)[0] == "reduced"; }));
    EXPECT_EQ(Column(1)[1], QString());
    EXPECT_FALSE(window.Check1->isEnabled() || window.Check3->isEnabled() ||
                 window.Slider1->isEnabled() || window.LossyCheck->isEnabled() ||
                 window.Options->isEnabled());
    EXPECT_EQ(std::pair(window.Check2->text(), window.Check2->isEnabled()),
              std::pair(QString("Stop"), true));
    window.ListView1->topLevelItem(0)->setSelected(true);
    QTest::keyClick(window.ListView1, Qt::Key_Delete);
    QMimeData urls;
    urls.setUrls({QUrl::fromLocalFile("/web/a.jpg")});
    EXPECT_FALSE(Drop(window.ListView1->viewport(), &urls));
    EXPECT_EQ(window.ListView1->ItemCount(), 3);

    test::WriteBytes(appFolder / "go", {});
    ASSERT_TRUE(RunEnds());
    EXPECT_EQ(Column(1), (QStringList{"reduced", "reduced", "reduced"}));
    EXPECT_TRUE(window.Check1->isEnabled() && window.Check3->isEnabled() &&
                window.Slider1->isEnabled() && window.LossyCheck->isEnabled() &&
                window.Options->isEnabled());
    EXPECT_EQ(window.Check2->text(), "Reduce");
    EXPECT_EQ(messages, std::vector{kDone});
}

// Stop, by its button or by Ctrl+R, or closing the window, ends the optimizer at once: its work
// file goes with it, finished outputs stay, the rest is not done, and there is no "Done.". Ctrl+O
// adds files and Ctrl+R presses Reduce; during the run Ctrl+O adds nothing.
TEST_F(Form1Test, StopAndCloseEndTheRunAndItsOptimizerAtOnce) {
    Optimizer();
    enum class Stop { Button, Shortcut, Close };
    for (const Stop stop : {Stop::Button, Stop::Shortcut, Stop::Close}) {
        SCOPED_TRACE(static_cast<int>(stop));
        fs::remove(appFolder / "pid");
        fs::remove(files / "a_reduced.png");
        window.ListView1->clear();
        window.show();
        const QStringList items{Write("a.png"), Write("h.png", "\x89PNGHANG"), Write("c.png")};
        if (stop == Stop::Shortcut) {
            ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
            chosenFiles = items;
            QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
            EXPECT_EQ(window.ListView1->ItemTexts(), items);
            QTest::keyClick(&window, Qt::Key_R, Qt::ControlModifier);
        } else {
            Reduce(items);
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return fs::exists(appFolder / "pid"); }));
        if (stop == Stop::Close) {
            window.close();
            EXPECT_FALSE(window.isVisible());
        } else if (stop == Stop::Shortcut) {
            QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
            EXPECT_EQ(window.ListView1->ItemCount(), 3);
            QTest::keyClick(&window, Qt::Key_R, Qt::ControlModifier);
        } else {
            QTest::mouseClick(window.Check2, Qt::LeftButton);
            EXPECT_FALSE(window.Check2->isEnabled());
        }
        ASSERT_TRUE(RunEnds()); // the optimizer would sleep for 30 s
        EXPECT_EQ(Column(1)[1], "not done");
        EXPECT_FALSE(fs::exists(files / "h_reduced.png"));
        EXPECT_EQ(fs::exists(files / "a_reduced.png"), Column(1)[0] == "reduced");
        EXPECT_NE(::kill(std::stoi(test::ReadText(appFolder / "pid")), 0), 0) << "child left";
        EXPECT_FALSE(fs::exists(test::ReadText(appFolder / "work"))) << "work file left";
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(window.Check2->text(), "Reduce");
    }
}

} // namespace
} // namespace lumatrim::test
