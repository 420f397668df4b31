// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// A scratch file for an external program to rewrite. Each one has its own name in the system's
// temporary folder, so concurrent runs never share one and the program's own folder may stay
// read-only. The file is removed when the object goes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumatrim {

class WorkFile {
public:
    explicit WorkFile(std::string_view extension); // e.g. ".png": some programs go by it
    ~WorkFile();
    WorkFile(const WorkFile&) = delete;
    WorkFile& operator=(const WorkFile&) = delete;

    bool IsCreated() const { return !path_.empty(); }
    const std::string& Path() const { return path_; }

    enum class FillResult { Filled, SourceUnreadable, WorkUnwritable };
    // Copies `source` in and closes the file, so another process can take it over.
    FillResult FillFrom(const std::string& source);

    std::optional<uintmax_t> Size() const;

private:
    std::string path_;
    int fd_ = -1;
};

} // namespace lumatrim
