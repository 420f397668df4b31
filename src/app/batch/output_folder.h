// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Outputs gathered under one folder instead of beside their sources (lumatrim-batch
// --output-dir), so sources may sit on read-only or shared storage: each output goes under the
// folder at its source's path relative to the current folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumatrim {

// Shown, followed by the source, for a source that has no place under the output folder.
inline constexpr std::string_view kOutsideCurrentFolder =
    "The file is outside the current folder, so it has no place under the output folder: ";

// `outputName` under `outputFolder`, in the subfolder that `sourceFolder` is of the current
// folder; none when `sourceFolder` lies outside it. A folder reached through a symbolic link
// counts as inside when either its path as written or its real path is.
std::optional<std::string> PlaceUnder(const std::string& outputFolder,
                                      const std::string& sourceFolder,
                                      const std::string& outputName);

// Makes the folders that `output` is to be written in; a failure shows when the write fails.
void MakeFoldersFor(const std::string& output);

} // namespace lumatrim
