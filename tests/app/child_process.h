// Runs a program as a test's child process under conditions a test cannot set up in-process:
// a file size limit (a disk that fills up) or, when the tests run as root, an ordinary user
// (for whom a folder's permission bits hold).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace lumatrim::test {

struct ChildSetup {
    // Bytes any one file may grow to; a write beyond fails as on a full disk (SIGXFSZ ignored).
    std::optional<size_t> fileSizeLimit;
    // Run as "nobody" when the tests run as root; a test must make its folders reachable.
    bool unprivileged = false;
    std::filesystem::path tempFolder; // TMPDIR for the child, when set
};

struct ChildResult {
    int exitCode = -1; // 128 plus the signal number when a signal ended the child
    std::string out;
    std::string err;
};

ChildResult RunChild(const std::vector<std::string>& arguments, const ChildSetup& setup = {});

// Lets every user into `folder` (scratch folders are private to their creator).
void OpenToEveryone(const std::filesystem::path& folder);

} // namespace lumatrim::test
