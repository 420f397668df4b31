// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "imaging/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace lumatrim {

namespace {

bool HoldsNul(const std::filesystem::path& path) {
    return path.native().find('\0') != std::string::npos;
}

// A short name of its own in the target's folder: "lumatrim-", ten random letters, ".tmp". It
// fits wherever the target's name does, however long that is.
std::filesystem::path TempNameFor(const std::filesystem::path& target, std::mt19937_64& random) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = "lumatrim-";
    for (int i = 0; i < 10; ++i)
        name += kLetters[random() % (sizeof kLetters - 1)];
    return target.parent_path() / (name + ".tmp");
}

} // namespace

AtomicFile::AtomicFile(std::filesystem::path target, NewFileAttributes attributes)
    : target_(std::move(target)), modified_(attributes.modified) {
    if (HoldsNul(target_)) {
        Fail("cannot create a file beside", target_, EINVAL);
        return;
    }
    std::mt19937_64 random(std::random_device{}() ^ static_cast<uint64_t>(getpid()));
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::filesystem::path temp = TempNameFor(target_, random);
        fd_ = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, attributes.mode);
        if (fd_ >= 0) {
            temp_ = temp;
            return;
        }
        if (errno != EEXIST) break;
    }
    Fail("cannot create a file beside", target_, errno);
}

AtomicFile::~AtomicFile() {
    Abandon();
}

void AtomicFile::Fail(const char* what, const std::filesystem::path& path, int number) {
    error_ = std::string(what) + " " + path.string() + ": " + std::strerror(number);
    errorCode_ = std::error_code(number, std::generic_category());
    failed_ = true;
}

bool AtomicFile::Write(std::span<const uint8_t> bytes) {
    if (failed_) return false;
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            Fail("cannot write", temp_, written < 0 ? errno : ENOSPC);
            return false;
        }
        bytes = bytes.subspan(static_cast<size_t>(written));
    }
    return true;
}

bool AtomicFile::Commit() {
    if (failed_) return false;
    // The access time is the system's to keep; only the modification time is asked for.
    if (modified_) {
        const timespec times[2] = {{0, UTIME_OMIT}, *modified_};
        if (::futimens(fd_, times) != 0) {
            Fail("cannot set the time of", temp_, errno);
            return false;
        }
    }
    // No fsync: the rename already hides partial files from readers and from our own failures,
    // and a sync per file would cost more than encoding a typical small web image.
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) {
        Fail("cannot write", temp_, errno);
        return false;
    }
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        Fail("cannot replace", target_, errno);
        return false;
    }
    temp_.clear();
    return true;
}

void AtomicFile::Abandon() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

bool WriteFileAtomically(const std::filesystem::path& target, std::span<const uint8_t> bytes,
                         const NewFileAttributes& attributes, std::error_code* error) {
    AtomicFile file(target, attributes);
    const bool written = file.Write(bytes) && file.Commit();
    if (error) *error = file.ErrorCode();
    return written;
}

bool CopyFileAtomically(const std::filesystem::path& source, const std::filesystem::path& target,
                        const NewFileAttributes& attributes, std::error_code* error) {
    const int in = HoldsNul(source) ? -1 : ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        if (error)
            *error = std::error_code(HoldsNul(source) ? EINVAL : errno, std::generic_category());
        return false;
    }
    AtomicFile file(target, attributes);
    uint8_t buffer[1 << 16];
    bool ok = file.IsOpen();
    std::error_code readError;
    while (ok) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) readError = std::error_code(errno, std::generic_category());
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        ok = file.Write({buffer, static_cast<size_t>(got)});
    }
    ::close(in);
    ok = ok && file.Commit();
    if (error) *error = readError ? readError : file.ErrorCode();
    return ok;
}

} // namespace lumatrim
