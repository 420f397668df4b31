// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "support/test_support.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <stdexcept>
#include <stdlib.h>

namespace lumatrim::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "lumatrim-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

std::vector<std::string> TempDir::FileNames() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string TempDir::Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    fs::create_directories((path_ / name).parent_path());
    WriteBytes(path_ / name, bytes);
    return Path(name);
}

std::vector<std::string> TempDir::WriteAll(const Named& files) const {
    std::vector<std::string> paths;
    for (const auto& [name, bytes] : files)
        paths.push_back(Write(name, bytes));
    return paths;
}

std::vector<uint8_t> ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadText(const fs::path& file) {
    const std::vector<uint8_t> bytes = ReadBytes(file);
    return {bytes.begin(), bytes.end()};
}

void WriteBytes(const fs::path& file, const std::vector<uint8_t>& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

fs::path DataFile(const std::string& name) {
    return fs::path(LUMATRIM_TEST_DATA) / name;
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

void WriteScript(const fs::path& file, const std::string& body) {
    std::ofstream(file) << "#!/bin/sh\n" << body << '\n';
    fs::permissions(file, fs::perms::owner_all);
}

namespace {

fs::path Normal(const fs::path& path) {
    std::error_code error;
    return fs::absolute(path, error).lexically_normal();
}

// Pipes are never opened: a read would wait for a writer that never comes.
std::optional<std::string> Contents(const fs::path& file) {
    std::error_code error;
    if (!fs::is_regular_file(file, error)) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

SourceGuard::SourceGuard(const std::vector<fs::path>& paths,
                         const std::vector<fs::path>& writable) {
    std::vector<fs::path> files;
    for (const fs::path& path : paths) {
        files.push_back(path);
        // Unreadable corners (a test's chmod 000 folder) are skipped, not fatal.
        std::error_code error;
        for (fs::recursive_directory_iterator
                 it(path, fs::directory_options::skip_permission_denied, error),
             end;
             !error && it != end; it.increment(error))
            files.push_back(it->path());
    }
    for (const fs::path& file : files)
        if (const auto bytes = Contents(file);
            bytes && std::none_of(writable.begin(), writable.end(),
                                  [&](const fs::path& w) { return Normal(w) == Normal(file); }))
            contents_.emplace(Normal(file), *bytes);
}

std::vector<std::string> SourceGuard::ChangedFiles() const {
    std::vector<std::string> changed;
    for (const auto& [file, bytes] : contents_)
        if (Contents(file) != bytes) changed.push_back(file.string());
    return changed;
}

namespace {

// Every suite reads its fixtures in place; none may leave them changed.
class UnchangedTestData : public ::testing::Environment {
public:
    void SetUp() override { guard_ = std::make_unique<SourceGuard>(Dirs{DataFile("")}, Dirs{}); }
    void TearDown() override {
        EXPECT_EQ(guard_->ChangedFiles(), std::vector<std::string>()) << "in tests/data";
    }

private:
    using Dirs = std::vector<fs::path>;
    std::unique_ptr<SourceGuard> guard_;
};

[[maybe_unused]] const auto* const kUnchangedTestData =
    ::testing::AddGlobalTestEnvironment(new UnchangedTestData);

} // namespace

} // namespace lumatrim::test
