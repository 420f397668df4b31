// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// Shared helpers for the test suites: scratch folders, whole-file reads and the proof that a
// run changed no source.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace lumatrim::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    std::string Path(const std::string& name) const { return (path_ / name).string(); }
    // Writes `name` (its folders made as needed) and gives its path.
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const;
    using Named = std::vector<std::pair<std::string, std::vector<uint8_t>>>; // name, bytes
    std::vector<std::string> WriteAll(const Named& files) const;             // their paths
    std::vector<std::string> FileNames() const;                              // sorted

private:
    std::filesystem::path path_;
};

std::vector<uint8_t> ReadBytes(const std::filesystem::path& file);
std::string ReadText(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes);
std::filesystem::path DataFile(const std::string& name); // tests/data/<name>

// Whether `part` (chars or bytes) stands somewhere in `bytes`.
template <typename Part> bool Contains(const std::vector<uint8_t>& bytes, const Part& part) {
    return std::search(bytes.begin(), bytes.end(), part.begin(), part.end(),
                       [](uint8_t a, auto b) { return a == uint8_t(b); }) != bytes.end();
}

// `text` as one word of a shell command.
std::string Quoted(const std::string& text);
// Stands in for a program the code starts; "$1" is its first argument.
void WriteScript(const std::filesystem::path& file, const std::string& body);

// Every file under some folders, read before a run and compared after it. Files the run may
// write (its outputs) are left out; files that are gone afterwards count as changed.
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
