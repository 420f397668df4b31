#include "app/shell.h"

#include "recording_host.h"
#include "support/test_support.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace lumatrim {
namespace {

const std::function<void()> kNoEvents = [] {};

TEST(ShellAndWaitTest, ReturnsTheChildsExitCode) {
    const test::TempDir dir;
    test::WriteScript(dir / "tool", "exit 3");
    EXPECT_EQ(ShellAndWait({(dir / "tool").string()}, 0, kNoEvents), 3);
    EXPECT_EQ(ShellAndWait({"/bin/sh", "-c", "kill -9 $$"}, 0, kNoEvents), 128 + 9);
}

TEST(ShellAndWaitTest, ProgramThatCannotStartGivesErrorNumberPlusBase) {
    const test::TempDir dir;
    EXPECT_EQ(ShellAndWait({(dir / "missing").string()}, 0, kNoEvents), kStartFailureBase + ENOENT);
}

TEST(ShellAndWaitTest, PassesArgumentsVerbatimWithoutAShell) {
    const test::TempDir dir;
    const std::string tricky = "my file's \"name\" $HOME `date` *.png";
    test::WriteScript(dir / "echo-arg", "printf '%s' \"$1\" > \"$2\"");
    ASSERT_EQ(
        ShellAndWait({(dir / "echo-arg").string(), tricky, (dir / "seen").string()}, 0, kNoEvents),
        0);
    const std::vector<uint8_t> seen = test::ReadBytes(dir / "seen");
    EXPECT_EQ(std::string(seen.begin(), seen.end()), tricky);
}

TEST(ShellAndWaitTest, ServicesEventsWhileTheChildRuns) {
    int polls = 0;
    EXPECT_EQ(ShellAndWait({"/bin/sleep", "0.35"}, 0, [&] { ++polls; }), 0);
    EXPECT_GE(polls, 2);
}

} // namespace
} // namespace lumatrim
