// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/form1.h"

#include "app/batch/batch_driver.h"
#include "app/platform/paths.h"
#include "app/routes/route.h"
#include "imaging/errors.h"
#include "ui/command_button.h"
#include "ui/folder_walk.h"
#include "ui/image_file_list.h"
#include "ui/pointer_file.h"
#include "ui/slider_skin.h"
#include "ui/uc_canvas.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QSlider>
#include <QStyle>
#include <cmath>

namespace lumatrim {

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr uint32_t kWhite = 0xFFFFFF;

// The layout is drawn in twips; at 96 dots per inch 15 of them make a pixel.
void PlaceInTwips(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                        height / kTwipsPerPixel);
}

QIcon StandardIcon(QStyle::StandardPixmap which) {
    return QApplication::style()->standardIcon(which);
}

QFont BoldFont(const QString& family, double points) {
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

Form1::Form1(std::string applicationFolder, Form1Prompts prompts)
    : ListView1(new ImageFileList(this)),
      Check1(new CommandButton(StandardIcon(QStyle::SP_FileIcon), "Add Image File(s)", this)),
      Check3(new CommandButton(StandardIcon(QStyle::SP_DirIcon), "Add All Image File(s) In Folder",
                               this)),
      Check2(new CommandButton(StandardIcon(QStyle::SP_DialogApplyButton), "Reduce", this)),
      Frame1(new QGroupBox("JPG Quality (only applies to JPG image files)", this)),
      Slider1(new QSlider(Qt::Horizontal, Frame1)), ProgressBar1(new QProgressBar(this)),
      Creator(new QLabel(this)), ucCanvasSrc(new ucCanvas(this)), ucCanvasTrg(new ucCanvas(this)),
      applicationFolder_(std::move(applicationFolder)), prompts_(std::move(prompts)) {
    setWindowTitle("Lumatrim");
    PlaceControls();
    StyleControls();
    LoadPointers();
    SetSkinStyle(Slider1, kSkinStyleSolid);
    SetSkinSolidColor(Slider1, kWhite);
    HookSkin(Slider1);
    ucCanvasSrc->SetWorkMode(1);
    Check1->OnPress([this] { AddFiles(); });
    Check3->OnPress([this] { AddFolderTree(); });
    Check2->OnPress([this] { Reduce(); });
}

Form1::~Form1() {
    SetMousePointer(MousePointer::Default);
}

void Form1::PlaceControls() {
    setFixedSize(6615 / kTwipsPerPixel, 4935 / kTwipsPerPixel);
    PlaceInTwips(ListView1, 120, 120, 6375, 1815);
    PlaceInTwips(Check1, 120, 2040, 2055, 1335);
    PlaceInTwips(Check3, 2280, 2040, 2055, 1335);
    PlaceInTwips(Check2, 4440, 2040, 2055, 1335);
    PlaceInTwips(Frame1, 135, 3480, 6360, 825);
    PlaceInTwips(Slider1, 45, 225, 6240, 495);
    PlaceInTwips(ProgressBar1, 135, 4440, 6375, 375);
    // Work controls, outside the client area.
    PlaceInTwips(Creator, 6705, 135, 255, 255);
    PlaceInTwips(ucCanvasSrc, 7425, 270, 1905, 1590);
    PlaceInTwips(ucCanvasTrg, 7425, 2070, 1905, 1590);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void Form1::StyleControls() {
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::Button, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    for (CommandButton* button : {Check1, Check3, Check2})
        button->setFont(BoldFont("Arial", 11.25));
    Frame1->setFont(BoldFont("Tahoma", 9));
    Slider1->setRange(1, 100);
    Slider1->setValue(85);
    Slider1->setPageStep(5);
    Slider1->setSingleStep(1);
    Slider1->setTickPosition(QSlider::TicksBelow);
    Slider1->setTickInterval(5);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    QPalette bar = ProgressBar1->palette();
    bar.setColor(QPalette::Base, Qt::white);
    ProgressBar1->setPalette(bar);
}

void Form1::LoadPointers() {
    const QCursor hand = LoadPointerFile(FromUtf8(PathInFolder(applicationFolder_, "HAND-M.CUR")),
                                         QCursor(Qt::PointingHandCursor));
    for (CommandButton* button : {Check1, Check3, Check2})
        button->setCursor(hand);
    ListView1->SetDragPointer(LoadPointerFile(
        FromUtf8(PathInFolder(applicationFolder_, "drag.ico")), QCursor(Qt::DragMoveCursor)));
}

void Form1::AddFiles() {
    for (const QString& path : prompts_.chooseFiles(this))
        ListView1->AddItem(path);
}

void Form1::AddFolderTree() {
    const QString extension = prompts_.askExtension(this);
    if (extension.isEmpty()) return;
    const QString folder = prompts_.chooseFolder(this);
    if (folder.isEmpty()) return;
    // "*" stands for every file, with an extension or without.
    const QString pattern = extension == "*" ? QString("*") : "*." + extension;
    SetMousePointer(MousePointer::Hourglass);
    QStringList folders{JoinPath(folder, QString())};
    CollectSubfolders(folders, true, [this] { DoEvents(); });
    for (const QString& subfolder : folders)
        for (const QString& name : ListFiles(subfolder, pattern))
            if (!name.startsWith('~')) ListView1->AddItem(JoinPath(subfolder, name));
    SetMousePointer(MousePointer::Default);
}

void Form1::Reduce() {
    if (running_) return; // pressed again while the run waits for an optimizer
    running_ = true;
    try {
        RunBatch(*this, applicationFolder_, workspace_);
    } catch (const std::exception& error) {
        SetMousePointer(MousePointer::Default);
        SetProgress(0.0F);
        ShowMessage(error.what(), std::string(kImageErrorTitle), MessageIcon::Exclamation);
    }
    running_ = false;
    ShowBmpSurfaces();
    if (closeRequested_) close();
}

void Form1::ShowBmpSurfaces() {
    for (auto [canvas, surface] : {std::pair{ucCanvasSrc, workspace_.bmpSource},
                                   std::pair{ucCanvasTrg, workspace_.bmpTarget}}) {
        canvas->SetDIB(surface);
        try {
            canvas->Resize();
        } catch (const OverflowError&) {
            canvas->SetDIB(nullptr); // too large to lay out: shown as empty
            canvas->Resize();
        }
        canvas->Repaint();
    }
}

int32_t Form1::ItemCount() const {
    return closeRequested_ ? 0 : ListView1->ItemCount();
}

std::string Form1::ItemText(int32_t index) const {
    return QFile::encodeName(ListView1->ItemText(index)).toStdString();
}

void Form1::SetProgress(float percent) {
    ProgressBar1->setValue(static_cast<int>(std::lround(percent)));
    ProgressBar1->repaint(); // the run blocks the event loop: show each step now
}

int32_t Form1::Quality() const {
    return Slider1->value();
}

void Form1::ShowMessage(const std::string& prompt, const std::string& title, MessageIcon icon) {
    if (closeRequested_) return;
    const std::string_view shownTitle = DisplayTitle(title);
    prompts_.showMessage(this, FromUtf8(prompt),
                         QString::fromUtf8(shownTitle.data(), shownTitle.size()), icon);
}

void Form1::SetMousePointer(MousePointer pointer) {
    if (pointer == pointer_) return;
    if (pointer == MousePointer::Hourglass)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
    pointer_ = pointer;
}

void Form1::DoEvents() {
    QCoreApplication::processEvents();
}

// A run in progress is ended after its current item, and the window closes then.
void Form1::closeEvent(QCloseEvent* event) {
    if (running_) {
        closeRequested_ = true;
        event->ignore();
        return;
    }
    ucCanvasSrc->SetDIB(nullptr);
    ucCanvasTrg->SetDIB(nullptr);
    event->accept();
}

} // namespace lumatrim
