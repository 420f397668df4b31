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

TEST(CommandLine, ReadsQualityJsonAndPathsWithDefaults) {
    const Outcome plain = Parse({"a.png", "-"});
    ASSERT_TRUE(plain.parsed.options);
    EXPECT_EQ(plain.parsed.options->quality, 85);
    EXPECT_FALSE(plain.parsed.options->json);
    EXPECT_EQ(plain.parsed.options->paths, (std::vector<std::string>{"a.png", "-"}));

    const Outcome given = Parse({"--json", "-q", "1", "--", "-x.png"});
    ASSERT_TRUE(given.parsed.options);
    EXPECT_EQ(given.parsed.options->quality, 1);
    EXPECT_TRUE(given.parsed.options->json);
    EXPECT_EQ(given.parsed.options->paths, std::vector<std::string>{"-x.png"});
}

TEST(CommandLine, BadArgumentsAreUsageErrors) {
    const std::vector<std::vector<const char*>> cases = {
        {"-q", "0", "a"}, {"-q", "101", "a"}, {"-q", "abc", "a"}, {"--fast", "a"}, {"-x.png"}, {}};
    for (const auto& arguments : cases) {
        const Outcome outcome = Parse(arguments);
        EXPECT_FALSE(outcome.parsed.options);
        EXPECT_EQ(outcome.parsed.exitCode, kExitUsage);
        EXPECT_FALSE(outcome.err.empty());
    }
}

TEST(PathExpansion, DashTakesTheNonEmptyLinesOfStandardInputInPlace) {
    std::istringstream input("one.png\n\nmy photo.jpg\nlast.gif");
    EXPECT_EQ(ExpandPaths({"first.png", "-", "final.png", "-"}, input),
              (std::vector<std::string>{"first.png", "one.png", "my photo.jpg", "last.gif",
                                        "final.png"}));
}

} // namespace
} // namespace lumatrim
