// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Proof that a run changed no source: every file under some folders, read before the run and
// compared after it. Files the run may write (its outputs) are left out; files that are gone
// afterwards count as changed.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace lumatrim::test {

class SourceGuard {
public:
    // `paths`: folders (walked recursively) and single files, symbolic links followed to
    // what they name. `writable`: outputs the run may create or replace.
    SourceGuard(const std::vector<std::filesystem::path>& paths,
                const std::vector<std::filesystem::path>& writable);

    // Each file whose bytes differ from the snapshot, or that is gone; empty when all held.
    std::vector<std::string> ChangedFiles() const;

private:
    std::map<std::filesystem::path, std::string> contents_;
};

} // namespace lumatrim::test
