#include "imaging/atomic_file.h"
#include "support/test_support.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace lumatrim;
using namespace lumatrim::test;

TEST(AtomicFile, ReplacesTheTargetOnlyOnCommit) {
    TempDir dir;
    WriteBytes(dir / "a", {9});
    {
        AtomicFile file(dir / "a");
        ASSERT_TRUE(file.IsOpen());
        ASSERT_TRUE(file.Write(std::vector<uint8_t>{1, 2}));
        EXPECT_EQ(ReadBytes(dir / "a"), std::vector<uint8_t>{9}) << "old content until commit";
        ASSERT_TRUE(file.Commit());
    }
    EXPECT_EQ(ReadBytes(dir / "a"), (std::vector<uint8_t>{1, 2}));
    EXPECT_EQ(dir.FileNames(), std::vector<std::string>{"a"});
}

TEST(AtomicFile, AbandonedWriteLeavesNothingBehind) {
    TempDir dir;
    WriteBytes(dir / "a", {9});
    {
        AtomicFile file(dir / "a");
        ASSERT_TRUE(file.Write(std::vector<uint8_t>{1, 2}));
    }
    EXPECT_EQ(ReadBytes(dir / "a"), std::vector<uint8_t>{9});
    EXPECT_EQ(dir.FileNames(), std::vector<std::string>{"a"});
}

TEST(AtomicFile, MissingFolderFailsCleanly) {
    TempDir dir;
    AtomicFile file(dir / "missing" / "a");
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(file.Write(std::vector<uint8_t>{1}));
    EXPECT_FALSE(file.Commit());
    EXPECT_NE(file.Error().find("missing"), std::string::npos);
}

TEST(AtomicFile, CopyDuplicatesTheSourceAndFailsForAMissingOne) {
    TempDir dir;
    std::vector<uint8_t> big(200000);
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<uint8_t>(i * 31);
    WriteBytes(dir / "src", big);
    EXPECT_TRUE(CopyFileAtomically(dir / "src", dir / "dst"));
    EXPECT_EQ(ReadBytes(dir / "dst"), big);
    EXPECT_FALSE(CopyFileAtomically(dir / "nothing", dir / "dst2"));
    EXPECT_EQ(dir.FileNames(), (std::vector<std::string>{"dst", "src"}));
}

// A full disk, simulated in a child process by a file size limit: the copy's writes fail part
// way, and what was there before must stay whole.
TEST(AtomicFile, DiskFillingUpDuringACopyKeepsTheEarlierFileAndLeavesNoTemporary) {
    TempDir dir;
    WriteBytes(dir / "src", std::vector<uint8_t>(300000, 7));
    WriteBytes(dir / "dst", {9});
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100000, 100000};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(CopyFileAtomically(dir / "src", dir / "dst") ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << "the copy must report the failed write";
    EXPECT_EQ(ReadBytes(dir / "dst"), std::vector<uint8_t>{9});
    EXPECT_EQ(dir.FileNames(), (std::vector<std::string>{"dst", "src"}));
}
