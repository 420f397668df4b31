// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "imaging/atomic_file.h"
#include "imaging/dib.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

using namespace lumatrim;
using namespace lumatrim::test;

TEST(AtomicFile, TargetChangesOnlyOnCommitAndNoTemporaryIsLeft) {
    TempDir dir;
    WriteBytes(dir / "a", {9});
    for (const bool commit : {false, true}) {
        AtomicFile file(dir / "a");
        ASSERT_TRUE(file.Write(std::vector<uint8_t>{1, 2}));
        EXPECT_EQ(ReadBytes(dir / "a"), std::vector<uint8_t>{9}) << "old content until commit";
        if (commit) {
            ASSERT_TRUE(file.Commit());
        }
    }
    EXPECT_EQ(ReadBytes(dir / "a"), (std::vector<uint8_t>{1, 2}));
    EXPECT_EQ(dir.FileNames(), std::vector<std::string>{"a"});

    AtomicFile nowhere(dir / "missing" / "a");
    EXPECT_FALSE(nowhere.Write(std::vector<uint8_t>{1}) || nowhere.Commit());
    EXPECT_NE(nowhere.Error().find("missing"), std::string::npos);
}

// The temporary name is short, so any legal target works; a NUL name is refused and the file it
// stops at stays.
TEST(AtomicFile, AnyLegalNameWorksANulNameIsRefusedAndFailuresSayWhy) {
    TempDir dir;
    const std::string longest(255, 'n');
    const std::vector<uint8_t> one = {1};
    ASSERT_TRUE(WriteFileAtomically(dir / longest, one));
    WriteBytes(dir / "keep", {7});
    const std::string withNul = (dir / "keep").string() + '\0' + ".gif";
    std::error_code error;
    EXPECT_FALSE(WriteFileAtomically(withNul, one, kNewFileMode, &error));
    EXPECT_EQ(error, std::errc::invalid_argument);
    EXPECT_FALSE(CopyFileAtomically(withNul, dir / "copy", kNewFileMode, &error));
    EXPECT_EQ(error, std::errc::invalid_argument);
    EXPECT_EQ(ReadBytes(dir / "keep"), std::vector<uint8_t>{7});

    ASSERT_TRUE(WriteFileAtomically(dir / "private", one, 0600));
    EXPECT_EQ(std::filesystem::status(dir / "private").permissions() &
                  (std::filesystem::perms::group_all | std::filesystem::perms::others_all),
              std::filesystem::perms::none);
    EXPECT_FALSE(WriteFileAtomically(dir / "missing" / "a", one, kNewFileMode, &error));
    EXPECT_EQ(error, std::errc::no_such_file_or_directory);
    EXPECT_EQ(dir.FileNames(), (std::vector<std::string>{"keep", longest, "private"}));
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

// A full disk, simulated in a child process by a file size limit: the writes fail part way,
// and what was there before must stay whole.
TEST(AtomicFile, DiskFillingUpKeepsTheEarlierFileAndLeavesNoTemporary) {
    TempDir dir;
    const std::vector<uint8_t> big(300000, 7);
    WriteBytes(dir / "src", big);
    WriteBytes(dir / "dst", {9});
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100000, 100000};
        setrlimit(RLIMIT_FSIZE, &limit);
        bool wrote = false, committed = false;
        {
            AtomicFile file(dir / "dst");
            wrote = file.Write(big);
            committed = file.Commit(); // must report the failed write all the same
        }
        _exit((CopyFileAtomically(dir / "src", dir / "dst") ? 1 : 0) |
              (wrote || committed ? 2 : 0));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "copy (1) or write and commit (2) hid the failed write";
    EXPECT_EQ(ReadBytes(dir / "dst"), std::vector<uint8_t>{9});
    EXPECT_EQ(dir.FileNames(), (std::vector<std::string>{"dst", "src"}));
}

TEST(BmpWriter, HeaderFullTableAndPaddedBottomUpRows) {
    cDIB dib;
    ASSERT_TRUE(dib.Create(3, 2, 8));
    std::vector<uint8_t> table(1024);
    table[4 * 255 + 2] = 0xEE;
    dib.SetPalette(table);
    dib.lpBits()[0] = 1;                        // bottom row, first pixel
    dib.lpBits()[dib.BytesPerScanline()] = 255; // top row
    const auto bytes = dib.SaveToMemory();
    ASSERT_EQ(bytes.size(), 1086u);
    const std::vector<uint8_t> header = {
        'B', 'M', 0x3E, 4, 0, 0, 0, 0, 0, 0, 0x36, 4, 0, 0, 40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1,
        0,   8,   0,    0, 0, 0, 0, 0, 0, 0, 0,    0, 0, 0, 0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 54), header);
    EXPECT_EQ(bytes[54 + 4 * 255 + 2], 0xEE);
    EXPECT_EQ(bytes[1078], 1);
    EXPECT_EQ(bytes[1082], 255);

    // A table of only the colours used, with their count in the header.
    const auto used = dib.SaveToMemory(2);
    EXPECT_EQ(used.size(), 54u + 8 + 8);
    EXPECT_EQ(used[10], 54 + 8);
    EXPECT_EQ(used[46], 2);
    EXPECT_EQ(used[54 + 8], 1);

    // Other depths: the table's size (none above 8 bits) moves the data offset.
    for (const auto& [bpp, size, offset] :
         {std::tuple{32, 54u + 24, 54}, std::tuple{1, 54u + 8 + 8, 62}}) {
        ASSERT_TRUE(dib.Create(3, 2, bpp));
        const auto other = dib.SaveToMemory();
        EXPECT_EQ(other.size(), size) << bpp;
        EXPECT_EQ(other[10], offset) << bpp;
    }
}
