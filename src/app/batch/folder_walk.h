// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Finding the files to reduce in a folder tree, for the window's folder add and dropped
// folders and for folders named to lumatrim-batch, so both find the same files in the same
// order: the folders breadth-first (the given one, then every folder of depth 1, then of depth
// 2, each level in name order), then each folder's matching files in name order. Hidden
// folders and links to folders are not entered (a link could lead back up the tree), and a
// folder that cannot be read is passed over. Names beginning with "~" (editors' and office
// programs' temporary files) and our own outputs standing beside their sources are left out.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lumatrim {

// The files under `folder` and its subfolders whose names match the shell pattern `pattern`
// ("*.gif", "*" for every file), ignoring case. Hidden files are included; folders and special
// files (pipes, devices, dangling links) are not. `pumpEvents` runs before each entry of a
// folder listing, so a window stays responsive during a long walk.
std::vector<std::string> CollectFiles(
    const std::string& folder, const std::string& pattern,
    const std::function<void()>& pumpEvents = [] {});

// The files of the tree that a run has a route for (JPEG, GIF, BMP and PNG), found as above.
std::vector<std::string> CollectRoutedFiles(
    const std::string& folder, const std::function<void()>& pumpEvents = [] {});

// Whether `path` is a run's output with its source in the same folder ("x_reduced.gif" beside
// "x.gif" or "x.GIF"): a re-run passes it over rather than reduce its own output again.
bool IsOwnOutputBesideSource(const std::string& path);

// Whether a file of `sourceFolder` (ending with a separator, or empty for the current folder)
// is reduced to a file named as `path`'s is.
bool IsOutputOfSourceIn(const std::string& path, const std::string& sourceFolder);

// `name` in `folder` with exactly one "/" between them.
std::string JoinPath(std::string_view folder, std::string_view name);

} // namespace lumatrim
