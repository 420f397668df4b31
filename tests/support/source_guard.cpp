// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "support/source_guard.h"

#include "support/test_support.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <sstream>

namespace lumatrim::test {

namespace fs = std::filesystem;

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
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
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
