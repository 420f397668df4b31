// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/run_options.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace lumatrim {

namespace {

constexpr const char* kEffortTip =
    "--effort: default gives the smallest files; fast a quicker run with somewhat larger files";
constexpr const char* kMetadataTip =
    "--keep-metadata: keep the metadata each format can carry (EXIF, XMP, text chunks, comments)";
constexpr const char* kTimesTip =
    "--preserve-times: give each output its source's modification time";
constexpr const char* kOutputTip =
    "--output-dir: write each output under the chosen folder, at its source's path relative to "
    "the deepest folder holding every listed file, instead of beside the source";

} // namespace

RunOptions::RunOptions(std::function<QString()> chooseFolder, QWidget* parent)
    : QWidget(parent), EffortChoice(new QComboBox(this)),
      KeepMetadataCheck(new QCheckBox("Keep metadata", this)),
      PreserveTimesCheck(new QCheckBox("Keep file times", this)),
      BesideSources(new QRadioButton("Beside the sources", this)),
      InFolder(new QRadioButton("In a folder:", this)), FolderName(new QLabel(this)),
      ChooseFolderButton(new QPushButton("Choose...", this)),
      chooseFolder_(std::move(chooseFolder)) {
    EffortChoice->addItems({"default", "fast"});
    EffortChoice->setToolTip(kEffortTip);
    KeepMetadataCheck->setToolTip(kMetadataTip);
    PreserveTimesCheck->setToolTip(kTimesTip);
    for (QWidget* output :
         std::initializer_list<QWidget*>{BesideSources, InFolder, FolderName, ChooseFolderButton})
        output->setToolTip(kOutputTip);
    BesideSources->setChecked(true);
    auto* place = new QButtonGroup(this);
    place->addButton(BesideSources);
    place->addButton(InFolder);
    FolderName->setTextInteractionFlags(Qt::TextSelectableByMouse);
    FolderName->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred); // long paths
    connect(ChooseFolderButton, &QPushButton::clicked, this, &RunOptions::ChooseFolder);
    // Outputs can go to a folder only once there is one.
    connect(InFolder, &QRadioButton::clicked, this, [this] {
        if (folder_.isEmpty()) ChooseFolder();
    });

    auto* effort = new QLabel("Effort:", this);
    effort->setBuddy(EffortChoice);
    auto* outputs = new QLabel("Outputs:", this);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(effort, 0, 0);
    auto* choices = new QHBoxLayout;
    choices->addWidget(EffortChoice);
    choices->addSpacing(12);
    choices->addWidget(KeepMetadataCheck);
    choices->addWidget(PreserveTimesCheck);
    choices->addStretch(1);
    layout->addLayout(choices, 0, 1);
    layout->addWidget(outputs, 1, 0);
    auto* placeRow = new QHBoxLayout;
    placeRow->addWidget(BesideSources);
    placeRow->addWidget(InFolder);
    placeRow->addWidget(FolderName, 1);
    placeRow->addWidget(ChooseFolderButton);
    layout->addLayout(placeRow, 1, 1);
    layout->setColumnStretch(1, 1);
}

Effort RunOptions::EffortSetting() const {
    return EffortChoice->currentText() == "fast" ? Effort::Fast : Effort::Default;
}

bool RunOptions::KeepMetadata() const {
    return KeepMetadataCheck->isChecked();
}

bool RunOptions::PreserveTimes() const {
    return PreserveTimesCheck->isChecked();
}

std::optional<QString> RunOptions::OutputFolder() const {
    if (!InFolder->isChecked() || folder_.isEmpty()) return std::nullopt;
    return folder_;
}

// A chosen folder also sends the outputs there; cancelling keeps what was chosen before.
void RunOptions::ChooseFolder() {
    const QString chosen = chooseFolder_();
    if (!chosen.isEmpty()) folder_ = chosen;
    FolderName->setText(folder_);
    (folder_.isEmpty() ? BesideSources : InFolder)->setChecked(true);
}

} // namespace lumatrim
