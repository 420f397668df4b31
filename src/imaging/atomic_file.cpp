// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "imaging/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace lumatrim {

namespace {

std::string Describe(const char* what, const std::filesystem::path& path) {
    return std::string(what) + " " + path.string() + ": " + std::strerror(errno);
}

// A name no other writer in the folder will pick: target name, a dot, random letters, ".tmp".
std::filesystem::path TempNameFor(const std::filesystem::path& target, std::mt19937_64& random) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix = ".";
    for (int i = 0; i < 10; ++i)
        suffix += kLetters[random() % (sizeof kLetters - 1)];
    std::filesystem::path temp = target;
    temp += suffix + ".tmp";
    return temp;
}

} // namespace

AtomicFile::AtomicFile(std::filesystem::path target) : target_(std::move(target)) {
    std::mt19937_64 random(std::random_device{}() ^ static_cast<uint64_t>(getpid()));
    for (int attempt = 0; attempt < 16; ++attempt) {
        temp_ = TempNameFor(target_, random);
        // 0666 lets the process umask decide, as for any newly created file.
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0 || errno != EEXIST) break;
    }
    if (fd_ < 0) {
        error_ = Describe("cannot create a file beside", target_);
        failed_ = true;
    }
}

AtomicFile::~AtomicFile() {
    Abandon();
}

bool AtomicFile::Write(std::span<const uint8_t> bytes) {
    if (failed_) return false;
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            error_ = Describe("cannot write", temp_);
            failed_ = true;
            return false;
        }
        bytes = bytes.subspan(static_cast<size_t>(written));
    }
    return true;
}

bool AtomicFile::Commit() {
    if (failed_) return false;
    // No fsync: the rename already hides partial files from readers and from our own failures,
    // and a sync per file would cost more than encoding a typical small web image.
    if (::close(fd_) != 0) {
        fd_ = -1;
        error_ = Describe("cannot write", temp_);
        failed_ = true;
        return false;
    }
    fd_ = -1;
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        error_ = Describe("cannot replace", target_);
        failed_ = true;
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

bool WriteFileAtomically(const std::filesystem::path& target, std::span<const uint8_t> bytes) {
    AtomicFile file(target);
    return file.Write(bytes) && file.Commit();
}

bool CopyFileAtomically(const std::filesystem::path& source, const std::filesystem::path& target) {
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    AtomicFile file(target);
    uint8_t buffer[1 << 16];
    bool ok = file.IsOpen();
    while (ok) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        ok = file.Write({buffer, static_cast<size_t>(got)});
    }
    ::close(in);
    return ok && file.Commit();
}

} // namespace lumatrim
