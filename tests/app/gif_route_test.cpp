#include "app/batch_driver.h"

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

} // namespace
} // namespace lumatrim
