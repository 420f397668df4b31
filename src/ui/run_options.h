// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The run's choices beyond the JPEG quality, each one of lumatrim-batch's options (the tooltips
// name them): effort, keeping metadata and file times, and where the outputs go. Every start of
// the window begins with lumatrim-batch's defaults; nothing is kept.
#pragma once

#include "app/routes/effort.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace lumatrim {

class RunOptions : public QWidget {
    Q_OBJECT

public:
    // `chooseFolder` asks for the output folder; empty when cancelled.
    RunOptions(std::function<QString()> chooseFolder, QWidget* parent = nullptr);

    Effort EffortSetting() const;
    bool KeepMetadata() const;
    bool PreserveTimes() const;
    // None for beside the sources.
    std::optional<QString> OutputFolder() const;

    QComboBox* const EffortChoice;
    QCheckBox* const KeepMetadataCheck;
    QCheckBox* const PreserveTimesCheck;
    QRadioButton* const BesideSources;
    QRadioButton* const InFolder;
    QLabel* const FolderName;
    QPushButton* const ChooseFolderButton;

private:
    void ChooseFolder();

    std::function<QString()> chooseFolder_;
    QString folder_;
};

} // namespace lumatrim
