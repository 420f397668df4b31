#include "app/cli_options.h"

#include <gtest/gtest.h>
#include <sstream>

namespace lumatrim {
namespace {

struct Outcome {
    ParsedCommandLine parsed;
    std::string out;
    std::string err;
};

Outcome Parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "lumatrim-batch");
    std::ostringstream out;
    std::ostringstream err;
    ParsedCommandLine parsed =
        ParseCommandLine(static_cast<int>(arguments.size()), arguments.data(), out, err);
    return {std::move(parsed), out.str(), err.str()};
}

TEST(CommandLine, DefaultsToQuality85AndATable) {
    const Outcome outcome = Parse({"a.png", "-", "b.gif"});
    ASSERT_TRUE(outcome.parsed.options);
    EXPECT_EQ(outcome.parsed.options->quality, 85);
    EXPECT_FALSE(outcome.parsed.options->json);
    EXPECT_EQ(outcome.parsed.options->paths, (std::vector<std::string>{"a.png", "-", "b.gif"}));
}

TEST(CommandLine, ReadsQualityJsonAndPathsAfterDoubleDash) {
    for (const auto& arguments :
         {std::vector<const char*>{"-q", "1", "--json", "--", "-x.png"},
          std::vector<const char*>{"--json", "--quality=1", "--", "-x.png"}}) {
        const Outcome outcome = Parse(arguments);
        ASSERT_TRUE(outcome.parsed.options);
        EXPECT_EQ(outcome.parsed.options->quality, 1);
        EXPECT_TRUE(outcome.parsed.options->json);
        EXPECT_EQ(outcome.parsed.options->paths, std::vector<std::string>{"-x.png"});
    }
}

TEST(CommandLine, BadArgumentsAreUsageErrors) {
    const std::vector<std::vector<const char*>> cases = {
        {"-q", "0", "a.png"},
        {"-q", "101", "a.png"},
        {"-q", "abc", "a.png"},
        {"-q", "85.5", "a.png"},
        {"--fast", "a.png"},
        {"-x.png"},
        {},
        {"-q", "50"},
    };
    for (const auto& arguments : cases) {
        const Outcome outcome = Parse(arguments);
        EXPECT_FALSE(outcome.parsed.options);
        EXPECT_EQ(outcome.parsed.exitCode, kExitUsage);
        EXPECT_FALSE(outcome.err.empty());
    }
}

TEST(CommandLine, HelpGoesToStandardOutput) {
    const Outcome outcome = Parse({"--help"});
    EXPECT_FALSE(outcome.parsed.options);
    EXPECT_EQ(outcome.parsed.exitCode, kExitSuccess);
    EXPECT_NE(outcome.out.find("--quality"), std::string::npos);
}

TEST(PathExpansion, DashTakesTheNonEmptyLinesOfStandardInputInPlace) {
    std::istringstream input("one.png\n\nmy photo.jpg\nlast.gif");
    EXPECT_EQ(ExpandPaths({"first.png", "-", "final.png", "-"}, input),
              (std::vector<std::string>{"first.png", "one.png", "my photo.jpg", "last.gif",
                                        "final.png"}));
}

} // namespace
} // namespace lumatrim
