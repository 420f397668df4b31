// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/form1_prompts.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QUrl>

namespace lumatrim {

namespace {

constexpr const char* kAddFilesTitle = "Add File(s) - Hold Ctrl or Shift to select multiple files";
// Both cases: Linux names are case-sensitive, and users of other systems write .JPG too.
constexpr const char* kWebImageFilter =
    "All Web Image Files (*.jpg;*.jpeg;*.bmp;*.gif;*.png) "
    "(*.jpg *.jpeg *.bmp *.gif *.png *.JPG *.JPEG *.BMP *.GIF *.PNG)";

QString ApplicationTitle() {
    return QString::fromUtf8(kApplicationTitle.data(), kApplicationTitle.size());
}

QStringList ChooseFiles(QWidget* owner) {
    return QFileDialog::getOpenFileNames(owner, kAddFilesTitle, QString(), kWebImageFilter);
}

QString AskExtension(QWidget* owner) {
    return QInputDialog::getText(owner, ApplicationTitle(),
                                 "Enter file extension to load:", QLineEdit::Normal, "*");
}

QString ChooseFolder(QWidget* owner) {
    return QFileDialog::getExistingDirectory(owner, "Please select folder to add:");
}

bool ShowMessage(QWidget* owner, const QString& prompt, const QString& title, MessageIcon icon) {
    const bool failure = icon == MessageIcon::Exclamation;
    QMessageBox box(failure ? QMessageBox::Warning : QMessageBox::NoIcon, title, prompt,
                    QMessageBox::Ok, owner);
    if (failure) box.setCheckBox(new QCheckBox("Do not show again during this run", &box));
    box.exec();
    return failure && box.checkBox()->isChecked();
}

QString ChooseOutputFolder(QWidget* owner) {
    return QFileDialog::getExistingDirectory(owner, "Please select the folder for the outputs:");
}

void OpenFolder(const QString& folder) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

} // namespace

Form1Prompts DesktopPrompts() {
    return {ChooseFiles, AskExtension, ChooseFolder, ShowMessage, ChooseOutputFolder, OpenFolder};
}

} // namespace lumatrim
