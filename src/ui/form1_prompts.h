// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The questions and messages the window puts to the user, as replaceable functions: the
// desktop's dialogs by default, scripted answers in tests.
#pragma once

#include "app/batch/batch_host.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

namespace lumatrim {

struct Form1Prompts {
    // The chosen files' full paths, in the dialog's order; none when cancelled.
    std::function<QStringList(QWidget* owner)> chooseFiles;
    // The extension as typed; empty when cancelled.
    std::function<QString(QWidget* owner)> askExtension;
    // The chosen folder; empty when cancelled.
    std::function<QString(QWidget* owner)> chooseFolder;
    // A failure's box (the exclamation icon) offers to show no more failures during the run;
    // true when that was chosen.
    std::function<bool(QWidget* owner, const QString& prompt, const QString& title,
                       MessageIcon icon)>
        showMessage;
    // The folder the outputs are to go to; empty when cancelled.
    std::function<QString(QWidget* owner)> chooseOutputFolder;
    // Shows `folder` in the desktop's file manager.
    std::function<void(const QString& folder)> openFolder;
};

Form1Prompts DesktopPrompts();

} // namespace lumatrim
