// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// One side of the preview: a caption over a canvas that shows a decoded picture, or, in the
// canvas's place, words (waiting, a failure's message). The view lays out both panes' parts in
// one grid, so the canvases line up whatever their captions say, and sets the zoom.
#pragma once

#include "ui/preview_picture.h"

#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>

class QLabel;
class QStackedWidget;

namespace lumatrim {

class ucCanvas;

class PreviewPane {
public:
    explicit PreviewPane(QWidget* parent);

    ucCanvas* Canvas() const { return canvas_; }
    QLabel* Caption() const { return caption_; }
    QLabel* Message() const { return message_; }
    QWidget* Body() const; // the canvas or the words, whichever is shown

    void ShowPicture(std::shared_ptr<const PreviewPicture> picture, const QString& caption);
    void ShowWords(const QString& caption, const QString& words);

    bool HasPicture() const { return picture_ != nullptr; }
    const PreviewPicture* Picture() const { return picture_.get(); }
    size_t ShownFrame() const { return frame_; }
    // Shows the frame for `elapsed` milliseconds into the animation; gives the milliseconds until
    // the next frame is due, none for a still picture.
    std::optional<int64_t> ShowFrameAt(int64_t elapsed);

private:
    QLabel* const caption_;
    QStackedWidget* const stack_;
    ucCanvas* const canvas_;
    QLabel* const message_;
    std::shared_ptr<const PreviewPicture> picture_;
    size_t frame_ = 0;
};

} // namespace lumatrim
