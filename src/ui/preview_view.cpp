// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/preview_view.h"

#include "ui/preview_caption.h"
#include "ui/preview_pane.h"
#include "ui/uc_canvas.h"

#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QWheelEvent>
#include <algorithm>

namespace lumatrim {

namespace {

constexpr int32_t kMaxZoom = 16;
// One decode for each pane at a time.
constexpr int kDecoders = 2;

QPushButton* ToolButton(const QString& text, const QString& tip, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setToolTip(tip);
    button->setFocusPolicy(Qt::NoFocus); // the list keeps the keyboard for its arrows
    return button;
}

std::optional<uintmax_t> FileSize(const QString& path) {
    const QFileInfo file(path);
    if (!file.isFile()) return std::nullopt;
    return static_cast<uintmax_t>(file.size());
}

// The picture is drawn smaller than it is: fitted to a pane it does not fit.
bool Shrunk(const PreviewPane* pane) {
    const ucCanvas* canvas = pane->Canvas();
    return pane->HasPicture() && canvas->FitMode() &&
           canvas->Layout().picture.width < canvas->DIB()->Width();
}

} // namespace

PreviewView::PreviewView(QWidget* parent)
    : QWidget(parent), SourcePane(std::make_unique<PreviewPane>(this)),
      ResultPane(std::make_unique<PreviewPane>(this)), ZoomLabel(new QLabel(this)),
      ZoomOutButton(ToolButton("-", "Zoom out (-, or Ctrl with the mouse wheel)", this)),
      ZoomInButton(ToolButton("+", "Zoom in (+, or Ctrl with the mouse wheel)", this)),
      ActualSizeButton(ToolButton("1:1", "Show the pictures pixel for pixel", this)),
      FitButton(ToolButton("Fit", "Fit larger pictures to their panes", this)),
      OpenFolderButton(ToolButton("Open folder", "Show the folder of this file's output", this)) {
    decoders_.setMaxThreadCount(kDecoders);
    auto* tools = new QHBoxLayout;
    for (QWidget* tool : std::initializer_list<QWidget*>{ZoomOutButton, ZoomInButton,
                                                         ActualSizeButton, FitButton, ZoomLabel})
        tools->addWidget(tool);
    tools->addStretch(1);
    tools->addWidget(OpenFolderButton);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(tools, 0, 0, 1, 2);
    for (const int column : {0, 1}) {
        const PreviewPane& pane = column == 0 ? *SourcePane : *ResultPane;
        layout->addWidget(pane.Caption(), 1, column);
        layout->addWidget(pane.Body(), 2, column);
        layout->setColumnStretch(column, 1);
    }
    layout->setRowStretch(2, 1);

    connect(ZoomOutButton, &QPushButton::clicked, this, &PreviewView::ZoomOut);
    connect(ZoomInButton, &QPushButton::clicked, this, &PreviewView::ZoomIn);
    connect(ActualSizeButton, &QPushButton::clicked, this, &PreviewView::ShowActualSize);
    connect(FitButton, &QPushButton::clicked, this, &PreviewView::FitToPane);
    connect(OpenFolderButton, &QPushButton::clicked, this,
            [this] { emit OpenFolderRequested(outputFolder_); });
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal),
                                     QKeySequence(QKeySequence::ZoomIn)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &PreviewView::ZoomIn);
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Minus), QKeySequence(QKeySequence::ZoomOut)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &PreviewView::ZoomOut);
    ucCanvas* source = SourcePane->Canvas();
    ucCanvas* result = ResultPane->Canvas();
    connect(source, &ucCanvas::Scroll, this,
            [this, source, result] { FollowScroll(source, result); });
    connect(result, &ucCanvas::Scroll, this,
            [this, source, result] { FollowScroll(result, source); });
    for (ucCanvas* canvas : {source, result})
        canvas->installEventFilter(this);
    ticker_.setSingleShot(true);
    ticker_.setTimerType(Qt::PreciseTimer); // frames of 20 ms keep their length
    connect(&ticker_, &QTimer::timeout, this, &PreviewView::Tick);
    ApplyZoom();
    Clear();
}

// Decodes still running would post to a window that is gone.
PreviewView::~PreviewView() {
    decoders_.clear();
    decoders_.waitForDone();
}

void PreviewView::Clear() {
    decoders_.clear(); // decodes not yet started are for rows no longer current
    ++request_;
    pending_ = 0;
    source_.clear();
    SourcePane->ShowWords("Source", "Add image files, then choose one in the list to see it here.");
    ShowResult(std::nullopt, false);
}

void PreviewView::Show(const QString& source, const std::optional<ItemRecord>& record,
                       bool running) {
    decoders_.clear(); // decodes not yet started are for rows no longer current
    ++request_;
    pending_ = 0;
    if (source != source_ || !SourcePane->HasPicture()) {
        if (source != source_) { // another picture starts fitted to its pane
            zoom_.reset();
            ApplyZoom();
        }
        source_ = source;
        SourcePane->ShowWords("Source", "Loading...");
        const std::optional<uintmax_t> bytes = record ? record->bytesIn : FileSize(source);
        Decode(SourcePane.get(), source, [bytes](int32_t width, int32_t height) {
            return SourceCaption(bytes, width, height);
        });
    }
    ShowResult(record, running);
}

void PreviewView::ShowResult(const std::optional<ItemRecord>& record, bool running) {
    const std::optional<std::string>& output = record ? record->report.output : std::nullopt;
    const bool written = record && record->report.status == ItemStatus::Ok && output;
    OpenFolderButton->setEnabled(written);
    if (!written) {
        outputFolder_.clear();
        const ResultWords missing = DescribeMissingResult(record, running);
        ResultPane->ShowWords(missing.caption, missing.words);
        return;
    }
    const QString path = QFile::decodeName(QByteArray::fromStdString(*output));
    outputFolder_ = QFileInfo(path).absolutePath();
    ResultPane->ShowWords("Result", "Loading...");
    Decode(ResultPane.get(), path, [record = *record](int32_t width, int32_t height) {
        return ResultCaption(record, width, height);
    });
}

void PreviewView::Decode(PreviewPane* pane, const QString& path,
                         std::function<QString(int32_t, int32_t)> caption) {
    ++pending_;
    decoders_.start([this, pane, path, caption = std::move(caption), request = request_] {
        auto picture = std::make_shared<const PreviewPicture>(DecodePreview(path));
        const QString text = caption(picture->width, picture->height);
        QMetaObject::invokeMethod(
            this,
            [this, pane, picture, text, request] {
                if (request == request_) Received(pane, picture, text);
            },
            Qt::QueuedConnection);
    });
}

// Both panes' animations start again together, so they stay in step.
void PreviewView::Received(PreviewPane* pane, std::shared_ptr<const PreviewPicture> picture,
                           const QString& caption) {
    --pending_;
    if (!picture->error.isEmpty()) {
        pane->ShowWords(caption, picture->error);
        return;
    }
    pane->ShowPicture(picture, picture->cutShort ? caption + " (first frame only)" : caption);
    ApplyZoom();
    clock_.restart();
    Tick();
}

void PreviewView::ZoomIn() {
    if (!zoom_)
        zoom_ = Shrunk(SourcePane.get()) || Shrunk(ResultPane.get()) ? 1 : 2;
    else
        zoom_ = std::min(*zoom_ * 2, kMaxZoom);
    ApplyZoom();
}

void PreviewView::ZoomOut() {
    if (!zoom_) return;
    zoom_ = *zoom_ > 1 ? std::optional(*zoom_ / 2) : std::nullopt;
    ApplyZoom();
}

void PreviewView::ShowActualSize() {
    zoom_ = 1;
    ApplyZoom();
}

void PreviewView::FitToPane() {
    zoom_.reset();
    ApplyZoom();
}

void PreviewView::ApplyZoom() {
    for (PreviewPane* pane : {SourcePane.get(), ResultPane.get()}) {
        ucCanvas* canvas = pane->Canvas();
        canvas->SetFitMode(!zoom_);
        canvas->SetZoom(zoom_.value_or(1));
        canvas->Resize();
        canvas->update();
    }
    ZoomLabel->setText(zoom_ ? QString::number(*zoom_ * 100) + "%" : "Fit");
    ZoomOutButton->setEnabled(zoom_.has_value());
    ZoomInButton->setEnabled(zoom_.value_or(1) < kMaxZoom);
}

void PreviewView::FollowScroll(const ucCanvas* from, ucCanvas* to) {
    int32_t x = 0, y = 0;
    from->GetScrollPos(x, y);
    const ScrollState& range = to->Layout().scroll;
    to->SetScrollPos(std::clamp(x, 0, range.maxX), std::clamp(y, 0, range.maxY));
    to->update();
}

// The timer wakes when the next frame of either pane is due, not more often.
void PreviewView::Tick() {
    const int64_t elapsed = clock_.elapsed();
    const std::optional<int64_t> source = SourcePane->ShowFrameAt(elapsed);
    const std::optional<int64_t> result = ResultPane->ShowFrameAt(elapsed);
    if (!source && !result) {
        ticker_.stop();
        return;
    }
    ticker_.start(
        static_cast<int>(std::min(source.value_or(INT64_MAX), result.value_or(INT64_MAX))));
}

bool PreviewView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Wheel) return QWidget::eventFilter(watched, event);
    const auto* wheel = static_cast<QWheelEvent*>(event);
    if (!(wheel->modifiers() & Qt::ControlModifier)) return false;
    if (wheel->angleDelta().y() > 0) ZoomIn();
    if (wheel->angleDelta().y() < 0) ZoomOut();
    return true;
}

} // namespace lumatrim
