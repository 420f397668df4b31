// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/batch/parallel_batch.h"
#include "cli/cli_host.h"
#include "cli/cli_options.h"
#include "cli/cli_report.h"

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
               "6/7", "--output-dir", "out", "--", "-x.png"})
            .first.options.value();
    EXPECT_EQ(std::tuple(given.quality, given.jobs, given.json, given.effort, given.paths,
                         given.shard->index, given.shard->count, given.outputFolder),
              std::tuple(1, 3U, true, Effort::Fast, std::vector<std::string>{"-x.png"}, 6U, 7U,
                         std::optional<std::string>("out")));
    EXPECT_EQ(ChildTimeLimit(given), std::chrono::milliseconds(250));
    EXPECT_EQ(ChildTimeLimit(Parse({"--timeout", "0", "a"}).first.options.value()), std::nullopt);
    for (const char* question : {"--help", "--version"}) {
        const ParsedCommandLine answered = Parse({question}).first;
        EXPECT_FALSE(answered.options) << question;
        EXPECT_EQ(answered.exitCode, kExitSuccess) << question;
    }

    for (const std::vector<const char*>& bad :
         std::vector<std::vector<const char*>>{{"-q", "0", "a"},
                                               {"-q", "101", "a"},
                                               {"-q", "abc", "a"},
                                               {"--fast", "a"},
                                               {"-x.png"},
                                               {},
                                               {"-j", "0", "a"},
                                               {"--timeout", "-1", "a"},
                                               {"--timeout", "nan", "a"},
                                               {"--timeout", "1e-9", "a"},
                                               {"--effort", "slow", "a"},
                                               {"--shard", "7/7", "a"},
                                               {"--shard", "0/0", "a"},
                                               {"--shard", "-1/2", "a"},
                                               {"--shard", "1", "a"},
                                               {"--shard", "1/2/3", "a"},
                                               {"--shard", "1/4294967296", "a"},
                                               {"--output-dir", "", "a"}}) {
        const auto [parsed, err] = Parse(bad);
        const std::string trace = ::testing::PrintToString(bad);
        EXPECT_FALSE(parsed.options) << trace;
        EXPECT_EQ(parsed.exitCode, kExitUsage) << trace;
        EXPECT_FALSE(err.empty()) << trace;
    }
    // Lines may end with "\r\n", as lists written on Windows do.
    std::istringstream input("one.png\r\n\r\n\nmy photo.jpg\nlast.gif");
    const PathList expanded = ExpandPaths({"first.png", "-", "final.png", "-"}, input);
    std::vector<std::string_view> paths;
    for (size_t index = 0; index < expanded.Size(); ++index)
        paths.push_back(expanded[index]);
    EXPECT_EQ(paths, (std::vector<std::string_view>{"first.png", "one.png", "my photo.jpg",
                                                    "last.gif", "final.png"}));
}

// Bytes that are not UTF-8 (paths may hold any) become U+FFFD instead of failing the line.
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
              "{\"source\":\"/p/caf\xef\xbf\xbd.jpeg\",\"output\":null,\"route\":null,"
              "\"status\":\"skipped\",\"result\":null,\"bytes_in\":500,\"bytes_out\":null,"
              "\"message\":null,\"damaged\":false}");
    EXPECT_EQ(JsonLine(records[3]),
              R"({"source":"/p/d.png","output":null,"route":"png","status":"error","result":null,)"
              R"("bytes_in":null,"bytes_out":null,"message":"Cannot find the file: /p/d.png",)"
              R"("damaged":false})");
    EXPECT_NE(JsonLine(records[4]).find(R"("status":"not_done")"), std::string::npos);
    // The table keeps rows apart from the sources, which are the list's own; a damaged source
    // is never shown as plainly "ok".
    PathList sources;
    std::deque<TableRow> rows;
    for (const ItemRecord& record : records) {
        sources.Add(record.report.source);
        rows.push_back(RowOf(record));
    }
    std::ostringstream table;
    PrintTable(table, sources, rows);
    EXPECT_NE(table.str().find("\ndamaged   copy          1000 B"), std::string::npos)
        << table.str();
    EXPECT_TRUE(
        table.str().ends_with("\ntotal                  3.0 KiB    2.0 KiB   33.6%  2 reduced, "
                              "1 skipped, 1 failed, 1 not done, 1 damaged\n"))
        << table.str();
}

// AnyItemFailed decides the exit status: skipped items are not failures. On a terminal the
// progress line is erased before a message.
TEST(CliHostTest, MessagesBecomeTitledLinesAndEachItemIsMeasuredAndHandedOn) {
    const test::TempDir dir;
    test::WriteBytes(dir / "a.png", std::vector<uint8_t>(7));
    test::WriteBytes(dir / "a_reduced.png", std::vector<uint8_t>(5));
    std::ostringstream messages;
    std::vector<ItemRecord> seen;
    CliHost host({}, {60, std::nullopt, Effort::Default, false, {}}, messages, false, false,
                 [&](const ItemRecord& r) { seen.push_back(r); });
    host.SetProgress(50);
    host.ShowMessage("Cannot find the file: /p/x.png", "Error on image", MessageIcon::Exclamation);
    host.ShowMessage("Done.", "", MessageIcon::None);
    EXPECT_EQ(messages.str(), "Error on image: Cannot find the file: /p/x.png\nTrimora: Done.\n");

    const std::string source = (dir / "a.png").string(), output = (dir / "a_reduced.png").string();
    host.ReportItem({source, output, "png", ItemStatus::Ok, ItemResult::Reduced, {}});
    host.ReportItem({"/p/c.jpeg", {}, {}, ItemStatus::Skipped, {}, {}});
    EXPECT_FALSE(host.AnyItemFailed());
    host.ReportItem({"/p/gone.png", {}, "png", ItemStatus::Error, {}, "failed"});
    EXPECT_TRUE(host.AnyItemFailed());
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(std::pair(seen[0].bytesIn, seen[0].bytesOut),
              std::pair(std::optional<uintmax_t>(7), std::optional<uintmax_t>(5)));
    EXPECT_FALSE(seen[2].bytesIn);

    std::ostringstream terminal;
    CliHost onTerminal({}, RunSettings{}, terminal, true, false, nullptr);
    for (float percent : {50.0F, 100.0F, 0.0F, 25.0F})
        onTerminal.SetProgress(percent);
    onTerminal.ShowMessage("Done.", "", MessageIcon::None);
    EXPECT_EQ(terminal.str(), "Reducing... 50%\r\x1b[KReducing... 100%\r\x1b[K"
                              "Reducing... 25%\r\x1b[KTrimora: Done.\n");
}

} // namespace
} // namespace lumatrim
