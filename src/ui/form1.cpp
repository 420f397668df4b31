// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/form1.h"

#include "app/batch/parallel_batch.h"
#include "app/platform/paths.h"
#include "ui/command_button.h"
#include "ui/folder_walk.h"
#include "ui/image_file_list.h"
#include "ui/outcome_text.h"
#include "ui/pointer_file.h"
#include "ui/slider_skin.h"
#include "ui/uc_canvas.h"
#include "ui/window_run.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QSlider>
#include <QStyle>
#include <algorithm>
#include <array>
#include <cmath>

namespace lumatrim {

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr const char* kReduceTip = "Write a smaller copy of each listed file beside it, named "
                                   "NAME_reduced.EXT; the files themselves are not changed";
constexpr const char* kStopTip =
    "Stop the run now: copies already written are kept, files not reached are left as they are";
constexpr const char* kQualityTip =
    "Quality of the reduced JPEG files: lower values give smaller files";

// The layout is drawn in twips; at 96 dots per inch 15 of them make a pixel. Controls follow
// the window as it grows beyond its designed size by `shift` and `grow`, in pixels.
void Place(QWidget* widget, const QRect& twips, QPoint shift = {}, QSize grow = {0, 0}) {
    widget->setGeometry(twips.left() / kTwipsPerPixel + shift.x(),
                        twips.top() / kTwipsPerPixel + shift.y(),
                        twips.width() / kTwipsPerPixel + grow.width(),
                        twips.height() / kTwipsPerPixel + grow.height());
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

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// "gif", ".gif" and "*.gif" all mean "gif"; "*" means every file.
QString PlainExtension(const QString& typed) {
    QString extension = typed.trimmed();
    if (extension.startsWith("*.")) return extension.mid(2);
    if (extension.startsWith('.')) return extension.mid(1);
    return extension;
}

QString NothingFoundText(const QString& extension, const QString& folder) {
    if (extension == "*") return "No file in " + folder + " or its subfolders.";
    return "No file in " + folder + " or its subfolders has the extension \"" + extension + "\".";
}

} // namespace

Form1::Form1(std::string applicationFolder, Form1Prompts prompts)
    : ListView1(new ImageFileList(this)),
      Check1(new CommandButton(StandardIcon(QStyle::SP_FileIcon), "Add Image File(s)", this)),
      Check3(new CommandButton(StandardIcon(QStyle::SP_DirIcon), "Add All Image File(s) In Folder",
                               this)),
      Check2(new CommandButton(StandardIcon(QStyle::SP_DialogApplyButton), "Reduce", this)),
      Frame1(new QGroupBox("JPG Quality (only applies to JPG image files)", this)),
      Slider1(new QSlider(Qt::Horizontal, Frame1)), QualityValue(new QLabel(Frame1)),
      ProgressBar1(new QProgressBar(this)), RunTotal(new QLabel(this)), Creator(new QLabel(this)),
      ucCanvasSrc(new ucCanvas(this)), ucCanvasTrg(new ucCanvas(this)),
      applicationFolder_(std::move(applicationFolder)), prompts_(std::move(prompts)) {
    setWindowTitle("Lumatrim");
    PlaceWindow();
    StyleControls();
    ShowTips();
    LoadPointers();
    SetSkinStyle(Slider1, kSkinStyleSolid);
    SetSkinSolidColor(Slider1, kWhite);
    HookSkin(Slider1);
    ucCanvasSrc->SetWorkMode(1);
    connect(Slider1, &QSlider::valueChanged, QualityValue, qOverload<int>(&QLabel::setNum));
    // After the drop is over, so the desktop is not kept waiting by a folder walk.
    connect(ListView1, &ImageFileList::PathsDropped, this, &Form1::AddPaths, Qt::QueuedConnection);
    Check1->OnPress([this] { AddFiles(); });
    Check3->OnPress([this] { AddFolderTree(); });
    Check2->OnPress([this] { Reduce(); });
}

Form1::~Form1() {
    run_.reset(); // before the widgets its queued calls would reach
    SetMousePointer(MousePointer::Default);
}

void Form1::PlaceControls() {
    const int dx = std::max(0, width() - minimumWidth());
    const int dy = std::max(0, height() - minimumHeight());
    Place(ListView1, {120, 120, 6375, 1815}, {}, {dx, dy});
    const std::array buttons{Check1, Check3, Check2};
    for (int index = 0; index < 3; ++index) { // the commands share the extra width
        const int left = dx * index / 3, right = dx * (index + 1) / 3;
        Place(buttons[index], {120 + 2160 * index, 2040, 2055, 1335}, {left, dy},
              {right - left, 0});
    }
    Place(Frame1, {135, 3480, 6360, 825}, {0, dy}, {dx, 0});
    Place(Slider1, {45, 225, 5655, 495}, {}, {dx, 0});
    Place(QualityValue, {5745, 225, 540, 495}, {dx, 0});
    Place(ProgressBar1, {135, 4440, 6375, 375}, {0, dy}, {dx, 0});
    Place(RunTotal, {135, 4860, 6375, 300}, {0, dy}, {dx, 0});
}

// The designed size is the smallest, so every control keeps room for its text.
void Form1::PlaceWindow() {
    setMinimumSize(6615 / kTwipsPerPixel, 5280 / kTwipsPerPixel);
    resize(minimumSize());
    PlaceControls();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    // Work controls, outside the client area, which a larger window would show.
    Place(Creator, {6705, 135, 255, 255});
    Place(ucCanvasSrc, {7425, 270, 1905, 1590});
    Place(ucCanvasTrg, {7425, 2070, 1905, 1590});
    for (QWidget* unseen : std::initializer_list<QWidget*>{Creator, ucCanvasSrc, ucCanvasTrg})
        unseen->hide();
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
    QualityValue->setNum(Slider1->value());
    QualityValue->setAlignment(Qt::AlignCenter);
    QualityValue->setAutoFillBackground(true); // white, as the skin paints the slider beside it
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    QPalette bar = ProgressBar1->palette();
    bar.setColor(QPalette::Base, Qt::white);
    ProgressBar1->setPalette(bar);
}

void Form1::ShowTips() {
    Check1->setToolTip("Choose image files to add to the list");
    Check3->setToolTip("Add the files of one extension from a folder and all its subfolders");
    Check2->setToolTip(kReduceTip);
    Slider1->setToolTip(kQualityTip);
    QualityValue->setToolTip(kQualityTip);
    ProgressBar1->setToolTip("How far the run has got through the list");
    RunTotal->setToolTip("The last run's files, and the sizes before and after of those reduced");
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

// The controls that change the list or the run are off while the files are gathered; the
// window stays responsive meanwhile.
template <typename Work> void Form1::AddingFiles(Work work) {
    adding_ = true;
    ShowRunState();
    SetMousePointer(MousePointer::Hourglass);
    work();
    SetMousePointer(MousePointer::Default);
    adding_ = false;
    ShowRunState();
}

void Form1::AddFolderTree() {
    const QString extension = PlainExtension(prompts_.askExtension(this));
    if (extension.isEmpty()) return;
    const QString folder = prompts_.chooseFolder(this);
    if (folder.isEmpty()) return;
    // "*" stands for every file, with an extension or without.
    const QString pattern = extension == "*" ? QString("*") : "*." + extension;
    QStringList files;
    AddingFiles([&] { files = CollectFiles(folder, pattern, [this] { DoEvents(); }); });
    for (const QString& file : files)
        ListView1->AddItem(file);
    if (files.isEmpty())
        ShowMessage(NothingFoundText(extension, folder).toStdString(), "", MessageIcon::None);
}

void Form1::AddPaths(const QStringList& paths) {
    if (IsRunning() || adding_) return;
    QStringList files;
    AddingFiles([&] {
        for (const QString& path : paths) {
            const QFileInfo given(path);
            if (given.isDir())
                files << CollectRoutedFiles(given.absoluteFilePath(), [this] { DoEvents(); });
            else if (!IsOwnOutputBesideSource(given.absoluteFilePath()))
                files << given.absoluteFilePath();
        }
    });
    for (const QString& file : files)
        ListView1->AddItem(file);
}

void Form1::Reduce() {
    if (IsRunning()) {
        run_->Stop();
        ShowRunState();
    } else if (!adding_) {
        StartRun();
    }
}

void Form1::StartRun() {
    records_.clear();
    failuresSilenced_ = false;
    ListView1->ClearOutcomes();
    RunTotal->clear();
    run_ = std::make_unique<WindowRun>(
        WindowRun::Window{
            this, *this,
            [this](int32_t index, const ItemRecord& record) { ShowItemOutcome(index, record); },
            [this] { EndRun(); }},
        applicationFolder_, DefaultJobCount());
    ShowRunState();
}

void Form1::ShowItemOutcome(int32_t index, const ItemRecord& record) {
    records_.push_back(record);
    ListView1->ShowOutcome(index, DescribeOutcome(record));
}

void Form1::EndRun() {
    if (!run_) return;
    run_.reset(); // its thread has made its last call
    ShowRunState();
    if (!records_.empty()) RunTotal->setText(DescribeTotal(records_));
    emit RunFinished();
    ShowPendingMessages();
}

// Nothing changes under a run: the list, the quality and the Add commands wait for its end.
void Form1::ShowRunState() {
    const bool running = IsRunning();
    for (QWidget* control : std::initializer_list<QWidget*>{Check1, Check3, Slider1})
        control->setEnabled(!running && !adding_);
    ListView1->SetLocked(running || adding_);
    Check2->setText(running ? "Stop" : "Reduce");
    Check2->setIcon(StandardIcon(running ? QStyle::SP_BrowserStop : QStyle::SP_DialogApplyButton));
    Check2->setToolTip(running ? kStopTip : kReduceTip);
    Check2->setEnabled(running ? !run_->Stopping() : !adding_);
}

int32_t Form1::ItemCount() const {
    return ListView1->ItemCount();
}

std::string Form1::ItemText(int32_t index) const {
    return QFile::encodeName(ListView1->ItemText(index)).toStdString();
}

void Form1::SetProgress(float percent) {
    ProgressBar1->setValue(static_cast<int>(std::lround(percent)));
}

int32_t Form1::Quality() const {
    return Slider1->value();
}

// A failure is shown as it comes; a run's closing words wait until the window shows the run
// as over.
void Form1::ShowMessage(const std::string& prompt, const std::string& title, MessageIcon icon) {
    if (closeRequested_) return;
    pendingMessages_.push_back({FromUtf8(prompt), FromUtf8(DisplayTitle(title)), icon});
    if (icon == MessageIcon::Exclamation || !IsRunning()) ShowPendingMessages();
}

// One box at a time: the messages that come while one is open follow it.
void Form1::ShowPendingMessages() {
    if (showingMessage_) return;
    showingMessage_ = true;
    while (!pendingMessages_.empty() && !closeRequested_) {
        const PendingMessage message = pendingMessages_.front();
        pendingMessages_.pop_front();
        const bool failure = message.icon == MessageIcon::Exclamation;
        if (failure && failuresSilenced_) continue;
        if (prompts_.showMessage(this, message.prompt, message.title, message.icon))
            failuresSilenced_ = true;
    }
    showingMessage_ = false;
}

void Form1::SetMousePointer(MousePointer pointer) {
    if (pointer == pointer_) return;
    // Busy, but the window still answers: Stop can be pressed.
    if (pointer == MousePointer::Hourglass)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
    pointer_ = pointer;
}

void Form1::DoEvents() {
    QCoreApplication::processEvents();
}

void Form1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceControls();
}

// The window goes at once; a run in progress is stopped behind it, and its last calls are
// taken before the window closes.
void Form1::closeEvent(QCloseEvent* event) {
    if (run_) {
        closeRequested_ = true;
        hide();
        run_->Stop();
        run_->Wait();
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
        run_.reset(); // had its end been lost on the way
        pendingMessages_.clear();
        closeRequested_ = false;
    }
    event->accept();
}

} // namespace lumatrim
