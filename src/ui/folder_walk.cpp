// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/folder_walk.h"

#include "app/batch/batch_driver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lumatrim {

namespace {

constexpr QDir::SortFlags kNameOrder = QDir::Name | QDir::IgnoreCase;

QStringList ChildFolders(const QString& folder, const std::function<void()>& pumpEvents) {
    QStringList children;
    pumpEvents();
    const QStringList names =
        QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, kNameOrder);
    for (const QString& name : names) {
        pumpEvents();
        children << JoinPath(folder, name) + '/';
    }
    return children;
}

std::optional<QString> PlannedOutputName(const QString& path) {
    const std::optional<std::string> output = PlannedOutput(QFile::encodeName(path).toStdString());
    if (!output) return std::nullopt;
    return QFileInfo(QFile::decodeName(QByteArray::fromStdString(*output))).fileName();
}

} // namespace

void CollectSubfolders(QStringList& folders, bool recursive,
                       const std::function<void()>& pumpEvents) {
    QStringList level = folders;
    while (!level.isEmpty()) {
        QStringList deeper;
        for (const QString& folder : level)
            deeper << ChildFolders(folder, pumpEvents);
        folders << deeper;
        if (!recursive) break;
        level = deeper;
    }
}

QStringList ListFiles(const QString& folder, const QString& pattern) {
    return QDir(folder).entryList({pattern}, QDir::Files | QDir::Hidden, kNameOrder);
}

bool OwnOutputs::Contains(const QString& folder, const QString& name) {
    auto outputs = byFolder_.find(folder);
    if (outputs == byFolder_.end()) {
        outputs = byFolder_.insert(folder, {});
        for (const QString& file : ListFiles(folder, "*"))
            if (const std::optional<QString> output = PlannedOutputName(JoinPath(folder, file)))
                outputs->insert(*output);
    }
    return outputs->contains(name);
}

QStringList CollectFiles(const QString& folder, const QString& pattern,
                         const std::function<void()>& pumpEvents) {
    QStringList folders{JoinPath(folder, QString())};
    CollectSubfolders(folders, true, pumpEvents);
    OwnOutputs ownOutputs;
    QStringList files;
    for (const QString& subfolder : folders)
        for (const QString& name : ListFiles(subfolder, pattern))
            if (!name.startsWith('~') && !ownOutputs.Contains(subfolder, name))
                files << JoinPath(subfolder, name);
    return files;
}

bool IsRouted(const QString& path) {
    return PlannedOutputName(path).has_value();
}

QString JoinPath(const QString& folder, const QString& name) {
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

} // namespace lumatrim
