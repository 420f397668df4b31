// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/batch/batch_driver.h"
#include "app/batch/folder_walk.h"
#include "app/batch/output_collisions.h"
#include "app/batch/parallel_batch.h"
#include "app/batch/path_list.h"
#include "app/batch/result_choice.h"

#include "recording_host.h"
#include "support/test_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/stat.h>

namespace lumatrim {
namespace {

namespace fs = std::filesystem;
using test::ErrorOnImage;
using test::kDone;
using Names = std::vector<std::string>;

// The stand-in optimizer keeps a PNG source's first six bytes; one going on "SLOW" after its
// signature takes a while. Every run also proves that it left its sources alone and no temporary
// file behind. Parallel runs against one at a time are in scale_out_test.cpp and
// cli_fault_test.cpp.
class BatchTest : public ::testing::Test {
protected:
    BatchTest() {
        test::WriteScript(appFolder / "optipng", "case $(head -c 8 \"$1\") in *SLOW) sleep 0.3;; "
                                                 "esac\nhead -c 6 \"$1\" > \"$1.part\"\n"
                                                 "mv \"$1.part\" \"$1\"");
    }
    std::string Add(const std::string& name, const std::string& content = "\x89PNG-source") {
        return files.Write(name, {content.begin(), content.end()});
    }
    std::string Listed(const std::string& name) const { return files.Path(name); }
    void Run(test::RecordingHost& host, unsigned jobs = 1) const {
        const test::SourceGuard guard = test::GuardItems({files.path()}, host.items);
        RunParallelBatch(host, appFolder.path().string(), jobs);
        EXPECT_EQ(guard.ChangedFiles(), Names());
        EXPECT_EQ(test::TemporaryFilesIn(files.path()), Names());
    }

    test::TempDir files, appFolder;
};

// Progress counts every item, routed or not; "my.png/readme" and a bare "png" have no route.
TEST_F(BatchTest, WritesOutputsBesideSourcesWithProgressBeforeEachItemAndSkipsTheRest) {
    const Names unrouted = {"scan.tif", "photo.", "png", "my.png/readme"};
    for (const std::string& name : unrouted)
        Add(name);
    test::RecordingHost host(
        {Add("a.b.c.png"), Add("PHOTO.PNG"), Add("notes.txt"), Add("holiday photo.Png")});
    host.items.insert(host.items.end(), unrouted.begin(), unrouted.end());
    const fs::path previous = fs::current_path();
    fs::current_path(files.path());
    Run(host);
    fs::current_path(previous);

    EXPECT_EQ(host.progress, (std::vector<float>{12.5, 25, 37.5, 50, 62.5, 75, 87.5, 100, 0}));
    std::vector<MousePointer> pointers(8, MousePointer::Hourglass);
    pointers.push_back(MousePointer::Default);
    EXPECT_EQ(host.pointers, pointers);
    EXPECT_EQ(host.messages, std::vector{kDone});
    EXPECT_EQ(files.FileNames(),
              (Names{"PHOTO.PNG", "PHOTO_reduced.png", "a.b.c.png", "a.b.c_reduced.png",
                     "holiday photo.Png", "holiday photo_reduced.png", "my.png", "notes.txt",
                     "photo.", "png", "scan.tif"}));
    EXPECT_EQ(test::ReadBytes(files / "PHOTO_reduced.png"),
              (std::vector<uint8_t>{0x89, 'P', 'N', 'G', '-', 's'}));
    using enum ItemStatus;
    ASSERT_EQ(test::Statuses(host.reports),
              (std::vector{Ok, Ok, Skipped, Ok, Skipped, Skipped, Skipped, Skipped}));
    EXPECT_EQ(
        std::pair(host.reports[1].route, host.reports[1].output),
        std::pair(std::optional<std::string>("png"), std::optional(Listed("PHOTO_reduced.png"))));
}

// A host whose time limit throws stands in for a route that raises: the item fails with the
// cause and the run goes on. Missing, unnamable, unreadable and unwritable items fail end to end
// in cli_fault_test.
TEST_F(BatchTest, FailuresAreShownWithTheirPathAndCauseAndTheRunGoesOn) {
    struct RaisingHost : test::RecordingHost {
        using RecordingHost::RecordingHost;
        std::optional<std::chrono::milliseconds> ChildTimeLimit() const override {
            throw std::overflow_error("too big");
        }
    };
    RaisingHost host({Add("a.png"), Add("b.png")});
    Run(host);
    const std::string cause = "Unexpected error (too big) reducing: ";
    EXPECT_EQ(host.messages, (std::vector{ErrorOnImage(cause + Listed("a.png")),
                                          ErrorOnImage(cause + Listed("b.png")), kDone}));
    EXPECT_EQ(files.FileNames(), (Names{"a.png", "b.png"}));
}

// Progress after the change is over the new count; an empty list says so.
TEST_F(BatchTest, StopsCleanlyWhenTheListShrinksDuringARun) {
    test::RecordingHost host(
        {Add("a.png", "\x89PNGSLOW"), Add("b.png"), Add("c.png"), Add("d.png")});
    host.onEvents = [](test::RecordingHost& self) { self.items.resize(2); };
    Run(host);
    EXPECT_EQ(host.reports.size(), 2u);
    EXPECT_EQ(host.progress, (std::vector<float>{25, 100, 0}));
    EXPECT_EQ(host.messages.back(), kDone);
    test::RecordingHost empty({});
    Run(empty, 4);
    EXPECT_EQ(empty.messages, (std::vector<test::Message>{{"No files added.", "", {}}}));
    EXPECT_TRUE(empty.progress.empty());
}

// Asked to, a reduced output (here the optimizer's work file) and a copy of the source both get
// the source's modification time to the nanosecond; otherwise they are as new as the run.
TEST_F(BatchTest, OutputsKeepTheSourcesModificationTimeOnlyWhenAsked) {
    const timespec old = {1000000000, 123456789};
    const timespec times[2] = {{0, UTIME_OMIT}, old};
    for (const bool preserve : {false, true}) {
        SCOPED_TRACE(preserve);
        test::RecordingHost host({Add("reduced.png"), Add("copied.png", "\x89PNG")});
        for (const std::string& source : host.items)
            ASSERT_EQ(::utimensat(AT_FDCWD, source.c_str(), times, 0), 0);
        host.preserveTimes = preserve;
        Run(host);
        ASSERT_EQ(host.reports.at(1).result, ItemResult::Copy);
        for (const ItemReport& report : host.reports) // file times hold nanoseconds
            EXPECT_EQ(fs::last_write_time(report.output.value()) ==
                          fs::last_write_time(report.source),
                      preserve);
    }
}

// Ties go to what changes least: the copy, then the lossless alternative, then the route's own.
TEST(ChooseResult, TheSmallestWinsTiesGoToTheSourceAndAllowLargerKeepsTheRoutesOwn) {
    using enum ItemResult;
    const std::tuple<CandidateSizes, bool, std::optional<ItemResult>> cases[] = {
        {{100, 90, std::nullopt, std::nullopt}, false, Reduced},
        {{100, 110, std::nullopt, std::nullopt}, false, Copy},
        {{100, 100, std::nullopt, std::nullopt}, false, Copy},
        {{100, 90, 80, std::nullopt}, false, Lossless},
        {{100, 80, 80, std::nullopt}, false, Lossless},
        {{100, 120, 80, std::nullopt}, true, Reduced},
        {{100, std::nullopt, 120, std::nullopt}, true, Lossless},
        {{100, std::nullopt, std::nullopt, std::nullopt}, true, Copy},
        {{std::nullopt, 120, std::nullopt, std::nullopt}, false, Reduced},
        {{std::nullopt, std::nullopt, std::nullopt, std::nullopt}, false, std::nullopt},
        {{100, 90, 80, 60}, false, Lossy},
        {{100, 90, 60, 60}, false, Lossless},
        {{100, 90, 80, 120}, true, Lossy},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(ChooseResult(std::get<0>(cases[i]), std::get<1>(cases[i])), std::get<2>(cases[i]))
            << i;
}

// Paths are kept in blocks of a mebibyte: those on either side of a block's end, an empty one and
// one longer than a block all come back whole.
TEST(PathList, GivesBackEveryPathAcrossBlocks) {
    std::vector<std::string> paths;
    for (int i = 0; i < 3000; ++i)
        paths.push_back(std::string(999, 'a' + i % 26) + std::to_string(i));
    paths.insert(paths.begin() + 1500, {std::string(), std::string(3 << 20, 'x')});
    PathList list;
    for (const std::string& path : paths)
        list.Add(path);
    list.ShrinkToFit();
    ASSERT_EQ(list.Size(), paths.size());
    for (size_t i = 0; i < paths.size(); ++i)
        ASSERT_EQ(list[i], paths[i]) << i;
}

TEST(LatestConflicts, ItemsSharingASourceOrAnOutputWaitForTheLatestEarlierOne) {
    const test::TempDir dir;
    const std::string d = dir.path().string() + "/";
    for (const char* name : {"a.png", "a.PNG", "b.png", "real/c.png"})
        dir.Write(name, {1});
    fs::create_directory_symlink(dir / "real", dir / "link");
    fs::create_symlink(dir / "real/c.png", dir / "alias.png");
    const PathList items = {
        d + "a.png",         // 0
        d + "notes.txt",     // 1: no route, touches nothing
        d + "b.png",         // 2
        d + "a.PNG",         // 3: same output as 0
        d + "a_reduced.png", // 4: reads what 0 and 3 write
        d + "real/c.png",    // 5
        d + "link/c.png",    // 6: the same file through a linked folder
        d + "./b.png",       // 7: 2 spelled differently
        d + "notes.txt",     // 8
        d + "alias.png",     // 9: a link to 5's source
        d + "gone/x.png",    // 10: in no folder, so it fails before it touches a file
        d + "gone/x.png",    // 11
    };
    EXPECT_EQ(LatestConflicts(items),
              (std::vector<std::ptrdiff_t>{-1, -1, -1, 0, 3, -1, 5, 2, -1, 6, -1, -1}));
}

// More items fail at once than the run holds outcomes for, and every other one waits for the
// one before it (the same path): the run must still report them all, in order.
TEST_F(BatchTest, ALongListOfFailingItemsIsReportedWholeAndInOrder) {
    Names items;
    for (int i = 0; i < 10000; ++i)
        items.push_back(Listed(i % 2 == 0 ? "gone.png" : "gone-" + std::to_string(i) + ".png"));
    test::RecordingHost host(items);
    Run(host, 3);
    ASSERT_EQ(host.reports.size(), items.size());
    for (size_t i = 0; i < items.size(); ++i)
        ASSERT_EQ(host.reports[i].source, items[i]) << i;
}

// A host that fails mid-run must not leave workers waiting for items it will never report.
TEST_F(BatchTest, AHostThatThrowsEndsAParallelRunWithoutHanging) {
    struct ThrowingHost : test::RecordingHost {
        using RecordingHost::RecordingHost;
        void ReportItem(const ItemReport&) override { throw std::runtime_error("host broke"); }
    };
    ThrowingHost host({Add("1.png"), Add("2.png"), Add("3.png"), Add("4.png"), Listed("1.png")});
    EXPECT_THROW(RunParallelBatch(host, appFolder.path().string(), 2), std::runtime_error);
}

// The folder walk both faces share. The window's use of it (patterns, unreadable folders, the
// pointer) is checked in tests/ui; here, the routed files of a tree and our outputs beside their
// sources.
TEST(FolderWalk, RoutedFilesShallowestFirstWithoutHiddenFoldersLinksTildeFilesOrOurOutputs) {
    const test::TempDir tree;
    for (const char* name : {"x.gif", "x_reduced.gif", "Y.PNG", "Y_reduced.png", "notes.txt",
                             "~lock.jpg", "lock~.jpg", ".dot.bmp", "b/z.jpeg", "b/z_reduced.jpg",
                             "b/lone_reduced.gif", "b/deep/w.jpg", "A/v.bmp", ".hidden/h.gif"})
        tree.Write(name, {1});
    fs::create_directory_symlink(tree.path(), tree / "b/loop");
    fs::create_symlink(tree / "x.gif", tree / "b/link.gif");
    fs::create_symlink(tree / "nowhere.gif", tree / "b/dangling.gif");

    const std::string root = tree.path().string();
    std::vector<std::string> expected;
    for (const char* name : {".dot.bmp", "lock~.jpg", "x.gif", "Y.PNG", "A/v.bmp", "b/link.gif",
                             "b/lone_reduced.gif", "b/z.jpeg", "b/deep/w.jpg"})
        expected.push_back(root + "/" + name);
    EXPECT_EQ(CollectRoutedFiles(root), expected);
    EXPECT_EQ(CollectRoutedFiles(root + "/"), expected); // one separator, given or not
    EXPECT_EQ(CollectFiles(root + "/b", "*.GIF"),
              (std::vector<std::string>{root + "/b/link.gif", root + "/b/lone_reduced.gif"}));
}

// Our outputs' suffixes are lower case whatever the source's extension; "jpeg" and "jpe"
// sources give "_reduced.jpg" too.
TEST(FolderWalk, AnOutputIsOursOnlyWhereItsSourceStandsBesideIt) {
    const test::TempDir dir;
    for (const char* name : {"a.GiF", "b.JPE", "c.png", "d.jpeg"})
        dir.Write(name, {1});
    fs::create_directory(dir / "e.gif");
    for (const auto& [name, ours] : std::vector<std::pair<std::string, bool>>{
             {"a_reduced.gif", true},
             {"b_reduced.jpg", true},
             {"c_reduced.png", true},
             {"d_reduced.jpg", true},
             {"c_reduced.gif", false},
             {"a_reduced.GIF", false},
             {"e_reduced.gif", false}, // a folder is no source
             {"lone_reduced.bmp", false},
             {"c.png", false}})
        EXPECT_EQ(IsOwnOutputBesideSource((dir / name).string()), ours) << name;
}

} // namespace
} // namespace lumatrim
