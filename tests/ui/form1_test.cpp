#include "ui/form1.h"

#include "app/recording_host.h"
#include "qt_test_environment.h"
#include "support/test_support.h"
#include "ui/command_button.h"
#include "ui/image_file_list.h"
#include "ui/uc_canvas.h"

#include <QGroupBox>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <gtest/gtest.h>
#include <tuple>

namespace lumatrim {
namespace {

namespace fs = std::filesystem;

using Shown = std::tuple<QString, QString, MessageIcon>; // prompt, title, icon

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
        QStringList paths;
        for (const std::string& name : names) {
            test::WriteBytes(files / name, {0x89, 'P', 'N', 'G'});
            paths << QString::fromStdString((files / name).string());
        }
        chosenFiles = paths;
        QTest::mouseClick(window.Check1, Qt::LeftButton);
        return paths;
    }

    QPoint ItemCentre(int index) { // 1-based
        return window.ListView1->visualItemRect(window.ListView1->topLevelItem(index - 1)).center();
    }

    test::TempDir appFolder;
    test::TempDir files;
    QStringList chosenFiles;
    QString extension;
    QString folder;
    std::vector<Shown> messages;
    Form1 window;
};

TEST_F(Form1Test, LaysOutTheControlsInTwipsAndStartsEmpty) {
    EXPECT_EQ(window.windowTitle(), "Lumatrim");
    EXPECT_EQ(window.size(), QSize(441, 329));
    const std::pair<QWidget*, QRect> placed[] = {
        {window.ListView1, {8, 8, 425, 121}},      {window.Check1, {8, 136, 137, 89}},
        {window.Check3, {152, 136, 137, 89}},      {window.Check2, {296, 136, 137, 89}},
        {window.Frame1, {9, 232, 424, 55}},        {window.Slider1, {3, 15, 416, 33}},
        {window.ProgressBar1, {9, 296, 425, 25}},  {window.Creator, {447, 9, 17, 17}},
        {window.ucCanvasSrc, {495, 18, 127, 106}}, {window.ucCanvasTrg, {495, 138, 127, 106}},
    };
    for (const auto& [widget, geometry] : placed)
        EXPECT_EQ(widget->geometry(), geometry);
    EXPECT_EQ(window.Check1->text(), "Add Image File(s)");
    EXPECT_EQ(window.Check3->text(), "Add All Image File(s) In Folder");
    EXPECT_EQ(window.Check2->text(), "Reduce");
    EXPECT_EQ(window.Frame1->title(), "JPG Quality (only applies to JPG image files)");
    EXPECT_EQ(window.ListView1->headerItem()->text(0), "Image File(s)");
    EXPECT_EQ(window.ListView1->columnWidth(0), 353);
    EXPECT_EQ(window.ListView1->toolTip(), kFileListTip);
    EXPECT_EQ(window.ListView1->ItemCount(), 0);
    EXPECT_EQ(std::tuple(window.Slider1->minimum(), window.Slider1->maximum(),
                         window.Slider1->value(), window.Slider1->pageStep()),
              std::tuple(1, 100, 85, 5));
    EXPECT_EQ(window.ucCanvasSrc->WorkMode(), 1);
    EXPECT_EQ(window.ucCanvasTrg->WorkMode(), 0);
    EXPECT_TRUE(window.Check1->font().bold());
}

TEST_F(Form1Test, EachPressRunsOnceAndLeavesTheButtonUp) {
    QTest::mouseClick(window.Check2, Qt::LeftButton);
    QTest::mouseClick(window.Check2, Qt::LeftButton);
    const Shown empty{"No files added.", "Trimora", MessageIcon::None};
    EXPECT_EQ(messages, (std::vector<Shown>{empty, empty}));
    EXPECT_FALSE(window.Check2->isChecked());
    EXPECT_EQ(window.ProgressBar1->value(), 0);
}

TEST_F(Form1Test, AddsTheDialogsFilesInItsOrder) {
    const QStringList paths = AddFiles({"c.png", "a.jpg", "b.gif"});
    EXPECT_EQ(window.ListView1->ItemTexts(), paths);
    chosenFiles.clear(); // cancelled
    QTest::mouseClick(window.Check1, Qt::LeftButton);
    EXPECT_EQ(window.ListView1->ItemCount(), 3);
    EXPECT_FALSE(window.Check1->isChecked());
}

TEST_F(Form1Test, AddsAFolderTreeShallowestFirstWithoutTildeFiles) {
    fs::create_directories(files / "old/deep");
    fs::create_directories(files / ".cache");
    for (const char* name : {"x.gif", "old/y.GIF", "old/deep/z.gif", "~tmp.gif", "temp~.gif",
                             ".cache/c.gif", "old/n.png"})
        test::WriteBytes(files / name, {1});
    extension = "gif";
    folder = QString::fromStdString(files.path().string());
    QTest::mouseClick(window.Check3, Qt::LeftButton);
    EXPECT_EQ(window.ListView1->ItemTexts(),
              (QStringList{folder + "/temp~.gif", folder + "/x.gif", folder + "/old/y.GIF",
                           folder + "/old/deep/z.gif"}));
    EXPECT_EQ(window.CurrentPointer(), MousePointer::Default);

    extension = "*"; // every file, whatever its extension
    QTest::mouseClick(window.Check3, Qt::LeftButton);
    EXPECT_EQ(window.ListView1->ItemCount(), 4 + 5);
    extension.clear(); // cancelled prompt: nothing more
    QTest::mouseClick(window.Check3, Qt::LeftButton);
    extension = "gif";
    folder.clear(); // cancelled picker
    QTest::mouseClick(window.Check3, Qt::LeftButton);
    EXPECT_EQ(window.ListView1->ItemCount(), 9);
}

TEST_F(Form1Test, AcceptsDroppedFilesOnlyEvenAfterAnItemClick) {
    auto* files = new QMimeData;
    files->setUrls({QUrl::fromLocalFile("/web/a.jpg"), QUrl::fromLocalFile("/web/b c.png")});
    auto* text = new QMimeData;
    text->setText("/web/a.jpg");
    QWidget* target = window.ListView1->viewport();
    EXPECT_TRUE(test::DragAndDrop(target, files, {5, 5}));
    EXPECT_FALSE(test::DragAndDrop(target, text, {5, 5}));
    EXPECT_EQ(window.ListView1->ItemTexts(), (QStringList{"/web/a.jpg", "/web/b c.png"}));
    QTest::mouseClick(target, Qt::LeftButton, {}, ItemCentre(1));
    EXPECT_TRUE(test::DragAndDrop(target, files, {5, 5}));
    EXPECT_EQ(window.ListView1->ItemCount(), 4);
    delete files;
    delete text;
}

TEST_F(Form1Test, DoubleClickRemovesTheSelectedItem) {
    window.show();
    const QStringList paths = AddFiles({"a.png", "b.png", "c.png"});
    QTest::mouseDClick(window.ListView1->viewport(), Qt::LeftButton, {}, ItemCentre(2));
    EXPECT_EQ(window.ListView1->ItemTexts(), (QStringList{paths[0], paths[2]}));
    window.ListView1->clearSelection();
    QTest::mouseDClick(window.ListView1->viewport(), Qt::LeftButton, {},
                       QPoint(5, window.ListView1->viewport()->height() - 2));
    EXPECT_EQ(window.ListView1->ItemCount(), 2);
}

TEST_F(Form1Test, DraggingCarriesAnItemPastItsNeighbours) {
    window.show();
    const QStringList p = AddFiles({"a.png", "b.png", "c.png", "d.png"});
    QWidget* viewport = window.ListView1->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, ItemCentre(2));
    EXPECT_EQ(viewport->cursor().shape(), Qt::DragMoveCursor); // no drag.ico here
    QTest::mouseMove(viewport, ItemCentre(3));
    QTest::mouseMove(viewport, ItemCentre(4));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, ItemCentre(4));
    EXPECT_EQ(window.ListView1->ItemTexts(), (QStringList{p[0], p[2], p[3], p[1]}));
    EXPECT_EQ(window.ListView1->currentItem(), window.ListView1->topLevelItem(3));
    EXPECT_EQ(viewport->cursor().shape(), Qt::ArrowCursor);
    QTest::mouseMove(viewport, ItemCentre(1)); // button up: no reordering
    EXPECT_EQ(window.ListView1->ItemText(1), p[0]);
}

TEST_F(Form1Test, PointersComeFromTheApplicationFolderOrFallBack) {
    for (CommandButton* button : {window.Check1, window.Check2, window.Check3})
        EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor); // no HAND-M.CUR here
    for (const char* name : {"HAND-M.CUR", "drag.ico"})
        fs::copy_file(fs::path(LUMATRIM_RESOURCES) / name, appFolder / name);
    Form1 withPointers(appFolder.path().string(), ScriptedPrompts());
    EXPECT_EQ(withPointers.Check2->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(withPointers.Check2->cursor().hotSpot(), QPoint(7, 1));
    withPointers.ListView1->AddItem("/web/a.jpg");
    withPointers.show();
    QWidget* viewport = withPointers.ListView1->viewport();
    QTest::mousePress(
        viewport, Qt::LeftButton, {},
        withPointers.ListView1->visualItemRect(withPointers.ListView1->topLevelItem(0)).center());
    EXPECT_EQ(viewport->cursor().hotSpot(), QPoint(16, 16)); // drag.ico's
    QTest::mouseRelease(viewport, Qt::LeftButton);
}

TEST_F(Form1Test, ProgressMovesPerItemAndTheRunEndsWithDone) {
    AddFiles({"1.txt", "2.txt", "3.txt", "4.txt"}); // passed over: only the progress moves
    std::vector<int> values;
    QObject::connect(window.ProgressBar1, &QProgressBar::valueChanged,
                     [&](int value) { values.push_back(value); });
    QTest::mouseClick(window.Check2, Qt::LeftButton);
    EXPECT_EQ(values, (std::vector<int>{25, 50, 75, 100, 0}));
    EXPECT_EQ(messages, (std::vector<Shown>{{"Done.", "Trimora", MessageIcon::None}}));
    EXPECT_EQ(window.CurrentPointer(), MousePointer::Default);
}

TEST_F(Form1Test, FailuresAreShownWithAnExclamation) {
    AddFiles({"gone.png"});
    fs::remove(files / "gone.png");
    QTest::mouseClick(window.Check2, Qt::LeftButton);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(std::get<2>(messages[0]), MessageIcon::Exclamation);
    EXPECT_TRUE(std::get<0>(messages[0]).endsWith("gone.png"));
}

// While the optimizer runs the window services events: a second press is ignored, and items
// removed meanwhile end the run early instead of crashing it.
TEST_F(Form1Test, PressesAndRemovalsDuringARunAreSafe) {
    test::WriteScript(appFolder / "optipng", "sleep 0.3");
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
    EXPECT_EQ(messages, (std::vector<Shown>{{"Done.", "Trimora", MessageIcon::None}}));
    EXPECT_TRUE(fs::exists(files / "1_reduced.png"));
    EXPECT_FALSE(fs::exists(files / "2_reduced.png"));
    EXPECT_FALSE(window.Check2->isChecked());
}

TEST_F(Form1Test, ClosingDuringARunEndsItAfterTheCurrentItem) {
    test::WriteScript(appFolder / "optipng", "sleep 0.3");
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
