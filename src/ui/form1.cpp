// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/form1.h"

#include "app/batch/parallel_batch.h"
#include "app/platform/paths.h"
#include "app/routes/lossy_level.h"
#include "ui/command_button.h"
#include "ui/folder_walk.h"
#include "ui/image_file_list.h"
#include "ui/outcome_text.h"
#include "ui/pointer_file.h"
#include "ui/preview_pane.h"
#include "ui/preview_view.h"
#include "ui/run_options.h"
#include "ui/slider_skin.h"
#include "ui/uc_canvas.h"
#include "ui/window_run.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QShortcut>
#include <QSlider>
#include <QSplitter>
#include <QStyle>
#include <algorithm>
#include <cmath>

namespace lumatrim {

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr const char* kReduceTip = "Write a smaller copy of each listed file beside it, named "
                                   "NAME_reduced.EXT; the files themselves are not changed";
constexpr const char* kStopTip =
    "Stop the run now: copies already written are kept, files not reached are left as they are";
constexpr const char* kQualityTip =
    "Quality of the reduced JPEG files: lower values give smaller files";
// Wide enough for a typical path and every column, where the screen allows.
constexpr QSize kOpeningSize{960, 640};
constexpr int kButtonHeight = 76;
constexpr int kValueWidth = 36;

QString LossyTip() {
    return "--lossy: PNG and GIF outputs may change pixels slightly (level " +
           QString::number(kDefaultLossyLevel) + " of 100) to become smaller";
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
      LossyCheck(new QCheckBox("Lossy PNG and GIF", this)),
      Options(new RunOptions([this] { return prompts_.chooseOutputFolder(this); }, this)),
      Preview(new PreviewView(this)), Splitter(new QSplitter(Qt::Horizontal, this)),
      ucCanvasSrc(Preview->SourcePane->Canvas()), ucCanvasTrg(Preview->ResultPane->Canvas()),
      applicationFolder_(std::move(applicationFolder)), prompts_(std::move(prompts)) {
    setWindowTitle("Lumatrim");
    LayOutControls();
    PlaceWindow();
    StyleControls();
    AddShortcuts();
    ShowTips();
    LoadPointers();
    SetSkinStyle(Slider1, kSkinStyleSolid);
    SetSkinSolidColor(Slider1, kWhite);
    HookSkin(Slider1);
    connect(Slider1, &QSlider::valueChanged, QualityValue, qOverload<int>(&QLabel::setNum));
    // After the drop is over, so the desktop is not kept waiting by a folder walk.
    connect(ListView1, &ImageFileList::PathsDropped, this, &Form1::AddPaths, Qt::QueuedConnection);
    Check1->OnPress([this] { AddFiles(); });
    Check3->OnPress([this] { AddFolderTree(); });
    Check2->OnPress([this] { Reduce(); });
    connect(ListView1, &QTreeWidget::currentItemChanged, this, &Form1::ShowCurrentPreview);
    connect(Preview, &PreviewView::OpenFolderRequested, this, &Form1::OpenFolder);
    ListView1->setFocus();
}

Form1::~Form1() {
    run_.reset(); // before the widgets its queued calls would reach
    SetMousePointer(MousePointer::Default);
}

// The list and the preview take the room the window gains; the controls keep their heights.
void Form1::LayOutControls() {
    Splitter->addWidget(ListView1);
    Splitter->addWidget(Preview);
    Splitter->setChildrenCollapsible(false);
    Splitter->setStretchFactor(0, 1);
    Splitter->setStretchFactor(1, 1);
    auto* buttons = new QHBoxLayout;
    for (CommandButton* button : {Check1, Check3, Check2}) {
        button->setMinimumHeight(kButtonHeight);
        buttons->addWidget(button, 1);
    }
    auto* quality = new QHBoxLayout(Frame1);
    quality->setContentsMargins(3, 0, 3, 3);
    quality->addWidget(Slider1, 1);
    QualityValue->setFixedWidth(kValueWidth);
    quality->addWidget(QualityValue);
    auto* jpegAndLossy = new QHBoxLayout;
    jpegAndLossy->addWidget(Frame1, 1);
    jpegAndLossy->addWidget(LossyCheck);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(Splitter, 1);
    layout->addLayout(buttons);
    layout->addLayout(jpegAndLossy);
    layout->addWidget(Options);
    layout->addWidget(ProgressBar1);
    layout->addWidget(RunTotal);
    Creator->hide(); // a work control of the original layout
}

// Large enough for a typical path and every column, never larger than the screen, centred.
void Form1::PlaceWindow() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        resize(kOpeningSize);
        return;
    }
    const QRect room = screen->availableGeometry();
    // The window manager's title bar comes on top of the window's own height.
    const QSize most = room.size() - QSize(0, style()->pixelMetric(QStyle::PM_TitleBarHeight));
    const QSize wanted = (room.size() * 3 / 4).expandedTo(kOpeningSize);
    resize(wanted.expandedTo(minimumSizeHint()).boundedTo(most));
    move(room.center() - rect().center());
    Splitter->setSizes({width() / 2, width() / 2});
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
    LossyCheck->setToolTip(LossyTip());
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

// Ctrl+R presses Reduce, or Stop during a run; Ctrl+O adds files.
void Form1::AddShortcuts() {
    connect(new QShortcut(QKeySequence("Ctrl+R"), this), &QShortcut::activated, Check2,
            &QPushButton::click);
    connect(new QShortcut(QKeySequence::Open, this), &QShortcut::activated, Check1,
            &QPushButton::click);
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
    ShowCurrentPreview();
}

void Form1::ShowItemOutcome(int32_t index, const ItemRecord& record) {
    records_.push_back(record);
    ListView1->ShowOutcome(index, DescribeOutcome(record));
    ListView1->SetRecordNumber(index, records_.size() - 1);
    if (index == ListView1->CurrentIndex()) ShowCurrentPreview();
}

void Form1::ShowCurrentPreview() {
    const int32_t current = ListView1->CurrentIndex();
    if (current == 0) {
        Preview->Clear();
        return;
    }
    const std::optional<size_t> number = ListView1->RecordNumber(current);
    Preview->Show(ListView1->ItemText(current),
                  number ? std::optional(records_.at(*number)) : std::nullopt, IsRunning());
}

void Form1::OpenFolder(const QString& folder) {
    if (!folder.isEmpty()) prompts_.openFolder(folder);
}

void Form1::EndRun() {
    if (!run_) return;
    run_.reset(); // its thread has made its last call
    ShowRunState();
    if (!ListView1->RecordNumber(ListView1->CurrentIndex())) ShowCurrentPreview();
    if (!records_.empty()) RunTotal->setText(DescribeTotal(records_));
    emit RunFinished();
    ShowPendingMessages();
}

// Nothing changes under a run: the list, the quality and the Add commands wait for its end.
void Form1::ShowRunState() {
    const bool running = IsRunning();
    for (QWidget* control :
         std::initializer_list<QWidget*>{Check1, Check3, Slider1, LossyCheck, Options})
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

Effort Form1::EffortSetting() const {
    return Options->EffortSetting();
}

std::optional<int32_t> Form1::LossyLevel() const {
    if (!LossyCheck->isChecked()) return std::nullopt;
    return kDefaultLossyLevel;
}

bool Form1::KeepMetadata() const {
    return Options->KeepMetadata();
}

bool Form1::PreserveTimes() const {
    return Options->PreserveTimes();
}

std::optional<std::string> Form1::OutputFolder() const {
    const std::optional<QString> folder = Options->OutputFolder();
    if (!folder) return std::nullopt;
    return QFile::encodeName(*folder).toStdString();
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
