// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/preview_pane.h"

#include "ui/uc_canvas.h"

#include <QLabel>
#include <QStackedWidget>

namespace lumatrim {

namespace {

constexpr QSize kSmallestCanvas{160, 120};

} // namespace

PreviewPane::PreviewPane(QWidget* parent)
    : caption_(new QLabel(parent)), stack_(new QStackedWidget(parent)),
      canvas_(new ucCanvas(stack_)), message_(new QLabel(stack_)) {
    caption_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Long captions wrap rather than widen their pane, so both panes keep the same width and the
    // same zoom shows the same part of both pictures.
    caption_->setWordWrap(true);
    caption_->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    caption_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    message_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    canvas_->setMinimumSize(kSmallestCanvas);
    canvas_->SetFitMode(true);
    message_->setAlignment(Qt::AlignCenter);
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    message_->setMargin(8);
    message_->setFrameShape(QFrame::StyledPanel); // the pane's place, as the canvas marks it
    stack_->addWidget(canvas_);
    stack_->addWidget(message_);
}

QWidget* PreviewPane::Body() const {
    return stack_;
}

void PreviewPane::ShowPicture(std::shared_ptr<const PreviewPicture> picture,
                              const QString& caption) {
    picture_ = std::move(picture);
    frame_ = 0;
    caption_->setText(caption);
    canvas_->SetDIB(picture_->frames.front());
    canvas_->Resize();
    canvas_->update();
    stack_->setCurrentWidget(canvas_);
}

void PreviewPane::ShowWords(const QString& caption, const QString& words) {
    picture_.reset();
    caption_->setText(caption);
    message_->setText(words);
    canvas_->SetDIB(nullptr);
    stack_->setCurrentWidget(message_);
}

std::optional<int64_t> PreviewPane::ShowFrameAt(int64_t elapsed) {
    if (!picture_ || picture_->frames.size() < 2) return std::nullopt;
    const FramePlace place = FrameAt(picture_->delays, elapsed);
    if (place.frame != frame_) {
        frame_ = place.frame;
        canvas_->SetDIB(picture_->frames[frame_]);
        canvas_->update();
    }
    return place.left;
}

} // namespace lumatrim
