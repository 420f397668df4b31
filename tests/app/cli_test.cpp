// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/batch/parallel_batch.h"
#include "cli/cli_host.h"
#include "cli/cli_options.h"
#include "cli/cli_report.h"
#include "cli/json_text.h"

#include "support/test_support.h"

#include <gtest/gtest.h>
#include <sstream>

namespace lumatrim {
namespace {

// The parse result and what went to standard error.
std::pair<ParsedCommandLine, std::string> Parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "lumatrim-batch");
    std::ostringstream out, err;
    ParsedCommandLine parsed =
        ParseCommandLine(static_cast<int>(arguments.size()), arguments.data(), out, err);
    return {std::move(parsed), err.str()};
}

TEST(CommandLine, ReadsOptionsWithDefaultsAndRejectsBadOnesAsUsageErrors) {
    const CliOptions plain = Parse({"a.png", "-"}).first.options.value();
    EXPECT_EQ(plain.quality, 85);
    EXPECT_EQ(plain.paths, (std::vector<std::string>{"a.png", "-"}));
    const CliOptions given =
        Parse({"--json", "-q", "1", "-j", "3", "--timeout", "0.25", "--effort", "fast", "--shard",
               "6/7", "--output-dir", "out", "--keep-metadata", "-p", "--", "-x.png"})
            .first.options.value();
    EXPECT_EQ(std::tuple(given.quality, given.jobs, given.json, given.effort, given.paths,
                         given.shard->index, given.shard->count, given.outputFolder,
                         given.keepMetadata, given.preserveTimes),
              std::tuple(1, 3U, true, Effort::Fast, std::vector<std::string>{"-x.png"}, 6U, 7U,
                         std::optional<std::string>("out"), true, true));
    EXPECT_FALSE(plain.keepMetadata || plain.preserveTimes);
    EXPECT_EQ(ChildTimeLimit(given), std::chrono::milliseconds(250));
    EXPECT_EQ(ChildTimeLimit(Parse({"--timeout", "0", "a"}).first.options.value()), std::nullopt);
    EXPECT_EQ(plain.lossy, std::nullopt);
    EXPECT_EQ(Parse({"--lossy", "a"}).first.options.value().lossy, kDefaultLossyLevel);
    EXPECT_EQ(Parse({"--lossy=1", "a"}).first.options.value().lossy, 1);
    for (const char* question : {"--help", "--version"}) {
        const ParsedCommandLine answered = Parse({question}).first;
        EXPECT_FALSE(answered.options) << question;
        EXPECT_EQ(answered.exitCode, kExitSuccess) << question;
    }

    // clang-format off
    for (const std::vector<const char*>& bad : std::vector<std::vector<const char*>>{
             {"-q", "0", "a"}, {"-q", "101", "a"}, {"-q", "abc", "a"}, {"--fast", "a"},
             {"-x.png"}, {}, {"-j", "0", "a"}, {"--timeout", "-1", "a"},
             {"--timeout", "nan", "a"}, {"--timeout", "1e-9", "a"}, {"--effort", "slow", "a"},
             {"--shard", "7/7", "a"}, {"--shard", "0/0", "a"}, {"--shard", "-1/2", "a"},
             {"--shard", "1", "a"}, {"--shard", "1/2/3", "a"}, {"--shard", "1/4294967296", "a"},
             {"--output-dir", "", "a"}, {"--lossy=0", "a"}, {"--lossy=101", "a"},
             {"--lossy=x", "a"}}) {
        // clang-format on
        const auto [parsed, err] = Parse(bad);
        const std::string words = testing::PrintToString(bad);
        EXPECT_FALSE(parsed.options) << words;
        EXPECT_EQ(parsed.exitCode, kExitUsage) << words;
        EXPECT_FALSE(err.empty()) << words;
    }
    EXPECT_NE(Parse({"-q", "abc", "a"}).second.find("Value abc is not a number"),
              std::string::npos);
    // Lines may end with "\r\n", as lists written on Windows do. A folder argument gives its
    // tree's routed files (the walk itself is in batch_test; runs over a tree are in
    // cli_fault_test); one with none says so. A folder named on standard input stays an item, as
    // `find` lists every folder.
    const test::TempDir tree;
    std::filesystem::create_directories(tree / "empty");
    tree.Write("photos/a.gif", {1});
    const std::string photos = (tree / "photos").string();
    const std::string empty = (tree / "empty").string();
    std::istringstream input("one.png\r\n\r\n\n" + photos + "\nlast.gif");
    std::ostringstream messages;
    const PathList expanded =
        ExpandPaths({"first.png", photos, "-", empty, "final.png", "-"}, input, messages);
    std::vector<std::string_view> paths;
    for (size_t index = 0; index < expanded.Size(); ++index)
        paths.push_back(expanded[index]);
    const std::vector<std::string> expected = {"first.png", photos + "/a.gif", "one.png",
                                               photos,      "last.gif",        "final.png"};
    EXPECT_EQ(paths, std::vector<std::string_view>(expected.begin(), expected.end()));
    EXPECT_EQ(messages.str(),
              "Trimora: No JPEG, GIF, BMP or PNG file in " + empty + " or its subfolders.\n");
}

// The tool's own lines for failures and stops are read back in cli_fault_test.
// Sizes in the table's total add up over the reduced files only, so the saving compares like
// with like.
TEST(CliReport, JsonLinesWithNullsForWhatIsMissingAndATableTotalOverReducedFiles) {
    const std::vector<ItemRecord> records = {
        {{"/p/a.png", "/p/a_reduced.png", "png", ItemStatus::Ok, ItemResult::Reduced, {}},
         2048,
         1024},
        {{"/p/b.png", "/p/b_reduced.png", "png", ItemStatus::Ok, ItemResult::Copy, {}, true},
         1000,
         1000},
        {{"/p/caf\xe9.jpeg", {}, {}, ItemStatus::Skipped, {}, {}}, 500, {}},
        {{"/p/d.png", {}, "png", ItemStatus::Error, {}, "Cannot find the file: /p/d.png"}, {}, {}},
        {{"/p/e.png", {}, "png", ItemStatus::NotDone, {}, {}}, 9, {}},
    };
    EXPECT_EQ(JsonLine(records[0]),
              R"({"source":"/p/a.png","output":"/p/a_reduced.png","route":"png","status":"ok",)"
              R"("result":"reduced","bytes_in":2048,"bytes_out":1024,"message":null,)"
              R"("damaged":false})");
    EXPECT_EQ(JsonLine(records[2]),
              "{\"source\":\"/p/caf\\udce9.jpeg\",\"output\":null,\"route\":null,"
              "\"status\":\"skipped\",\"result\":null,\"bytes_in\":500,\"bytes_out\":null,"
              "\"message\":null,\"damaged\":false}");
    // The table keeps rows apart from the sources, which are the list's own; a damaged source
    // is never shown as plainly "ok".
    PathList sources;
    std::deque<TableRow> rows;
    for (const ItemRecord& record : records) {
        sources.Add(record.report.source);
        rows.push_back(RowOf(record));
    }
    sources.Add("/p/new\nline\x1b[2J.png");
    rows.push_back(RowOf(records[3]));
    std::ostringstream table;
    PrintTable(table, sources, rows);
    EXPECT_NE(table.str().find("  /p/new\\nline\\x1b[2J.png\n"), std::string::npos) << table.str();
    EXPECT_NE(table.str().find("\ndamaged   copy          1000 B"), std::string::npos)
        << table.str();
    EXPECT_TRUE(
        table.str().ends_with("\ntotal                  3.0 KiB    2.0 KiB   33.6%  2 reduced, "
                              "1 skipped, 2 failed, 1 not done, 1 damaged\n"))
        << table.str();
}

// Names are bytes: each byte outside a valid UTF-8 sequence comes back as "\udcXX" (Python's
// surrogateescape), so a reader can recover the exact name; valid UTF-8 stays as it is.
TEST(CliReport, JsonStringsKeepEveryByteOfANameRecoverable) {
    for (const auto& [text, json] : std::vector<std::pair<std::string, std::string>>{
             {"na\xc3\xafve \xe2\x82\xac \xf0\x9f\x98\x80",
              "\"na\xc3\xafve \xe2\x82\xac \xf0\x9f\x98\x80\""},
             {"latin1-\xe9.bmp", "\"latin1-\\udce9.bmp\""},
             {"\"q\" \\ \n\t\x01\x7f", "\"\\\"q\\\" \\\\ \\n\\t\\u0001\x7f\""},
             {"\xc0\xaf overlong", "\"\\udcc0\\udcaf overlong\""},
             {"\xed\xa0\x80 surrogate", "\"\\udced\\udca0\\udc80 surrogate\""},
             {"\xf4\x90\x80\x80 too high", "\"\\udcf4\\udc90\\udc80\\udc80 too high\""},
             {"cut \xe2\x82", "\"cut \\udce2\\udc82\""}})
        EXPECT_EQ(JsonString(text), json) << json;
}

// On a terminal the progress line is erased before a message, which stays one line. Measured items,
// the exit status and the lines off a terminal are checked end to end in cli_fault_test.
TEST(CliHostTest, OnATerminalTheProgressLineIsErasedBeforeATitledMessage) {
    std::ostringstream terminal;
    CliHost onTerminal({}, RunSettings{}, terminal, true, false, nullptr);
    for (float percent : {50.0F, 100.0F, 0.0F, 25.0F})
        onTerminal.SetProgress(percent);
    onTerminal.ShowMessage("Cannot find the file: /p/x\n.png", "Error on image",
                           MessageIcon::Exclamation);
    onTerminal.ShowMessage("Done.", "", MessageIcon::None);
    EXPECT_EQ(terminal.str(), "Reducing... 50%\r\x1b[KReducing... 100%\r\x1b[K"
                              "Reducing... 25%\r\x1b[KError on image: Cannot find the file: "
                              "/p/x\\n.png\nTrimora: Done.\n");
}

} // namespace
} // namespace lumatrim
