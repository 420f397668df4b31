// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Outputs gathered under one folder instead of beside their sources (lumatrim-batch
// --output-dir, the window's output folder), so sources may sit on read-only or shared storage:
// each output goes under the folder at its source's path relative to the mirrored folder. That
// is the current folder for lumatrim-batch (`mirrored` empty below), and for the window, whose
// current folder means nothing to its user, the deepest folder holding every listed file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumatrim {

// Shown, followed by the source, for a source that has no place under the output folder.
inline constexpr std::string_view kOutsideCurrentFolder =
    "The file is outside the current folder, so it has no place under the output folder: ";

// `outputName` under `outputFolder`, in the subfolder that `sourceFolder` is of the mirrored
// folder; none when `sourceFolder` lies outside it. A folder reached through a symbolic link
// counts as inside when either its path as written or its real path is.
std::optional<std::string> PlaceUnder(const std::string& outputFolder, const std::string& mirrored,
                                      const std::string& sourceFolder,
                                      const std::string& outputName);

// The deepest folder that holds every one of `paths` (files), made absolute; empty for none.
std::string CommonFolder(const std::vector<std::string>& paths);

// Shown, followed by the output's path, for an output whose place under the output folder is
// reached through a symbolic link, which could lead anywhere.
inline constexpr std::string_view kThroughLinkOutOfOutputFolder =
    "The output would be written through a link that may lead out of the output folder, so it "
    "is not written: ";

// Whether a folder between `outputFolder` and the place PlaceUnder gives a source of
// `sourceFolder` is a symbolic link. Folders not made yet are none; `outputFolder` itself may
// be one (the user chose it).
bool LinkBetween(const std::string& outputFolder, const std::string& mirrored,
                 const std::string& sourceFolder);

// The folder, ending with a separator, whose sources have their outputs placed in the folder of
// `path`: under the mirrored folder, or relative to the current one (empty for the current one)
// when `mirrored` is empty; none when `path` does not lie under `outputFolder`. A run over a
// list that names the outputs of an earlier run under the output folder passes them over by it.
std::optional<std::string> SourceFolderOfPlace(const std::string& outputFolder,
                                               const std::string& mirrored,
                                               const std::string& path);

// Makes the folders that `output` is to be written in; a failure shows when the write fails.
void MakeFoldersFor(const std::string& output);

} // namespace lumatrim
