// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/form1.h"

#include "support/test_support.h"
#include "ui/command_button.h"
#include "ui/image_file_list.h"
#include "ui/uc_canvas.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <pwd.h>
#include <tuple>
#include <unistd.h>

// Readable failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace lumatrim {
namespace {

namespace fs = std::filesystem;

using Shown = std::tuple<QString, QString, MessageIcon>; // prompt, title, icon
const Shown kDone{"Done.", "Trimora", MessageIcon::None};

// Whether `target` welcomed the drag (else the desktop shows the no-drop pointer); a welcomed
// drag is then dropped.
bool Drop(QWidget* target, QMimeData* data) {
    QDragEnterEvent enter({5, 5}, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    if (enter.isAccepted()) QApplication::sendEvent(target, &drop);
    return enter.isAccepted();
}

QPoint ItemCentre(const Form1& window, int index) { // 1-based
    return window.ListView1->visualItemRect(window.ListView1->topLevelItem(index - 1)).center();
}

// Permission bits do not bind root: as root, the test runs as "nobody" while this lives.
class UnprivilegedScope {
public:
    UnprivilegedScope() {
        const passwd* nobody = ::geteuid() == 0 ? ::getpwnam("nobody") : nullptr;
        switched_ = nobody && ::setegid(nobody->pw_gid) == 0 && ::seteuid(nobody->pw_uid) == 0;
    }
    ~UnprivilegedScope() {
        if (switched_ && ::seteuid(0) == 0) (void)::setegid(0);
    }

private:
    bool switched_ = false;
};

// A window whose dialogs answer from the test and whose message boxes are recorded.
class Form1Test : public ::testing::Test {
protected:
    Form1Test() : window(appFolder.path().string(), ScriptedPrompts()) {}

    Form1Prompts ScriptedPrompts() {
        return {[this](QWidget*) { return chosenFiles; }, [this](QWidget*) { return extension; },
                [this](QWidget*) { return folder; },
                [this](QWidget*, const QString& prompt, const QString& title, MessageIcon icon) {
                    messages.emplace_back(prompt, title, icon);
                }};
    }

    QStringList AddFiles(const std::vector<std::string>& names) {
        chosenFiles.clear();
        for (const std::string& name : names) {
            test::WriteBytes(files / name, {0x89, 'P', 'N', 'G'});
            chosenFiles << QString::fromStdString((files / name).string());
        }
        QTest::mouseClick(window.Check1, Qt::LeftButton);
        return chosenFiles;
    }

    void AddFolderTree(const QString& typed) {
        extension = typed;
        folder = QString::fromStdString(files.path().string());
        QTest::mouseClick(window.Check3, Qt::LeftButton);
    }

    // An optimizer slow enough for the test to act while the run waits for it.
    void SlowOptimizer() {
        std::ofstream(appFolder / "optipng") << "#!/bin/sh\nsleep 0.3\n";
        fs::permissions(appFolder / "optipng", fs::perms::owner_all);
    }

    test::TempDir appFolder, files;
    QStringList chosenFiles;
    QString extension, folder;
    std::vector<Shown> messages;
    Form1 window;
};

TEST_F(Form1Test, LaysOutTheControlsFromTwips) {
    EXPECT_EQ(window.size(), QSize(441, 329));
    const std::pair<QWidget*, QRect> placed[] = {
        {window.ListView1, {8, 8, 425, 121}},      {window.Check1, {8, 136, 137, 89}},
        {window.Check3, {152, 136, 137, 89}},      {window.Check2, {296, 136, 137, 89}},
        {window.Frame1, {9, 232, 424, 55}},        {window.Slider1, {3, 15, 416, 33}},
        {window.ProgressBar1, {9, 296, 425, 25}},  {window.Creator, {447, 9, 17, 17}},
        {window.ucCanvasSrc, {495, 18, 127, 106}}, {window.ucCanvasTrg, {495, 138, 127, 106}},
    };
    for (const auto& [widget, geometry] : placed)
        EXPECT_EQ(widget->geometry(), geometry) << widget->metaObject()->className();
    EXPECT_EQ(std::tuple(window.Slider1->minimum(), window.Slider1->maximum(), window.Quality()),
              std::tuple(1, 100, 85));
}

TEST_F(Form1Test, AddsTheDialogsFilesInItsOrder) {
    const QStringList paths = AddFiles({"c.png", "a.jpg", "b.gif"});
    AddFiles({}); // cancelled
    EXPECT_EQ(window.ListView1->ItemTexts(), paths);
}

// Links to folders are not followed, so loops end; the window stays responsive meanwhile.
TEST_F(Form1Test, AddsAFolderTreeShallowestFirstWithoutHiddenFoldersOrTildeFiles) {
    fs::create_directories(files / "old/deep");
    fs::create_directories(files / ".cache");
    for (const char* name : {"x.gif", "old/y.GIF", "old/.d.gif", "old/deep/z.gif", "~tmp.gif",
                             "temp~.gif", ".cache/c.gif", "old/n.png"})
        test::WriteBytes(files / name, {1});
    fs::create_directory_symlink(files.path(), files / "old/loop");
    fs::create_directory_symlink(files / "old", files / "link");
    bool serviced = false;
    QTimer::singleShot(0, &window,
                       [&] { serviced = window.CurrentPointer() != MousePointer::Default; });
    AddFolderTree("gif");
    EXPECT_TRUE(serviced);
    EXPECT_EQ(window.ListView1->ItemTexts(),
              (QStringList{folder + "/temp~.gif", folder + "/x.gif", folder + "/old/.d.gif",
                           folder + "/old/y.GIF", folder + "/old/deep/z.gif"}));
    EXPECT_EQ(window.CurrentPointer(), MousePointer::Default);
    AddFolderTree("*"); // every file, whatever its extension, but no folders
    EXPECT_EQ(window.ListView1->ItemCount(), 5 + 6);
    AddFolderTree(""); // cancelled prompt
    extension = "gif";
    folder.clear(); // cancelled picker
    QTest::mouseClick(window.Check3, Qt::LeftButton);
    EXPECT_EQ(window.ListView1->ItemCount(), 11);
}

TEST_F(Form1Test, AddsAFolderTreePassingOverUnreadableFolders) {
    fs::create_directories(files / "locked");
    fs::create_directories(files / "next/deeper"); // the walk must go on past "locked"
    for (const char* name : {"a.gif", "locked/b.gif", "next/deeper/d.gif"})
        test::WriteBytes(files / name, {1});
    fs::permissions(files / "locked", fs::perms::none);
    fs::permissions(files.path(), fs::perms::all); // scratch folders are private to their maker
    const UnprivilegedScope unprivileged;
    if (::faccessat(AT_FDCWD, (files / "locked").c_str(), R_OK, AT_EACCESS) == 0)
        GTEST_SKIP() << "permissions do not apply";
    AddFolderTree("gif");
    EXPECT_EQ(window.ListView1->ItemTexts(),
              (QStringList{folder + "/a.gif", folder + "/next/deeper/d.gif"}));
}

TEST_F(Form1Test, AcceptsDroppedFilesButNotText) {
    QMimeData urls, text;
    urls.setUrls({QUrl::fromLocalFile("/web/a.jpg"), QUrl::fromLocalFile("/web/b c.png")});
    text.setText("/web/a.jpg");
    QWidget* target = window.ListView1->viewport();
    EXPECT_TRUE(Drop(target, &urls));
    EXPECT_FALSE(Drop(target, &text));
    EXPECT_EQ(window.ListView1->ItemTexts(), (QStringList{"/web/a.jpg", "/web/b c.png"}));
}

TEST_F(Form1Test, DoubleClickRemovesTheSelectedItemOnly) {
    window.show();
    const QStringList paths = AddFiles({"a.png", "b.png", "c.png"});
    QWidget* viewport = window.ListView1->viewport();
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, ItemCentre(window, 2));
    window.ListView1->clearSelection();
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, QPoint(5, viewport->height() - 2));
    EXPECT_EQ(window.ListView1->ItemTexts(), (QStringList{paths[0], paths[2]}));
}

TEST_F(Form1Test, DraggingCarriesAnItemPastItsNeighbours) {
    window.show();
    const QStringList p = AddFiles({"a.png", "b.png", "c.png", "d.png"});
    QWidget* viewport = window.ListView1->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, ItemCentre(window, 2));
    QTest::mouseMove(viewport, ItemCentre(window, 3));
    QTest::mouseMove(viewport, ItemCentre(window, 4));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, ItemCentre(window, 4));
    QTest::mouseMove(viewport, ItemCentre(window, 1)); // button up: no reordering
    EXPECT_EQ(window.ListView1->ItemTexts(), (QStringList{p[0], p[2], p[3], p[1]}));
    EXPECT_EQ(window.ListView1->currentItem(), window.ListView1->topLevelItem(3));
    EXPECT_EQ(viewport->cursor().shape(), Qt::ArrowCursor);
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

// One press, one run: items of no known type are passed over and a missing one is reported
// without ending the run.
TEST_F(Form1Test, EachPressRunsOnceWithProgressPerItemFailuresShownAndDone) {
    AddFiles({"1.txt", "2.txt", "gone.png", "4.txt"});
    fs::remove(files / "gone.png");
    std::vector<int> values;
    QObject::connect(window.ProgressBar1, &QProgressBar::valueChanged,
                     [&](int value) { values.push_back(value); });
    QTest::mouseClick(window.Check2, Qt::LeftButton);
    EXPECT_EQ(values, (std::vector<int>{25, 50, 75, 100, 0}));
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(std::get<2>(messages[0]), MessageIcon::Exclamation);
    EXPECT_TRUE(std::get<0>(messages[0]).endsWith("gone.png"));
    EXPECT_EQ(messages[1], kDone);
    EXPECT_EQ(window.CurrentPointer(), MousePointer::Default);
    EXPECT_FALSE(window.Check2->isChecked()); // or the next press would only set it back
}

// While the optimizer runs the window services events: a second press is ignored, and items
// removed meanwhile end the run early instead of crashing it.
TEST_F(Form1Test, PressesAndRemovalsDuringARunAreSafe) {
    SlowOptimizer();
    AddFiles({"1.png", "2.png", "3.png"});
    int extraPresses = 0;
    QTimer::singleShot(0, &window, [&] {
        extraPresses += window.IsRunning();
        QTest::mouseClick(window.Check2, Qt::LeftButton);
        delete window.ListView1->topLevelItem(2);
        delete window.ListView1->topLevelItem(1);
    });
    QTest::mouseClick(window.Check2, Qt::LeftButton);
    EXPECT_EQ(extraPresses, 1);
    EXPECT_EQ(messages, std::vector<Shown>{kDone});
    EXPECT_TRUE(fs::exists(files / "1_reduced.png"));
    EXPECT_FALSE(fs::exists(files / "2_reduced.png"));
}

TEST_F(Form1Test, ClosingDuringARunEndsItAfterTheCurrentItem) {
    SlowOptimizer();
    AddFiles({"1.png", "2.png"});
    window.show();
    QTimer::singleShot(0, &window, [&] { window.close(); });
    QTest::mouseClick(window.Check2, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(fs::exists(files / "2_reduced.png"));
}

} // namespace
} // namespace lumatrim
