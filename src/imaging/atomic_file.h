// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Writes a file so that readers see either the old file or the complete new one, never a part.
//
// The bytes go to a temporary file in the target's folder (same file system, so the final
// rename is atomic); Commit() closes it and renames it over the target. Without a successful
// Commit() the temporary file is removed and an earlier file of the target's name stays intact.
// Only a file this object created is ever removed: it is known by its successful open, never
// by a name that was merely tried.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <sys/types.h>
#include <system_error>
#include <time.h>

namespace lumatrim {

// Permission bits of a new file whose caller names none; the process umask still applies.
inline constexpr mode_t kNewFileMode = 0666;

// What a new file gets besides its bytes.
struct NewFileAttributes {
    mode_t mode = kNewFileMode; // permission bits, less the umask
    // Its modification time (a source's, kept for the user); none for the time of writing.
    std::optional<timespec> modified;
};

class AtomicFile {
public:
    // The file gets `attributes` (its mode less the umask, as any file the system creates),
    // the modification time just before it takes the target's name, so no reader ever sees
    // the file with another. A target holding a NUL byte names no file the system can tell
    // apart from another: it is refused (EINVAL).
    explicit AtomicFile(std::filesystem::path target, NewFileAttributes attributes = {});
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    bool Write(std::span<const uint8_t> bytes);
    bool Commit(); // false when any write, the close or the rename failed
    const std::string& Error() const { return error_; }
    // The system's reason for the first failure; empty while there is none.
    std::error_code ErrorCode() const { return errorCode_; }

private:
    void Fail(const char* what, const std::filesystem::path& path, int number);
    void Abandon();

    std::filesystem::path target_;
    std::filesystem::path temp_; // set only once this object has created it
    std::optional<timespec> modified_;
    int fd_ = -1;
    bool failed_ = false;
    std::string error_;
    std::error_code errorCode_;
};

// The whole of `bytes` as the new content of `target`, atomically, created with `attributes` (see
// AtomicFile). On failure false, and the system's reason in `error` when one is given.
bool WriteFileAtomically(const std::filesystem::path& target, std::span<const uint8_t> bytes,
                         const NewFileAttributes& attributes = {},
                         std::error_code* error = nullptr);

// A copy of `source` as `target`, atomically; the source is only read.
bool CopyFileAtomically(const std::filesystem::path& source, const std::filesystem::path& target,
                        const NewFileAttributes& attributes = {}, std::error_code* error = nullptr);

} // namespace lumatrim
