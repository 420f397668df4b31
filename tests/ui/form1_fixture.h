// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The window under test: its dialogs answer from the test, its message boxes and opened folders
// are recorded, and a stand-in optimizer can be written to its application folder.

#pragma once

#include "ui/form1.h"

#include "support/test_support.h"
#include "ui/command_button.h"
#include "ui/image_file_list.h"
#include "ui/uc_canvas.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <pwd.h>
#include <tuple>
#include <unistd.h>

// Readable failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace lumatrim::test {

namespace fs = std::filesystem;

using Shown = std::tuple<QString, QString, MessageIcon>; // prompt, title, icon
inline const Shown kDone{"Done.", "Trimora", MessageIcon::None};

// Whether `target` welcomed the drag (else the desktop shows the no-drop pointer); a welcomed
// drag is then dropped.
inline bool Drop(QWidget* target, QMimeData* data) {
    QDragEnterEvent enter({5, 5}, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    if (enter.isAccepted()) QApplication::sendEvent(target, &drop);
    return enter.isAccepted();
}

inline QPoint ItemCentre(const Form1& window, int index) { // 1-based
    return window.ListView1->visualItemRect(window.ListView1->topLevelItem(index - 1)).center();
}

// Permission bits do not bind root: as root, the test runs as "nobody" while this lives.
class UnprivilegedScope {
public:
    UnprivilegedScope() {
        const passwd* nobody = ::geteuid() == 0 ? ::getpwnam("nobody") : nullptr;
        switched_ = nobody && ::setegid(nobody->pw_gid) == 0 && ::seteuid(nobody->pw_uid) == 0;
    }
    ~UnprivilegedScope() {
        if (switched_ && ::seteuid(0) == 0) (void)::setegid(0);
    }

private:
    bool switched_ = false;
};

// A window whose dialogs answer from the test and whose message boxes are recorded.
class Form1Test : public ::testing::Test {
protected:
    Form1Test() : window(appFolder.path().string(), ScriptedPrompts()) {}

    Form1Prompts ScriptedPrompts() {
        return {[this](QWidget*) { return chosenFiles; },
                [this](QWidget*) { return extension; },
                [this](QWidget*) { return folder; },
                [this](QWidget*, const QString& prompt, const QString& title, MessageIcon icon) {
                    messages.emplace_back(prompt, title, icon);
                    return silenceFailures;
                },
                [this](QWidget*) { return outputFolder; },
                [this](const QString& shown) { openedFolders << shown; }};
    }

    QString Write(const std::string& name, const std::string& content = "\x89PNG-source") {
        return QString::fromStdString(files.Write(name, {content.begin(), content.end()}));
    }
    QString Path(const std::string& name) const {
        return QString::fromStdString((files / name).string());
    }

    QStringList AddFiles(const std::vector<std::string>& names) {
        chosenFiles.clear();
        for (const std::string& name : names)
            chosenFiles << Write(name, "\x89PNG");
        QTest::mouseClick(window.Check1, Qt::LeftButton);
        return chosenFiles;
    }

    void AddFolderTree(const QString& typed) {
        extension = typed;
        folder = QString::fromStdString(files.path().string());
        QTest::mouseClick(window.Check3, Qt::LeftButton);
    }

    // The stand-in optimizer keeps a PNG's first six bytes. A file going on "GROW" after its
    // signature comes out larger; "WAIT" waits for the test's "go" file; "HANG" notes its work file
    // and process and sleeps for good.
    void Optimizer() {
        WriteScript(appFolder / "optipng",
                    "case $(head -c 8 \"$1\") in\n*GROW) printf more >> \"$1\"; exit 0;;\n"
                    "*WAIT) while [ ! -e " +
                        appFolder.Path("go") +
                        " ]; do sleep 0.02; done;;\n"
                        "*HANG) printf '%s' \"$1\" > " +
                        appFolder.Path("work") + "; echo $$ > " + appFolder.Path("pid") +
                        "; exec sleep 30;;\nesac\n"
                        "head -c 6 \"$1\" > \"$1.part\" && mv \"$1.part\" \"$1\"");
    }

    void Reduce(const QStringList& items) {
        for (const QString& item : items)
            window.ListView1->AddItem(item);
        QTest::mouseClick(window.Check2, Qt::LeftButton);
    }
    bool RunEnds() {
        return QTest::qWaitFor([&] { return !window.IsRunning(); }, 10000);
    }
    QStringList Column(int column) const {
        QStringList cells;
        for (int index = 1; index <= window.ListView1->ItemCount(); ++index)
            cells << window.ListView1->topLevelItem(index - 1)->text(column);
        return cells;
    }

    test::TempDir appFolder, files;
    QStringList chosenFiles;
    QString extension, folder, outputFolder;
    QStringList openedFolders;
    std::vector<Shown> messages;
    bool silenceFailures = false;
    Form1 window;
};

} // namespace lumatrim::test
