// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Writes a file so that readers see either the old file or the complete new one, never a part.
//
// The bytes go to a temporary file in the target's folder (same file system, so the final
// rename is atomic); Commit() closes it and renames it over the target. Without a successful
// Commit() the temporary file is removed and an earlier file of the target's name stays intact.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace lumatrim {

class AtomicFile {
public:
    explicit AtomicFile(std::filesystem::path target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    bool Write(std::span<const uint8_t> bytes);
    bool Commit(); // false when any write, the close or the rename failed
    const std::string& Error() const { return error_; }

private:
    void Abandon();

    std::filesystem::path target_;
    std::filesystem::path temp_;
    int fd_ = -1;
    bool failed_ = false;
    std::string error_;
};

// The whole of `bytes` as the new content of `target`, atomically.
bool WriteFileAtomically(const std::filesystem::path& target, std::span<const uint8_t> bytes);

// A copy of `source` as `target`, atomically; the source is only read.
bool CopyFileAtomically(const std::filesystem::path& source, const std::filesystem::path& target);

} // namespace lumatrim
