// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Walking a folder tree for "add every file of one extension": the folders breadth-first, then
// each folder's matching files. Hidden folders and links to folders are not entered (a link
// could lead back up the tree), and a folder that cannot be read is passed over.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace lumatrim {

// Appends the subfolders of `folders` (each given and returned with a trailing "/"): all those
// of depth 1 in name order, then with `recursive` those of depth 2, and so on. `pumpEvents`
// runs before each entry so the window stays responsive during a long walk.
void CollectSubfolders(QStringList& folders, bool recursive,
                       const std::function<void()>& pumpEvents);

// The names of the files in `folder` that match `pattern` ("*.gif"), in name order; the match
// ignores case. Hidden files are included, folders and special files (pipes, devices) are not.
QStringList ListFiles(const QString& folder, const QString& pattern);

// `name` in `folder` with exactly one "/" between them.
QString JoinPath(const QString& folder, const QString& name);

} // namespace lumatrim
