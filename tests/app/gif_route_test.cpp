#include "app/batch_driver.h"

#include "app/gif_route.h"
#include "recording_host.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace lumatrim {
namespace {

TEST(GifRouteTest, ReducesGifsBesideTheirSourcesAndReportsLoadAndSaveFailures) {
    const test::TempDir files;
    const std::vector<uint8_t> animation =
        test::ReadBytes(test::DataFile("gif/ckeditor_kama_spinner.gif"));
    for (const char* name : {"spin.GIF", "blocked.gif", "again.gif"})
        test::WriteBytes(files / name, animation);
    test::WriteBytes(files / "broken.gif", {'P', 'N', 'G', 0});
    std::filesystem::create_directory(files / "blocked_reduced.gif");
    const auto path = [&](const char* name) { return (files / name).string(); };
    test::RecordingHost host(
        {path("spin.GIF"), path("broken.gif"), path("blocked.gif"), path("again.gif")});
    RouteWorkspace workspace;
    RunBatch(host, files.path().string(), workspace);

    using enum MessageIcon;
    EXPECT_EQ(host.messages,
              (std::vector<test::Message>{{"Error loading gif file.." + path("broken.gif"),
                                           "Error Loading GIF file", Exclamation},
                                          {"Error saving gif file.." + path("blocked_reduced.gif"),
                                           "Error Saving GIF file", Exclamation},
                                          {"Done.", "", None}}));
    ASSERT_EQ(host.reports.size(), 4u);
    EXPECT_EQ(host.reports[0].route, "gif");
    EXPECT_EQ(host.reports[0].output, path("spin_reduced.gif"));
    EXPECT_EQ(host.reports[2].status, ItemStatus::Error);
    EXPECT_EQ(host.reports[3].status, ItemStatus::Ok);
    EXPECT_FALSE(workspace.gif); // the document does not outlive the run

    EXPECT_EQ(test::ReadBytes(files / "spin.GIF"), animation);
    const std::vector<uint8_t> reduced = test::ReadBytes(files / "spin_reduced.gif");
    EXPECT_LT(reduced.size(), animation.size());
    EXPECT_EQ(test::ReadBytes(files / "again_reduced.gif"), reduced);
}

TEST(GifRouteTest, AGifBeyondTheReadersLimitsSaysSo) {
    const test::TempDir files;
    // One 20000 x 20000 frame (0x4E20 a side); its one data byte is never decoded.
    test::WriteBytes(files / "huge.gif",
                     {'G',  'I',  'F',  '8',  '9', 'a', 1, 0,    1, 0,   0x80, 0,
                      0,    0,    0,    0,    1,   1,   1, 0x2C, 0, 0,   0,    0,
                      0x20, 0x4E, 0x20, 0x4E, 0,   2,   1, 0,    0, 0x3B});
    const std::string source = (files / "huge.gif").string();
    test::RecordingHost host({source});
    RunBatch(host, files.path().string());
    ASSERT_FALSE(host.messages.empty());
    EXPECT_EQ(std::get<0>(host.messages[0]), std::string(kGifTooLarge) + source);
    EXPECT_FALSE(std::filesystem::exists(files / "huge_reduced.gif"));
}

} // namespace
} // namespace lumatrim
