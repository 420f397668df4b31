// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The before-and-after view beside the file list: the current row's source on the left and,
// once the row is done, its result on the right, in two canvases that zoom and scroll together.
// A picture that fits its pane is shown pixel for pixel; a larger one is fitted to the pane until
// the user zooms (Ctrl+wheel, + and -, "1:1", "Fit"). Animations play in both panes on one clock.
// Files are decoded on worker threads; a decode that ends after the row has changed is dropped.
#pragma once

#include "app/batch/item_record.h"
#include "ui/preview_picture.h"

#include <QElapsedTimer>
#include <QThreadPool>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>

class QLabel;
class QPushButton;

namespace lumatrim {

class PreviewPane;
class ucCanvas;

class PreviewView : public QWidget {
    Q_OBJECT

public:
    explicit PreviewView(QWidget* parent = nullptr);
    ~PreviewView() override;

    // `record` is the row's outcome in the last run; none before it has one, and none while
    // `running` until the run reaches it.
    void Show(const QString& source, const std::optional<ItemRecord>& record, bool running);
    void Clear();

    void ZoomIn();
    void ZoomOut();
    void ShowActualSize(); // "1:1"
    void FitToPane();      // "Fit"
    // None while pictures are fitted to their panes.
    std::optional<int32_t> Zoom() const { return zoom_; }
    // True once the decodes asked for last have reached the panes.
    bool Settled() const { return pending_ == 0; }

    const std::unique_ptr<PreviewPane> SourcePane;
    const std::unique_ptr<PreviewPane> ResultPane;
    QLabel* const ZoomLabel;
    QPushButton* const ZoomOutButton;
    QPushButton* const ZoomInButton;
    QPushButton* const ActualSizeButton;
    QPushButton* const FitButton;
    QPushButton* const OpenFolderButton; // enabled for a row whose output was written

signals:
    void OpenFolderRequested(const QString& folder); // the folder of the current row's output

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Decode(PreviewPane* pane, const QString& path, std::function<QString(int32_t, int32_t)>);
    void Received(PreviewPane* pane, std::shared_ptr<const PreviewPicture> picture,
                  const QString& caption);
    void ShowResult(const std::optional<ItemRecord>& record, bool running);
    void ApplyZoom();
    void FollowScroll(const ucCanvas* from, ucCanvas* to);
    void Tick();

    QThreadPool decoders_;
    uint64_t request_ = 0; // the latest request's number; older decodes are dropped
    int pending_ = 0;
    QString source_;       // shown in the source pane, or on its way there
    QString outputFolder_; // for "Open folder"
    std::optional<int32_t> zoom_;
    QTimer ticker_;
    QElapsedTimer clock_;
};

} // namespace lumatrim
