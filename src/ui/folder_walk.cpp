// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/folder_walk.h"

#include "app/batch/folder_walk.h"

#include <QFile>

namespace lumatrim {

namespace {

std::string Encoded(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QStringList Decoded(const std::vector<std::string>& paths) {
    QStringList decoded;
    decoded.reserve(static_cast<qsizetype>(paths.size()));
    for (const std::string& path : paths)
        decoded << QFile::decodeName(QByteArray::fromStdString(path));
    return decoded;
}

} // namespace

QStringList CollectFiles(const QString& folder, const QString& pattern,
                         const std::function<void()>& pumpEvents) {
    return Decoded(CollectFiles(Encoded(folder), Encoded(pattern), pumpEvents));
}

QStringList CollectRoutedFiles(const QString& folder, const std::function<void()>& pumpEvents) {
    return Decoded(CollectRoutedFiles(Encoded(folder), pumpEvents));
}

bool IsOwnOutputBesideSource(const QString& path) {
    return IsOwnOutputBesideSource(Encoded(path));
}

} // namespace lumatrim
