#include "app/output_collisions.h"
#include "app/parallel_batch.h"
#include "app/start_order.h"

#include "batch_files.h"
#include "recording_host.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace lumatrim {
namespace {

namespace fs = std::filesystem;

TEST(LatestConflicts, ItemsSharingASourceOrAnOutputWaitForTheLatestEarlierOne) {
    const test::TempDir dir;
    const std::string d = dir.path().string() + "/";
    fs::create_directory(dir / "real");
    fs::create_directory_symlink(dir / "real", dir / "link");
    for (const char* name : {"a.png", "a.PNG", "b.png", "real/c.png"})
        test::WriteBytes(dir / name, {1});
    const std::vector<std::string> items = {
        d + "a.png",         // 0
        d + "notes.txt",     // 1: no route, touches nothing
        d + "b.png",         // 2
        d + "a.PNG",         // 3: same output as 0
        d + "a_reduced.png", // 4: reads what 0 and 3 write
        d + "real/c.png",    // 5
        d + "link/c.png",    // 6: the same file through a linked folder
        d + "./b.png",       // 7: 2 spelled differently
        d + "notes.txt",     // 8
    };
    EXPECT_EQ(LatestConflicts(items),
              (std::vector<std::ptrdiff_t>{-1, -1, -1, 0, 3, -1, 5, 2, -1}));
}

TEST(StartOrder, FilesThatMatterFirstLargestFirstThenTheRestInListOrder) {
    struct Case {
        std::vector<uintmax_t> sizes;
        unsigned jobs;
        std::vector<size_t> order;
    };
    const Case cases[] = {
        {{10, 100, 5, 50, 0}, 2, {1, 3, 0, 2, 4}},   // 100 and 50 reach 1/8 of 165
        {{9000, 1, 2, 3, 4000}, 1, {0, 4, 1, 2, 3}}, // one worker: 1/4 of the total
        {{7, 7, 7}, 2, {0, 1, 2}},                   // equal sizes keep list order
        {{0, 0, 0}, 4, {0, 1, 2}},                   // nothing known, nothing moves
        {{}, 2, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StartOrder(c.sizes, c.jobs), c.order) << ::testing::PrintToString(c.sizes);
}

// The optimizer stands in for slow and fast work: a source starting "SLOW" takes a while, so a
// run that let a later item overtake an earlier one with the same output would end with the
// earlier item's output.
class ParallelBatchTest : public ::testing::Test {
protected:
    ParallelBatchTest() {
        test::WriteScript(appFolder / "optipng", "case $(head -c 4 \"$1\") in SLOW) sleep 0.3;; "
                                                 "esac\nhead -c 6 \"$1\" > \"$1.part\"\n"
                                                 "mv \"$1.part\" \"$1\"");
    }
    std::string Add(const std::string& name, const std::string& content) {
        test::WriteBytes(files / name, {content.begin(), content.end()});
        return (files / name).string();
    }
    void Run(test::RecordingHost& host, unsigned jobs) const {
        const test::SourceGuard guard = test::GuardItems({files.path()}, host.items);
        RunParallelBatch(host, appFolder.path().string(), jobs);
        EXPECT_EQ(guard.ChangedFiles(), std::vector<std::string>());
    }

    test::TempDir files;
    test::TempDir appFolder;
};

TEST_F(ParallelBatchTest, HostSeesTheSameCallsAndFilesAsInAOneAtATimeRun) {
    const std::vector<std::string> items = {Add("a.PNG", "SLOW-upper-case"),
                                            Add("b.png", "SLOW-bbbbbbbbbb"),
                                            Add("a.png", "FAST-lower"),
                                            (files / "gone.png").string(),
                                            Add("c.txt", "text"),
                                            Add("d.png", "FAST-dddd"),
                                            (files / "a_reduced.png").string(),
                                            Add("b.png", "SLOW-bbbbbbbbbb")};
    test::RecordingHost sequential(items);
    Run(sequential, 1);
    const std::vector<uint8_t> lastWins = test::ReadBytes(files / "a_reduced.png");
    EXPECT_EQ(std::string(lastWins.begin(), lastWins.end()), "FAST-l");

    for (const unsigned jobs : {2U, 3U, 8U}) {
        SCOPED_TRACE(jobs);
        for (const std::string& name : files.FileNames())
            if (name.find("_reduced") != std::string::npos) fs::remove(files / name);
        test::RecordingHost parallel(items);
        Run(parallel, jobs);
        EXPECT_EQ(parallel.progress, sequential.progress);
        EXPECT_EQ(parallel.pointers, sequential.pointers);
        EXPECT_EQ(parallel.messages, sequential.messages);
        ASSERT_EQ(parallel.reports.size(), sequential.reports.size());
        for (size_t i = 0; i < parallel.reports.size(); ++i) {
            EXPECT_EQ(parallel.reports[i].source, sequential.reports[i].source);
            EXPECT_EQ(parallel.reports[i].output, sequential.reports[i].output);
            EXPECT_EQ(parallel.reports[i].status, sequential.reports[i].status);
            EXPECT_EQ(parallel.reports[i].message, sequential.reports[i].message);
        }
        EXPECT_EQ(test::ReadBytes(files / "a_reduced.png"), lastWins);
        EXPECT_EQ(test::ReadBytes(files / "a_reduced_reduced.png"), lastWins);
    }
}

TEST_F(ParallelBatchTest, EmptyListOnlySaysNoFilesAdded) {
    test::RecordingHost host({});
    Run(host, 4);
    EXPECT_EQ(host.messages,
              (std::vector<test::Message>{{"No files added.", "", MessageIcon::None}}));
    EXPECT_TRUE(host.progress.empty());
}

// A host that fails mid-run must not leave workers waiting for items it will never report.
TEST_F(ParallelBatchTest, AHostThatThrowsEndsTheRunWithoutHanging) {
    struct ThrowingHost : test::RecordingHost {
        using RecordingHost::RecordingHost;
        void ReportItem(const ItemReport&) override { throw std::runtime_error("host broke"); }
    };
    std::vector<std::string> items;
    for (const char* name : {"1.png", "2.png", "3.png", "4.png", "5.png"})
        items.push_back(Add(name, "FAST-" + std::string(name)));
    items.push_back(items.front());
    ThrowingHost host(items);
    EXPECT_THROW(RunParallelBatch(host, appFolder.path().string(), 2), std::runtime_error);
}

TEST(DefaultJobCount, IsAtLeastOne) {
    EXPECT_GE(DefaultJobCount(), 1U);
}

} // namespace
} // namespace lumatrim
