#include "app/png_route.h"

#include "app/paths.h"
#include "recording_host.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace lumatrim {
namespace {

const std::vector<uint8_t> kSource = {0x89, 'P', 'N', 'G', 1, 2, 3, 4, 5, 6, 7, 8};
const std::function<void()> kNoEvents = [] {};

class PngRouteTest : public ::testing::Test {
protected:
    PngRouteTest() { test::WriteBytes(source(), kSource); }

    std::string source() const { return (files / "in.png").string(); }
    std::string output() const { return (files / "in_reduced.png").string(); }
    std::string optimizer() const { return (tools / "optipng").string(); }

    RouteResult Reduce() const { return ReducePngWith(source(), output(), optimizer(), kNoEvents); }

    test::TempDir files;
    test::TempDir tools;
};

TEST_F(PngRouteTest, KeepsASmallerResultAndRemovesTheUniqueWorkFile) {
    test::WriteScript(tools / "optipng", "echo \"$1\" > " + (tools / "work-path").string() +
                                             "\nprintf 'tiny' > \"$1\"");
    ASSERT_FALSE(Reduce());

    EXPECT_EQ(test::ReadBytes(output()), (std::vector<uint8_t>{'t', 'i', 'n', 'y'}));
    EXPECT_EQ(test::ReadBytes(source()), kSource);
    const std::vector<uint8_t> seen = test::ReadBytes(tools / "work-path");
    const std::filesystem::path work(std::string(seen.begin(), seen.end() - 1));
    EXPECT_EQ(work.parent_path(), std::filesystem::temp_directory_path());
    EXPECT_EQ(work.extension(), ".png");
    EXPECT_FALSE(std::filesystem::exists(work));
    EXPECT_EQ(files.FileNames(), (std::vector<std::string>{"in.png", "in_reduced.png"}));
}

TEST_F(PngRouteTest, CopiesTheSourceWhenTheOptimizerIsMissingFailsOrGrowsTheFile) {
    ASSERT_FALSE(Reduce());
    EXPECT_EQ(test::ReadBytes(output()), kSource) << "no optimizer";
    for (const char* body : {": > \"$1\"\nexit 1", "printf 'more bytes than before' >> \"$1\""}) {
        std::filesystem::remove(output());
        test::WriteScript(tools / "optipng", body);
        ASSERT_FALSE(Reduce());
        EXPECT_EQ(test::ReadBytes(output()), kSource) << body;
    }
}

TEST_F(PngRouteTest, UnreadableSourceIsReportedWithItsPath) {
    const std::string folderNamedPng = (files / "folder.png").string();
    std::filesystem::create_directory(folderNamedPng);
    const RouteResult failure = ReducePngWith(folderNamedPng, output(), optimizer(), kNoEvents);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->prompt, "Cannot read the file: " + folderNamedPng);
    EXPECT_EQ(failure->title, "Error on image");
    EXPECT_FALSE(std::filesystem::exists(output()));
}

TEST_F(PngRouteTest, UnwritableOutputIsReportedAndLeavesNothingBehind) {
    std::filesystem::create_directory(output());
    const RouteResult failure = Reduce();
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->prompt, "Cannot write the file: " + output());
    EXPECT_TRUE(std::filesystem::is_directory(output()));
    EXPECT_EQ(files.FileNames(), (std::vector<std::string>{"in.png", "in_reduced.png"}));
}

// optipng itself, through the link the build puts into its application folder.
TEST(PngRouteWithOptipng, WritesASmallerValidPngAndLeavesTheSourceAlone) {
    const std::string optipng =
        PathInFolder(std::filesystem::path(ApplicationFolder()).parent_path().string(), "optipng");
    if (!FileExists(optipng)) GTEST_SKIP() << "no optipng beside the build";
    const test::TempDir dir;
    const std::filesystem::path source = dir / "posbar.png";
    std::filesystem::copy_file(test::DataFile("audacious-plugins-data_posbar.png"), source);
    const std::vector<uint8_t> original = test::ReadBytes(source);

    ASSERT_FALSE(ReducePngWith(source.string(), (dir / "out.png").string(), optipng, kNoEvents));
    const std::vector<uint8_t> reduced = test::ReadBytes(dir / "out.png");
    EXPECT_LT(reduced.size(), original.size());
    EXPECT_TRUE(std::equal(original.begin(), original.begin() + 8, reduced.begin()));
    EXPECT_EQ(test::ReadBytes(source), original);
}

} // namespace
} // namespace lumatrim
