// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The shared folder walk (app/batch/folder_walk.h) in the window's strings: paths go to the
// system in its own encoding and come back from it the same way.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace lumatrim {

// The files of the tree under `folder` that `pattern` ("*.gif", "*") matches.
QStringList CollectFiles(const QString& folder, const QString& pattern,
                         const std::function<void()>& pumpEvents);

// The files of the tree under `folder` that a run has a route for.
QStringList CollectRoutedFiles(const QString& folder, const std::function<void()>& pumpEvents);

// Whether the file is our own output standing beside its source.
bool IsOwnOutputBesideSource(const QString& path);

} // namespace lumatrim
