// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// lumatrim: the desktop window. Lists image files and reduces each to a smaller copy beside it.
// Files and folders named on the command line (the desktop's "Open with") start in the list.
#include "app/platform/paths.h"
#include "app/platform/process_setup.h"
#include "ui/form1.h"
#include "ui/window_command_line.h"

#include <QApplication>
#include <iostream>

int main(int argc, char** argv) {
    if (const auto answered = lumatrim::AnswerWithoutWindow(argc, argv, std::cout))
        return *answered;
    lumatrim::PrepareProcess();
    QApplication application(argc, argv);
    QApplication::setApplicationName("Lumatrim");
    QApplication::setApplicationVersion(LUMATRIM_VERSION);
    QApplication::setDesktopFileName("lumatrim");
    QApplication::setWindowIcon(QIcon(QString::fromStdString(
        lumatrim::PathInFolder(lumatrim::ApplicationFolder(), "lumatrim.png"))));
    lumatrim::Form1 window(lumatrim::ApplicationFolder());
    window.show();
    window.AddPaths(QApplication::arguments().mid(1));
    return QApplication::exec();
}
