// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Form1: Lumatrim's one window. It holds the file list with each file's outcome beside the
// preview of the current row (the two share the width through a splitter), the three commands
// (add files, add a folder tree, reduce or stop), the JPEG quality slider with its value and the
// lossy check box, the run's other options, the progress bar and the last run's total, and it is
// the batch run's host: the run works on a thread of its own and reaches the window through its
// event queue (see WindowRun). The preview's two canvases are `ucCanvasSrc` and `ucCanvasTrg`;
// a picture holder from the original layout stays hidden.
#pragma once

#include "app/batch/batch_host.h"
#include "app/batch/item_record.h"
#include "ui/form1_prompts.h"

#include <QWidget>
#include <deque>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QSlider;
class QSplitter;

namespace lumatrim {

class CommandButton;
class ImageFileList;
class PreviewView;
class RunOptions;
class WindowRun;
class ucCanvas;

class Form1 : public QWidget, public BatchHost {
    Q_OBJECT

public:
    // `applicationFolder` holds the pointer files and the routes' companion programs.
    explicit Form1(std::string applicationFolder, Form1Prompts prompts = DesktopPrompts());
    ~Form1() override;

    void AddFiles();      // "Add Image File(s)"
    void AddFolderTree(); // "Add All Image File(s) In Folder"
    void Reduce();        // "Reduce" starts one batch run over the list; "Stop" ends it
    // Files as given; folders as the files of their trees that a run has a route for. Our own
    // outputs beside their sources are passed over. For drops and the command line.
    void AddPaths(const QStringList& paths);

    bool IsRunning() const { return run_ != nullptr; }
    MousePointer CurrentPointer() const { return pointer_; }

    // The host's side, on the window's thread.
    int32_t ItemCount() const override;
    std::string ItemText(int32_t index) const override;
    void SetProgress(float percent) override;
    int32_t Quality() const override;
    void ShowMessage(const std::string& prompt, const std::string& title,
                     MessageIcon icon) override;
    void SetMousePointer(MousePointer pointer) override;
    void DoEvents() override;
    Effort EffortSetting() const override;
    std::optional<int32_t> LossyLevel() const override;
    bool KeepMetadata() const override;
    bool PreserveTimes() const override;
    std::optional<std::string> OutputFolder() const override;

    ImageFileList* const ListView1;
    CommandButton* const Check1;
    CommandButton* const Check3;
    CommandButton* const Check2;
    QGroupBox* const Frame1;
    QSlider* const Slider1;
    QLabel* const QualityValue; // the slider's value, beside it
    QProgressBar* const ProgressBar1;
    QLabel* const RunTotal; // the last run's total
    QLabel* const Creator;
    QCheckBox* const LossyCheck; // lossy PNG and GIF, beside the quality slider
    RunOptions* const Options;
    PreviewView* const Preview;
    QSplitter* const Splitter; // the list and the preview
    ucCanvas* const ucCanvasSrc;
    ucCanvas* const ucCanvasTrg;

signals:
    void RunFinished(); // a run's last call has reached the window

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct PendingMessage {
        QString prompt;
        QString title;
        MessageIcon icon;
    };

    void LayOutControls();
    void PlaceWindow();
    void StyleControls();
    void AddShortcuts();
    void ShowTips();
    void LoadPointers();
    void StartRun();
    void ShowItemOutcome(int32_t index, const ItemRecord& record);
    void ShowCurrentPreview();
    void OpenFolder(const QString& folder);
    void EndRun();
    void ShowRunState();
    void ShowPendingMessages();
    template <typename Work> void AddingFiles(Work work);

    std::string applicationFolder_;
    Form1Prompts prompts_;
    MousePointer pointer_ = MousePointer::Default;
    std::unique_ptr<WindowRun> run_;
    std::vector<ItemRecord> records_; // the current or last run's, in list order
    std::deque<PendingMessage> pendingMessages_;
    bool showingMessage_ = false;
    bool failuresSilenced_ = false; // for the rest of the run
    bool adding_ = false;           // a folder walk is going on
    bool closeRequested_ = false;
};

} // namespace lumatrim
