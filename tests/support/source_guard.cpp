#include "support/source_guard.h"

#include "support/test_support.h"

#include <fstream>
#include <gtest/gtest.h>
#include <memory>

namespace lumatrim::test {

namespace fs = std::filesystem;

namespace {

fs::path Normal(const fs::path& path) {
    std::error_code error;
    return fs::absolute(path, error).lexically_normal();
}

} // namespace

uint64_t FileChecksum(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return 0;
    uint64_t hash = 14695981039346656037ULL;
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        for (std::streamsize i = 0; i < in.gcount(); ++i)
            hash = (hash ^ static_cast<unsigned char>(buffer[i])) * 1099511628211ULL;
    }
    return hash;
}

SourceGuard::SourceGuard(const std::vector<fs::path>& paths,
                         const std::vector<fs::path>& writable) {
    for (const fs::path& path : writable)
        writable_.insert(Normal(path));
    for (const fs::path& path : paths) {
        std::error_code error;
        if (!fs::is_directory(path, error)) {
            Watch(path);
            continue;
        }
        // Unreadable corners (a test's chmod 000 folder) are skipped, not fatal.
        const auto options = fs::directory_options::skip_permission_denied;
        for (fs::recursive_directory_iterator it(path, options, error), end; !error && it != end;
             it.increment(error))
            Watch(it->path());
    }
}

void SourceGuard::Watch(const fs::path& file) {
    std::error_code error;
    // Pipes are never opened: a read would wait for a writer that never comes.
    if (!fs::is_regular_file(file, error) || writable_.count(Normal(file))) return;
    checksums_.emplace(Normal(file), FileChecksum(file));
}

std::vector<std::string> SourceGuard::ChangedFiles() const {
    std::vector<std::string> changed;
    for (const auto& [file, checksum] : checksums_) {
        std::error_code error;
        if (!fs::is_regular_file(file, error) || FileChecksum(file) != checksum)
            changed.push_back(file.string());
    }
    return changed;
}

namespace {

// Every suite reads its fixtures in place; none may leave them changed.
class UnchangedTestData : public ::testing::Environment {
public:
    void SetUp() override { guard_ = std::make_unique<SourceGuard>(Folder(), NoOutputs()); }
    void TearDown() override {
        EXPECT_EQ(guard_->ChangedFiles(), std::vector<std::string>()) << "in tests/data";
    }

private:
    static std::vector<fs::path> Folder() { return {DataFile("")}; }
    static std::vector<fs::path> NoOutputs() { return {}; }

    std::unique_ptr<SourceGuard> guard_;
};

[[maybe_unused]] const auto* const kUnchangedTestData =
    ::testing::AddGlobalTestEnvironment(new UnchangedTestData);

} // namespace

} // namespace lumatrim::test
