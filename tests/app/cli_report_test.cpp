#include "app/cli_host.h"
#include "app/cli_report.h"

#include "support/test_support.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

namespace lumatrim {
namespace {

ItemRecord Record(std::string source, std::optional<std::string> output,
                  std::optional<std::string> route, ItemStatus status,
                  std::optional<uintmax_t> bytesIn, std::optional<uintmax_t> bytesOut,
                  std::optional<std::string> message = std::nullopt) {
    return {{std::move(source), std::move(output), std::move(route), status, std::move(message)},
            bytesIn,
            bytesOut};
}

TEST(JsonReport, OneObjectWithEveryKeyAndNullsForWhatIsMissing) {
    EXPECT_EQ(JsonLine(Record("/p/a.png", "/p/a_reduced.png", "png", ItemStatus::Ok, 1684, 903)),
              R"({"source":"/p/a.png","output":"/p/a_reduced.png","route":"png","status":"ok",)"
              R"("bytes_in":1684,"bytes_out":903,"message":null})");
    EXPECT_EQ(JsonLine(Record("/p/gone.png", std::nullopt, "png", ItemStatus::Error, std::nullopt,
                              std::nullopt, "Cannot find the file: /p/gone.png")),
              R"({"source":"/p/gone.png","output":null,"route":"png","status":"error",)"
              R"("bytes_in":null,"bytes_out":null,"message":"Cannot find the file: /p/gone.png"})");
}

TEST(JsonReport, PathsThatAreNotUtf8StillGiveValidJson) {
    const std::string line = JsonLine(Record("/p/caf\xe9.txt", std::nullopt, std::nullopt,
                                             ItemStatus::Skipped, 10, std::nullopt));
    const nlohmann::json parsed = nlohmann::json::parse(line);
    EXPECT_EQ(parsed["source"], "/p/caf\xef\xbf\xbd.txt");
    EXPECT_EQ(parsed["status"], "skipped");
}

TEST(TableReport, ShowsSizesSavingsAndATotalOverReducedFiles) {
    std::ostringstream out;
    PrintTable(out, {Record("/p/a.png", "/p/a_reduced.png", "png", ItemStatus::Ok, 2048, 1024),
                     Record("/p/b.png", "/p/b_reduced.png", "png", ItemStatus::Ok, 1000, 1000),
                     Record("/p/c.jpeg", std::nullopt, std::nullopt, ItemStatus::Skipped, 500,
                            std::nullopt),
                     Record("/p/d.png", std::nullopt, "png", ItemStatus::Error, std::nullopt,
                            std::nullopt, "Cannot find the file: /p/d.png")});
    EXPECT_EQ(out.str(),
              "status       before      after  saving  file\n"
              "ok          2.0 KiB    1.0 KiB   50.0%  /p/a.png\n"
              "ok           1000 B     1000 B    0.0%  /p/b.png\n"
              "skipped       500 B          -       -  /p/c.jpeg\n"
              "error             -          -       -  /p/d.png\n"
              "total       3.0 KiB    2.0 KiB   33.6%  2 reduced, 1 skipped, 1 failed\n");
}

TEST(CliHostTest, MessagesBecomeTitledLinesAndFailuresAreCounted) {
    const test::TempDir dir;
    test::WriteBytes(dir / "a.png", std::vector<uint8_t>(7));
    test::WriteBytes(dir / "a_reduced.png", std::vector<uint8_t>(5));
    std::ostringstream messages;
    std::vector<ItemRecord> seen;
    CliHost host({"x.png"}, 60, messages, false, [&](const ItemRecord& r) { seen.push_back(r); });
    host.SetProgress(50);
    host.ShowMessage("Cannot find the file: /p/x.png", "Error on image", MessageIcon::Exclamation);
    host.ShowMessage("Done.", "", MessageIcon::None);
    EXPECT_EQ(messages.str(), "Error on image: Cannot find the file: /p/x.png\nTrimora: Done.\n");

    const std::string source = (dir / "a.png").string();
    host.ReportItem({source, (dir / "a_reduced.png").string(), "png", ItemStatus::Ok, {}});
    EXPECT_FALSE(host.AnyItemFailed());
    host.ReportItem({source, std::nullopt, "png", ItemStatus::Error, "failed"});
    EXPECT_TRUE(host.AnyItemFailed());
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].bytesIn, 7u);
    EXPECT_EQ(seen[0].bytesOut, 5u);
    EXPECT_EQ(seen[1].bytesOut, std::nullopt);
}

TEST(CliHostTest, ProgressLineOnATerminalIsErasedBeforeAMessage) {
    std::ostringstream messages;
    CliHost host({}, 85, messages, true, nullptr);
    host.SetProgress(50);
    host.SetProgress(100);
    host.SetProgress(0);
    host.SetProgress(25);
    host.ShowMessage("Done.", "", MessageIcon::None);
    EXPECT_EQ(messages.str(), "Reducing... 50%\r\x1b[KReducing... 100%\r\x1b[K"
                              "Reducing... 25%\r\x1b[KTrimora: Done.\n");
}

} // namespace
} // namespace lumatrim
