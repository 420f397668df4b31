#include "app/paths.h"
#include "app/png_route.h"
#include "app/shell.h"

#include "recording_host.h"
#include "support/source_guard.h"
#include "support/test_support.h"

#include <cerrno>
#include <csignal>
#include <gtest/gtest.h>

namespace lumatrim {
namespace {

TEST(ShellAndWaitTest, ReturnsExitCodeSignalPlus128OrStartFailure) {
    const test::TempDir dir;
    test::WriteScript(dir / "tool", "exit 3");
    EXPECT_EQ(ShellAndWait({(dir / "tool").string()}, 0, test::kNoEvents), 3);
    EXPECT_EQ(ShellAndWait({"/bin/sh", "-c", "kill -9 $$"}, 0, test::kNoEvents), 128 + 9);
    EXPECT_EQ(ShellAndWait({(dir / "missing").string()}, 0, test::kNoEvents),
              kStartFailureBase + ENOENT);
}

// The pid file shows the child is gone afterwards, not left running behind the run.
TEST(ShellAndWaitTest, KillsAChildThatRunsPastItsTimeLimit) {
    const test::TempDir dir;
    test::WriteScript(dir / "hang", "echo $$ > \"$1\"\nexec sleep 30");
    EXPECT_EQ(ShellAndWait({(dir / "hang").string(), (dir / "pid").string()}, 0, test::kNoEvents,
                           std::chrono::milliseconds(200)),
              kChildTimedOut);
    const std::vector<uint8_t> pid = test::ReadBytes(dir / "pid");
    EXPECT_NE(::kill(std::stoi(std::string(pid.begin(), pid.end())), 0), 0);
    EXPECT_EQ(ShellAndWait({"/bin/sh", "-c", "exit 4"}, 0, test::kNoEvents, std::chrono::hours(1)),
              4);
}

TEST(ShellAndWaitTest, PassesArgumentsVerbatimWithoutAShellAndServicesEvents) {
    const test::TempDir dir;
    const std::string tricky = "my file's \"name\" $HOME `date` *.png";
    test::WriteScript(dir / "echo-arg", "sleep 0.35\nprintf '%s' \"$1\" > \"$2\"");
    int polls = 0;
    ASSERT_EQ(ShellAndWait({(dir / "echo-arg").string(), tricky, (dir / "seen").string()}, 0,
                           [&] { ++polls; }),
              0);
    const std::vector<uint8_t> seen = test::ReadBytes(dir / "seen");
    EXPECT_EQ(std::string(seen.begin(), seen.end()), tricky);
    EXPECT_GE(polls, 2);
}

const std::vector<uint8_t> kSource = {0x89, 'P', 'N', 'G', 1, 2, 3, 4, 5, 6, 7, 8};

class PngRouteTest : public ::testing::Test {
protected:
    PngRouteTest() { test::WriteBytes(source, kSource); }
    RouteResult Reduce() const {
        const test::SourceGuard guard({files.path()}, {output});
        RouteResult result = ReducePngWith(source, output, (tools / "optipng").string(),
                                           test::kNoEvents, std::nullopt);
        EXPECT_EQ(guard.ChangedFiles(), std::vector<std::string>());
        return result;
    }

    test::TempDir files, tools;
    const std::string source = (files / "in.png").string();
    const std::string output = (files / "in_reduced.png").string();
};

TEST_F(PngRouteTest, KeepsASmallerResultAndRemovesTheUniqueWorkFile) {
    test::WriteScript(tools / "optipng", "printf '%s' \"$1\" > " + (tools / "work-path").string() +
                                             "\nprintf 'tiny' > \"$1\"");
    ASSERT_FALSE(Reduce());

    EXPECT_EQ(test::ReadBytes(output), (std::vector<uint8_t>{'t', 'i', 'n', 'y'}));
    EXPECT_EQ(test::ReadBytes(source), kSource);
    const std::vector<uint8_t> seen = test::ReadBytes(tools / "work-path");
    const std::filesystem::path work(std::string(seen.begin(), seen.end()));
    EXPECT_EQ(work.parent_path(), std::filesystem::temp_directory_path());
    EXPECT_EQ(work.extension(), ".png");
    EXPECT_FALSE(std::filesystem::exists(work));
    EXPECT_EQ(files.FileNames(), (std::vector<std::string>{"in.png", "in_reduced.png"}));
}

// Each bad optimizer leaves a smaller work file where it can, so only the exit code or the
// size check stands between it and a broken output.
TEST_F(PngRouteTest, CopiesTheSourceWhenTheOptimizerIsMissingFailsCrashesOrGrowsTheFile) {
    for (const char* body : {"", ": > \"$1\"\nexit 1", ": > \"$1\"\nkill -9 $$", "rm \"$1\"",
                             "printf 'more bytes than before' >> \"$1\""}) {
        std::filesystem::remove(output);
        if (*body) test::WriteScript(tools / "optipng", body);
        ASSERT_FALSE(Reduce()) << body;
        EXPECT_EQ(test::ReadBytes(output), kSource) << body;
    }
}

// The build links optipng into its own folder when the system has one.
TEST(PngRouteWithOptipng, WritesASmallerValidPngAndLeavesTheSourceAlone) {
    const std::string optipng =
        PathInFolder(std::filesystem::path(ApplicationFolder()).parent_path().string(), "optipng");
    if (!FileExists(optipng)) GTEST_SKIP() << "no optipng beside the build";
    const test::TempDir dir;
    const std::filesystem::path source = dir / "posbar.png";
    std::filesystem::copy_file(test::DataFile("audacious-plugins-data_posbar.png"), source);
    const std::vector<uint8_t> original = test::ReadBytes(source);

    ASSERT_FALSE(ReducePngWith(source.string(), (dir / "out.png").string(), optipng,
                               test::kNoEvents, std::nullopt));
    const std::vector<uint8_t> reduced = test::ReadBytes(dir / "out.png");
    EXPECT_LT(reduced.size(), original.size());
    EXPECT_TRUE(std::equal(original.begin(), original.begin() + 8, reduced.begin()));
    EXPECT_EQ(test::ReadBytes(source), original);
}

} // namespace
} // namespace lumatrim
