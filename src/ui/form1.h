// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Form1: Lumatrim's one window. It holds the file list, the three commands (add files, add a
// folder tree, reduce), the JPEG quality slider and the progress bar, and it is the batch run's
// host. The BMP route's surfaces live in two canvases that the user never sees.
#pragma once

#include "app/batch/batch_host.h"
#include "app/routes/route_workspace.h"
#include "ui/form1_prompts.h"

#include <QWidget>
#include <string>

class QGroupBox;
class QLabel;
class QProgressBar;
class QSlider;

namespace lumatrim {

class CommandButton;
class ImageFileList;
class ucCanvas;

class Form1 : public QWidget, public BatchHost {
    Q_OBJECT

public:
    // `applicationFolder` holds the pointer files and the routes' companion programs.
    explicit Form1(std::string applicationFolder, Form1Prompts prompts = DesktopPrompts());
    ~Form1() override;

    void AddFiles();      // "Add Image File(s)"
    void AddFolderTree(); // "Add All Image File(s) In Folder"
    void Reduce();        // "Reduce": one batch run over the list

    bool IsRunning() const { return running_; }
    MousePointer CurrentPointer() const { return pointer_; }

    int32_t ItemCount() const override;
    std::string ItemText(int32_t index) const override;
    void SetProgress(float percent) override;
    int32_t Quality() const override;
    void ShowMessage(const std::string& prompt, const std::string& title,
                     MessageIcon icon) override;
    void SetMousePointer(MousePointer pointer) override;
    void DoEvents() override;

    ImageFileList* const ListView1;
    CommandButton* const Check1;
    CommandButton* const Check3;
    CommandButton* const Check2;
    QGroupBox* const Frame1;
    QSlider* const Slider1;
    QProgressBar* const ProgressBar1;
    QLabel* const Creator; // holds no picture here: the JPEG route decodes on its own
    ucCanvas* const ucCanvasSrc;
    ucCanvas* const ucCanvasTrg;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void PlaceControls();
    void StyleControls();
    void LoadPointers();
    void ShowBmpSurfaces();

    std::string applicationFolder_;
    Form1Prompts prompts_;
    RouteWorkspace workspace_;
    MousePointer pointer_ = MousePointer::Default;
    bool running_ = false;
    bool closeRequested_ = false; // during a run: the run stops after its current item
};

} // namespace lumatrim
