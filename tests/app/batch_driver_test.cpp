#include "app/batch_driver.h"

#include "recording_host.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace lumatrim {
namespace {

const std::vector<uint8_t> kPng = {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 0};

// Runs without an optimizer unless the test writes one into `appFolder`.
class BatchDriverTest : public ::testing::Test {
protected:
    std::string Add(const std::string& name) {
        test::WriteBytes(files / name, kPng);
        return Listed(name);
    }
    std::string Listed(const std::string& name) const { return (files / name).string(); }
    void Run(test::RecordingHost& host) const { RunBatch(host, appFolder.path().string()); }

    test::TempDir files;
    test::TempDir appFolder;
};

TEST_F(BatchDriverTest, EmptyListOnlySaysNoFilesAdded) {
    test::RecordingHost host({});
    Run(host);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].prompt, "No files added.");
    EXPECT_EQ(host.messages[0].title, "");
    EXPECT_EQ(host.messages[0].icon, MessageIcon::None);
    EXPECT_TRUE(host.progress.empty());
    EXPECT_TRUE(host.pointers.empty());
}

TEST_F(BatchDriverTest, ShowsProgressBeforeEachItemThenResetsAndSaysDone) {
    test::RecordingHost host({Add("a.png"), Listed("b.txt"), Listed("c.txt"), Add("d.png")});
    Run(host);
    EXPECT_EQ(host.progress, (std::vector<float>{25, 50, 75, 100, 0}));
    using enum MousePointer;
    EXPECT_EQ(host.pointers,
              (std::vector<MousePointer>{Hourglass, Hourglass, Hourglass, Hourglass, Default}));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].prompt, "Done.");
    EXPECT_EQ(host.messages[0].title, "");
    EXPECT_EQ(host.reports.size(), 4u);
}

TEST_F(BatchDriverTest, FilesWithoutARouteArePassedOverSilently) {
    std::filesystem::create_directory(files / "my.png");
    const std::vector<std::string> names = {"photo.jpg", "pic.BMP", "anim.gif",     "picture.jpeg",
                                            "photo.",    "readme",  "my.png/readme"};
    for (const std::string& name : names)
        Add(name);
    const std::vector<std::string> before = files.FileNames();
    test::RecordingHost host({});
    for (const std::string& name : names)
        host.items.push_back(Listed(name));

    Run(host);
    EXPECT_EQ(files.FileNames(), before);
    ASSERT_EQ(host.messages.size(), 1u);
    ASSERT_EQ(host.reports.size(), names.size());
    for (const ItemReport& report : host.reports) {
        SCOPED_TRACE(report.source);
        EXPECT_EQ(report.status, ItemStatus::Skipped);
        EXPECT_FALSE(report.route);
    }
}

// A bare relative name like "png" is all extension by the path's rule; it still has none.
TEST_F(BatchDriverTest, ANameWithoutADotHasNoRouteEvenWhenItSpellsOne) {
    Add("png");
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(files.path());
    test::RecordingHost host({"png"});
    Run(host);
    std::filesystem::current_path(previous);
    EXPECT_EQ(host.reports.at(0).status, ItemStatus::Skipped);
    EXPECT_EQ(files.FileNames(), std::vector<std::string>{"png"});
}

TEST_F(BatchDriverTest, WritesEachOutputBesideItsSourceWithALowerCaseSuffix) {
    const std::vector<std::pair<std::string, std::string>> sourceToOutput = {
        {"a.b.c.png", "a.b.c_reduced.png"},
        {"PHOTO.PNG", "PHOTO_reduced.png"},
        {"x_reduced.png", "x_reduced_reduced.png"},
        {"holiday photo.Png", "holiday photo_reduced.png"},
    };
    test::RecordingHost host({});
    for (const auto& [source, output] : sourceToOutput)
        host.items.push_back(Add(source));
    host.items.push_back(host.items.front()); // listed twice: processed twice

    Run(host);
    ASSERT_EQ(host.reports.size(), 5u);
    for (size_t i = 0; i < sourceToOutput.size(); ++i) {
        const ItemReport& report = host.reports[i];
        EXPECT_EQ(report.status, ItemStatus::Ok);
        EXPECT_EQ(report.output, Listed(sourceToOutput[i].second));
        EXPECT_EQ(test::ReadBytes(files / sourceToOutput[i].second), kPng);
        EXPECT_EQ(test::ReadBytes(report.source), kPng);
    }
    EXPECT_EQ(host.reports[4].output, host.reports[0].output);
}

TEST_F(BatchDriverTest, FailuresAreShownWithTheirPathAndTheRunGoesOn) {
    std::filesystem::create_directory(files / "blocked_reduced.png");
    test::RecordingHost host({Listed("gone.png"), Add("blocked.png"), Add("fine.png")});
    Run(host);

    ASSERT_EQ(host.messages.size(), 3u);
    EXPECT_EQ(host.messages[0].prompt, "Cannot find the file: " + Listed("gone.png"));
    EXPECT_EQ(host.messages[1].prompt, "Cannot write the file: " + Listed("blocked_reduced.png"));
    for (int i : {0, 1}) {
        EXPECT_EQ(host.messages[i].title, "Error on image");
        EXPECT_EQ(host.messages[i].icon, MessageIcon::Exclamation);
        EXPECT_EQ(host.reports[i].status, ItemStatus::Error);
        EXPECT_EQ(host.reports[i].message, host.messages[i].prompt);
        EXPECT_FALSE(host.reports[i].output);
    }
    EXPECT_EQ(host.messages[2].prompt, "Done.");
    EXPECT_EQ(host.reports[2].status, ItemStatus::Ok);
}

TEST_F(BatchDriverTest, StopsCleanlyWhenTheListShrinksDuringARun) {
    test::WriteScript(appFolder / "optipng", "sleep 0.25");
    test::RecordingHost host({Add("a.png"), Add("b.png"), Add("c.png")});
    host.onEvents = [](test::RecordingHost& self) { self.items.resize(1); };
    Run(host);
    EXPECT_EQ(host.reports.size(), 1u);
    EXPECT_EQ(host.messages.back().prompt, "Done.");
    EXPECT_EQ(host.progress.back(), 0);
}

} // namespace
} // namespace lumatrim
