// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/folder_walk.h"

#include <QDir>

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

QString JoinPath(const QString& folder, const QString& name) {
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

} // namespace lumatrim
