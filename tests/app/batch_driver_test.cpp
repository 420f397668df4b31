#include "app/batch_driver.h"
#include "app/paths.h"

#include "batch_files.h"
#include "recording_host.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace lumatrim {
namespace {

TEST(PathSplitting, FolderFileNameBaseNameAndExtensionForEitherSeparator) {
    struct Case {
        char separator;
        std::string path, folder, fileName, baseName, extension;
    };
    const Case cases[] = {
        {'\\', "C:\\Web\\a.b.c.png", "C:\\Web\\", "a.b.c.png", "a.b.c", "png"},
        {'\\', "C:\\Web\\.gif", "C:\\Web\\", ".gif", "", "gif"},
        {'\\', "C:\\Web\\photo.", "C:\\Web\\", "photo.", "photo", ""},
        {'\\', "C:\\my.dir\\readme", "C:\\my.dir\\", "readme", "readme", "dir\\readme"},
        {'\\', "C:\\Web\\", "C:\\Web\\", "", "", "C:\\Web\\"},
        {'\\', "C:/Web/logo.gif", "", "C:/Web/logo.gif", "C:/Web/logo", "gif"},
        {'/', "/my.dir/readme", "/my.dir/", "readme", "readme", "dir/readme"},
        {'/', "/web/", "/web/", "", "", "/web/"},
        {'/', "C:\\Web\\logo.gif", "", "C:\\Web\\logo.gif", "C:\\Web\\logo", "gif"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(GetPathFolder(c.path, c.separator), c.folder);
        EXPECT_EQ(GetPathFileName(c.path, c.separator), c.fileName);
        EXPECT_EQ(GetFileBaseName(c.fileName), c.baseName);
        EXPECT_EQ(GetPathExtension(c.path), c.extension);
    }
}

TEST(FileSystemQueries, ShortPathApplicationFolderAndPathInFolder) {
    const test::TempDir dir;
    const std::string folder = dir.path().string() + "/";
    test::WriteBytes(dir / "my picture.png", {1});
    EXPECT_EQ(GetShortPath(folder), folder);
    EXPECT_EQ(GetShortPath(folder + "my picture.png"), folder + "my picture.png");
    EXPECT_EQ(GetShortPath(folder + "missing.png"), "");
    EXPECT_EQ(GetShortPath(""), "");

    ASSERT_FALSE(ApplicationFolder().empty());
    EXPECT_NE(ApplicationFolder().back(), '/');
    EXPECT_TRUE(FileExists(PathInFolder(ApplicationFolder(), "test_app")));
    EXPECT_EQ(PathInFolder("", "optipng"), "");
}

const std::vector<uint8_t> kPng = {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 0};
const test::Message kDone = {"Done.", "", MessageIcon::None};

// No optimizer unless a test writes one into `appFolder`, so outputs are plain copies.
class BatchDriverTest : public ::testing::Test {
protected:
    std::string Add(const std::string& name) {
        test::WriteBytes(files / name, kPng);
        return Listed(name);
    }
    std::string Listed(const std::string& name) const { return (files / name).string(); }
    // Every run in this suite also proves that it left its sources alone.
    void Run(test::RecordingHost& host) const {
        const test::SourceGuard guard = test::GuardItems({files.path()}, host.items);
        RunBatch(host, appFolder.path().string());
        EXPECT_EQ(guard.ChangedFiles(), std::vector<std::string>());
    }

    test::TempDir files;
    test::TempDir appFolder;
};

TEST_F(BatchDriverTest, EmptyListOnlySaysNoFilesAdded) {
    test::RecordingHost host({});
    Run(host);
    EXPECT_EQ(host.messages,
              (std::vector<test::Message>{{"No files added.", "", MessageIcon::None}}));
    EXPECT_TRUE(host.progress.empty());
}

// Progress counts every item, routed or not.
TEST_F(BatchDriverTest, WritesOutputsBesideSourcesWithProgressBeforeEachItem) {
    test::RecordingHost host(
        {Add("a.b.c.png"), Add("PHOTO.PNG"), Add("notes.txt"), Add("holiday photo.Png")});
    Run(host);
    EXPECT_EQ(host.progress, (std::vector<float>{25, 50, 75, 100, 0}));
    using enum MousePointer;
    EXPECT_EQ(host.pointers,
              (std::vector<MousePointer>{Hourglass, Hourglass, Hourglass, Hourglass, Default}));
    EXPECT_EQ(host.messages, std::vector{kDone});
    EXPECT_EQ(files.FileNames(),
              (std::vector<std::string>{"PHOTO.PNG", "PHOTO_reduced.png", "a.b.c.png",
                                        "a.b.c_reduced.png", "holiday photo.Png",
                                        "holiday photo_reduced.png", "notes.txt"}));
    ASSERT_EQ(host.reports.size(), 4u);
    EXPECT_EQ(host.reports[1].status, ItemStatus::Ok);
    EXPECT_EQ(host.reports[1].route, "png");
    EXPECT_EQ(host.reports[1].output, Listed("PHOTO_reduced.png"));
}

// Relative names, so the bare "png" (all extension by the path's rule) is tried too.
TEST_F(BatchDriverTest, FilesWithoutARouteArePassedOverSilently) {
    std::filesystem::create_directory(files / "my.png");
    const std::vector<std::string> names = {"scan.tif", "anim.gif2", "picture.jpeg2",
                                            "photo.",   "png",       "my.png/readme"};
    for (const std::string& name : names)
        Add(name);
    const std::vector<std::string> before = files.FileNames();
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(files.path());
    test::RecordingHost host(names);
    Run(host);
    std::filesystem::current_path(previous);

    EXPECT_EQ(files.FileNames(), before);
    EXPECT_EQ(host.messages, std::vector{kDone});
    for (const ItemReport& report : host.reports)
        EXPECT_EQ(report.status, ItemStatus::Skipped) << report.source;
}

// A failed write must not leave the atomic copy's temporary file beside the output.
TEST_F(BatchDriverTest, FailuresAreShownWithTheirPathAndTheRunGoesOn) {
    std::filesystem::create_directory(files / "folder.png");
    std::filesystem::create_directory(files / "blocked_reduced.png");
    test::RecordingHost host(
        {Listed("gone.png"), Listed("folder.png"), Add("blocked.png"), Add("fine.png")});
    Run(host);

    const std::string title = "Error on image";
    const std::string gone = "Cannot find the file: " + Listed("gone.png");
    EXPECT_EQ(host.messages, (std::vector<test::Message>{
                                 {gone, title, MessageIcon::Exclamation},
                                 {"Cannot read the file: " + Listed("folder.png"), title,
                                  MessageIcon::Exclamation},
                                 {"Cannot write the file: " + Listed("blocked_reduced.png"), title,
                                  MessageIcon::Exclamation},
                                 kDone}));
    ASSERT_EQ(host.reports.size(), 4u);
    EXPECT_EQ(host.reports[0].message, gone);
    EXPECT_EQ(host.reports[2].status, ItemStatus::Error);
    EXPECT_FALSE(host.reports[2].output);
    EXPECT_EQ(files.FileNames(),
              (std::vector<std::string>{"blocked.png", "blocked_reduced.png", "fine.png",
                                        "fine_reduced.png", "folder.png"}));
}

// The host's time limit is read inside the PNG route, so a throwing host stands in for a route
// that raises.
TEST_F(BatchDriverTest, WhatARouteRaisesFailsOnlyItsItem) {
    struct RaisingHost : test::RecordingHost {
        using RecordingHost::RecordingHost;
        std::optional<std::chrono::milliseconds> ChildTimeLimit() const override {
            throw std::overflow_error("too big");
        }
    };
    RaisingHost host({Add("a.png"), Add("b.png")});
    Run(host);
    EXPECT_EQ(host.messages, (std::vector<test::Message>{
                                 {"Unexpected error (too big) reducing: " + Listed("a.png"),
                                  "Error on image", MessageIcon::Exclamation},
                                 {"Unexpected error (too big) reducing: " + Listed("b.png"),
                                  "Error on image", MessageIcon::Exclamation},
                                 kDone}));
    EXPECT_EQ(files.FileNames(), (std::vector<std::string>{"a.png", "b.png"}));
}

// Progress after the change is over the new count.
TEST_F(BatchDriverTest, StopsCleanlyWhenTheListShrinksDuringARun) {
    test::WriteScript(appFolder / "optipng", "sleep 0.25");
    test::RecordingHost host({Add("a.png"), Add("b.png"), Add("c.png"), Add("d.png")});
    host.onEvents = [](test::RecordingHost& self) { self.items.resize(2); };
    Run(host);
    EXPECT_EQ(host.reports.size(), 2u);
    EXPECT_EQ(host.progress, (std::vector<float>{25, 100, 0}));
    EXPECT_EQ(host.messages.back(), kDone);
}

} // namespace
} // namespace lumatrim
