// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Walking a folder tree for "add every file of one extension": the folders breadth-first, then
// each folder's matching files. Hidden folders and links to folders are not entered (a link
// could lead back up the tree), and a folder that cannot be read is passed over.
#pragma once

#include <QHash>
#include <QSet>
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

// Our own outputs standing beside their sources: the names another file of the same folder is
// reduced to. Each folder is read once.
class OwnOutputs {
public:
    bool Contains(const QString& folder, const QString& name);

private:
    QHash<QString, QSet<QString>> byFolder_;
};

// The files under `folder` and its subfolders that `pattern` matches, in the order of
// CollectSubfolders and ListFiles, passing over names that begin with "~" (editors' and office
// programs' temporary files) and our own outputs beside their sources.
QStringList CollectFiles(const QString& folder, const QString& pattern,
                         const std::function<void()>& pumpEvents);

// Whether a run has a route for the file (by its extension).
bool IsRouted(const QString& path);

// `name` in `folder` with exactly one "/" between them.
QString JoinPath(const QString& folder, const QString& name);

} // namespace lumatrim
