// lumatrim-batch under faults (a folder it may not write, a disk that fills up, an optimizer
// that crashes or hangs) and over broken files. Whatever the routes, afterwards no output is
// truncated, an earlier output the run could not replace is intact, no temporary file is left
// and no source changed. Each run is made with one worker and with three, which must print the
// same.
#include "batch_files.h"
#include "child_process.h"
#include "recording_host.h"
#include "support/test_support.h"

#include "app/batch_driver.h"
#include "app/cli_options.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <unistd.h>

namespace lumatrim {
namespace {

namespace fs = std::filesystem;

const std::string kEarlier = "an earlier output";

class CliFaultTest : public ::testing::Test {
protected:
    // The tool runs from a folder of its own, beside a stand-in optimizer.
    CliFaultTest() {
        fs::copy_file(LUMATRIM_BATCH, app / "lumatrim-batch");
        for (const test::TempDir* dir : {&files, &app, &scratch})
            test::OpenToEveryone(dir->path());
    }
    void Optimizer(const std::string& body) const {
        test::WriteScript(app / "optipng", body);
        fs::permissions(app / "optipng", fs::perms::all & ~fs::perms::others_write);
    }
    // A source of every routed kind plus `extra`, each with an earlier output beside it.
    std::vector<std::string>
    Sources(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& extra) {
        std::vector<std::string> items;
        for (const std::string extension : {"png", "gif", "bmp", "jpg"})
            items.push_back(Add("valid." + extension, test::ValidSource(extension)));
        for (const auto& [name, bytes] : extra)
            items.push_back(Add(name, bytes));
        for (const std::string& item : items)
            if (const std::optional<std::string> output = PlannedOutput(item))
                test::WriteBytes(*output, {kEarlier.begin(), kEarlier.end()});
        return items;
    }
    std::string Add(const std::string& name, const std::vector<uint8_t>& bytes) const {
        test::WriteBytes(files / name, bytes);
        return (files / name).string();
    }

    // The JSON lines of a run with one worker, after checking that three print the same.
    std::vector<nlohmann::json> Run(const std::vector<std::string>& items, test::ChildSetup setup,
                                    const std::vector<std::string>& options = {}) {
        setup.tempFolder = scratch.path();
        std::vector<std::string> arguments = {(app / "lumatrim-batch").string(), "--json", "-j",
                                              "1"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        arguments.push_back("--");
        arguments.insert(arguments.end(), items.begin(), items.end());
        const test::SourceGuard guard = test::GuardItems({files.path()}, items);
        const test::ChildResult one = test::RunChild(arguments, setup);
        arguments[3] = "3";
        const test::ChildResult three = test::RunChild(arguments, setup);
        EXPECT_EQ(three.out, one.out);
        EXPECT_EQ(three.err, one.err);
        EXPECT_EQ(three.exitCode, one.exitCode);

        EXPECT_TRUE(one.err.ends_with("Trimora: Done.\n")) << one.err;
        EXPECT_EQ(guard.ChangedFiles(), std::vector<std::string>());
        EXPECT_EQ(test::TemporaryFilesIn(files.path()), std::vector<std::string>());
        EXPECT_EQ(scratch.FileNames(), std::vector<std::string>()) << "work files left";
        std::vector<nlohmann::json> lines;
        std::istringstream out(one.out);
        for (std::string line; std::getline(out, line);)
            lines.push_back(nlohmann::json::parse(line));
        EXPECT_EQ(lines.size(), items.size());
        messages = one.err;
        exitCode = one.exitCode;
        return lines;
    }

    enum class Outcome { Any, Ok, Error };

    // An item without a route is passed over; one with a route either wrote a complete output
    // or failed with its own message, naming its file. JSON can only carry a name that is not
    // UTF-8 with its odd bytes replaced, so such items give their path separately.
    void ExpectClearOutcome(const nlohmann::json& line, Outcome expected,
                            std::string source = {}) const {
        if (source.empty()) source = line["source"];
        SCOPED_TRACE(source);
        const std::optional<std::string> output = PlannedOutput(source);
        if (!output) {
            EXPECT_EQ(line["status"], "skipped");
            return;
        }
        if (line["status"] == "ok") {
            EXPECT_NE(expected, Outcome::Error);
            if (line["source"] == source) {
                EXPECT_EQ(line["output"], *output);
            }
            EXPECT_TRUE(test::IsCompleteOutput(*output, source));
            return;
        }
        EXPECT_NE(expected, Outcome::Ok);
        ASSERT_EQ(line["status"], "error");
        const std::string message = line["message"];
        EXPECT_TRUE(message.ends_with(source) || message.ends_with(*output)) << message;
        EXPECT_NE(messages.find(": " + message + "\n"), std::string::npos) << message;
    }

    // The same, and a failed item left the earlier output in place.
    void ExpectFailedCleanlyOrComplete(const std::vector<nlohmann::json>& lines) const {
        for (const nlohmann::json& line : lines) {
            ExpectClearOutcome(line, Outcome::Any);
            if (line["status"] != "error") continue;
            EXPECT_EQ(test::ReadBytes(*PlannedOutput(line["source"])),
                      std::vector<uint8_t>(kEarlier.begin(), kEarlier.end()));
        }
    }

    test::TempDir files, app, scratch;
    std::string messages; // standard error of the last run
    int exitCode = -1;
};

// As root, the run is made as "nobody": permission bits do not bind root.
TEST_F(CliFaultTest, ReadOnlyFolderFailsEveryRoutedItemAndWritesNothing) {
    Optimizer("exit 0");
    const std::vector<std::string> items = Sources({{"notes.txt", {'n'}}});
    const std::vector<std::string> before = files.FileNames();
    fs::permissions(files.path(), fs::perms::owner_read | fs::perms::owner_exec |
                                      fs::perms::group_read | fs::perms::group_exec |
                                      fs::perms::others_read | fs::perms::others_exec);
    test::ChildSetup asUser;
    asUser.unprivileged = true;
    const std::vector<nlohmann::json> lines = Run(items, asUser);
    test::OpenToEveryone(files.path());

    ExpectFailedCleanlyOrComplete(lines);
    for (const nlohmann::json& line : lines)
        EXPECT_NE(line["status"], "ok") << line;
    EXPECT_EQ(lines[0]["message"], "Cannot write the file: " + *PlannedOutput(items[0]));
    EXPECT_EQ(files.FileNames(), before);
    EXPECT_EQ(exitCode, kExitItemFailed);
}

// The limit is far below the large sources, above the small ones and the run's own report.
TEST_F(CliFaultTest, DiskFillingUpDuringAWriteLeavesNoPartOfAnOutput) {
    Optimizer("exit 0");
    const std::vector<std::string> items =
        Sources({{"big.png", test::PngShaped(256 * 1024)}, {"big.bmp", test::MakeBmp(300, 300)}});
    test::ChildSetup smallDisk;
    smallDisk.fileSizeLimit = 64 * 1024;
    const std::vector<nlohmann::json> lines = Run(items, smallDisk);

    ExpectFailedCleanlyOrComplete(lines);
    EXPECT_EQ(lines[0]["status"], "ok");
    EXPECT_EQ(lines[4]["message"], "Cannot write a work file for: " + items[4]);
    EXPECT_EQ(exitCode, kExitItemFailed);
}

// A crash is a failing optimizer: the output is a copy of the source, as without one.
TEST_F(CliFaultTest, CrashingOptimizerLeavesACompleteCopy) {
    Optimizer("printf 'half' > \"$1\"\nkill -SEGV $$");
    const std::vector<std::string> items = Sources({});
    const std::vector<nlohmann::json> lines = Run(items, {});

    ExpectFailedCleanlyOrComplete(lines);
    EXPECT_EQ(test::ReadBytes(*PlannedOutput(items[0])), test::ValidSource("png"));
    EXPECT_EQ(exitCode, kExitSuccess);
}

TEST_F(CliFaultTest, HangingOptimizerIsStoppedAtTheTimeLimitAndTheItemFails) {
    Optimizer("exec sleep 60");
    const std::vector<std::string> items = Sources({{"second.png", test::ValidSource("png")}});
    const std::vector<nlohmann::json> lines = Run(items, {}, {"--timeout", "0.5"});

    ExpectFailedCleanlyOrComplete(lines);
    for (const size_t png : {0, 4})
        EXPECT_EQ(lines[png]["message"],
                  "The PNG optimizer did not finish within 0.5 s and was stopped: " + items[png]);
    EXPECT_EQ(exitCode, kExitItemFailed);
}

// Items whose outcome depends on the routes built in are left to ExpectClearOutcome. As root,
// permission bits do not stop reading: "locked.png" is then a readable file. Pipes, folders
// and dangling or looping links stand for files nobody can read.
TEST_F(CliFaultTest, BrokenFilesEachGetAMessageOrACompleteOutput) {
    const fs::path optipng = fs::path(LUMATRIM_BATCH).parent_path() / "optipng";
    if (fs::exists(optipng)) fs::create_symlink(optipng, app / "optipng");
    std::vector<std::pair<std::string, Outcome>> entries;
    for (const std::string kind : {"png", "gif", "bmp", "jpg"}) {
        const std::vector<uint8_t> valid = test::ValidSource(kind);
        Add("valid." + kind, valid);
        Add("cut." + kind, {valid.begin(), valid.begin() + static_cast<long>(valid.size() / 3)});
        Add("empty." + kind, {});
        fs::create_directory(files / ("folder." + kind));
        entries.insert(entries.end(), {{"valid." + kind, Outcome::Ok},
                                       {"cut." + kind, Outcome::Any},
                                       {"empty." + kind, Outcome::Any},
                                       {"folder." + kind, Outcome::Error}});
    }
    // Valid content of one kind under awkward names, or under another kind's extension.
    const std::vector<std::tuple<std::string, std::string, Outcome>> named = {
        {"gif-inside.png", "gif", Outcome::Any},
        {"png-inside.gif", "png", Outcome::Any},
        {"jpg-inside.bmp", "jpg", Outcome::Any},
        {"locked.png", "png", ::geteuid() == 0 ? Outcome::Ok : Outcome::Error},
        {"folder.gif/inside.png", "png", Outcome::Ok},
        {"with space.png", "png", Outcome::Ok},
        {"quote's \"double\".gif", "gif", Outcome::Ok},
        {"new\nline.png", "png", Outcome::Ok},
        {"na\xc3\xafve caf\xc3\xa9.jpg", "jpg", Outcome::Ok},
        {"latin1-\xe9.bmp", "bmp", Outcome::Ok},
        {"photo.jpeg", "jpg", Outcome::Any},
    };
    for (const auto& [name, kind, outcome] : named) {
        Add(name, test::ValidSource(kind));
        entries.emplace_back(name, outcome);
    }
    fs::permissions(files / "locked.png", fs::perms::none);
    for (const std::string pipe : {"pipe.png", "pipe.gif"})
        ASSERT_EQ(::mkfifo((files / pipe).c_str(), 0644), 0);
    fs::create_symlink(files / "nowhere.png", files / "dangling.png");
    fs::create_symlink(files / "loop.gif", files / "loop.gif");
    fs::create_symlink(files / "valid.png", files / "link.png");
    entries.insert(entries.end(), {{"pipe.png", Outcome::Error},
                                   {"pipe.gif", Outcome::Error},
                                   {"dangling.png", Outcome::Error},
                                   {"loop.gif", Outcome::Error},
                                   {"missing.bmp", Outcome::Error},
                                   {"link.png", Outcome::Ok}});

    std::vector<std::string> items;
    for (const auto& [name, outcome] : entries)
        items.push_back((files / name).string());
    const std::vector<nlohmann::json> lines = Run(items, {});
    ASSERT_EQ(lines.size(), entries.size());
    for (size_t i = 0; i < lines.size(); ++i)
        ExpectClearOutcome(lines[i], entries[i].second, items[i]);
    EXPECT_EQ(exitCode, kExitItemFailed);
}

} // namespace
} // namespace lumatrim
