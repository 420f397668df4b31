// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// lumatrim-batch under faults (a folder it may not write, a disk that fills up, an optimizer
// that crashes or hangs, a signal) and over broken files and lists. Whatever the routes,
// afterwards no output is truncated, an earlier output the run could not replace is intact, no
// temporary file is left and no source changed. Each run is made with one worker and with
// three, which must print the same.
#include "recording_host.h"
#include "support/test_support.h"

#include "app/batch/batch_driver.h"
#include "app/batch/output_folder.h"
#include "app/platform/paths.h"
#include "cli/cli_options.h"
#include "imaging/dib.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace lumatrim {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;
using Bytes = std::vector<uint8_t>;
using test::DataFile;
using test::Quoted;
using test::ReadBytes;
using test::ReadText;

// What a test cannot set up in-process: a file size limit (a disk that fills up), the user
// "nobody" when the tests run as root (for whom permission bits hold), a list on standard input.
struct ChildSetup {
    std::optional<size_t> fileSizeLimit; // bytes, a multiple of 512
    bool unprivileged = false;
    std::optional<std::string> input; // standard input; none for /dev/null
};

struct ChildResult {
    int exitCode = -1; // 128 plus the signal number when a signal ended the child
    std::string out, err;
};

// A shell command started with `input` on its standard input and its output in files of its own.
class Child {
public:
    Child(std::string command, const std::optional<std::string>& input) {
        command += " < " + Quoted(input ? capture.Write("in", {input->begin(), input->end()})
                                        : "/dev/null");
        command += " > " + Quoted(capture.Path("out")) + " 2> " + Quoted(capture.Path("err"));
        const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
        EXPECT_EQ(posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ),
                  0);
    }
    ChildResult Wait() const {
        int status = 0;
        EXPECT_EQ(::waitpid(pid, &status, 0), pid);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
                test::ReadText(capture / "out"), test::ReadText(capture / "err")};
    }

    const test::TempDir capture;
    pid_t pid = 0;
};

// Whether the process runs: gone, or ended and waiting for its parent to collect it, is not.
bool Running(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return false;
    const size_t state = line.rfind(')') + 2;
    return state < line.size() && line[state] != 'Z';
}

template <typename Condition> bool Within(std::chrono::seconds limit, Condition condition) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

const Bytes kPngSignature = {0x89, 'P', 'N', 'G', 13, 10, 26, 10};
const Bytes kIendChunk = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};

// A JSON line of the tool's with each byte of a name that is not UTF-8 back as that byte. The
// tool writes such a byte as "\udcXX", which the parser refuses alone; after "\udbff" it is
// the character U+10FC00 + XX (UTF-8 F4 8F B2..B3 xx), which the tool never writes (it writes
// valid UTF-8 as it is) and which is turned back into the byte once parsed.
Json ParseLine(std::string line) {
    for (size_t at = line.find("\\udc"); at != std::string::npos; at = line.find("\\udc", at + 12))
        line.insert(at, "\\udbff");
    Json parsed = Json::parse(line);
    for (Json& value : parsed) {
        if (!value.is_string()) continue;
        std::string text = value;
        for (size_t at = 0; (at = text.find("\xF4\x8F", at)) != std::string::npos;)
            text.replace(at, 4, 1, char((text[at + 2] & 0x3) << 6 | (text[at + 3] & 0x3F)));
        value = text;
    }
    return parsed;
}

// A 24-bit picture of a gradient.
Bytes MakeBmp(int32_t width, int32_t height) {
    cDIB picture;
    EXPECT_TRUE(picture.Create(width, height, 24));
    for (int32_t i = 0; i < picture.Size(); ++i)
        picture.lpBits()[i] = static_cast<uint8_t>(i * 7 + i / picture.BytesPerScanline() * 3);
    return picture.SaveToMemory();
}

// What a PNG route check sees as complete, though no decoder would accept it.
Bytes PngShaped(size_t size) {
    Bytes bytes = kPngSignature;
    bytes.resize(size - kIendChunk.size(), 'x');
    bytes.insert(bytes.end(), kIendChunk.begin(), kIendChunk.end());
    return bytes;
}

// The tests' valid sources by lower-case extension: "png", "gif", "bmp", "jpg".
Bytes ValidSource(const std::string& extension) {
    if (extension == "png") return ReadBytes(DataFile("audacious-plugins-data_posbar.png"));
    if (extension == "gif") return ReadBytes(DataFile("gif/apache2-data_key.gif"));
    if (extension == "jpg") return ReadBytes(DataFile("csmash-data_mouse1.jpg"));
    return MakeBmp(7, 5);
}

// A valid PNG that our own optimizer leaves to optipng: it holds a chunk unsafe to copy.
const fs::path kOptimizerOnlyPng = DataFile("png/posbar-unsafe-chunk.png");

// Whether `output` is a copy of its source, or no larger and with its format's first and last
// bytes (a truncated write loses the end; a BMP gives its size).
::testing::AssertionResult IsCompleteOutput(const fs::path& output, const fs::path& source) {
    const Bytes bytes = ReadBytes(output);
    if (bytes == ReadBytes(source)) return ::testing::AssertionSuccess(); // a copy
    const std::string extension = LowerCase(GetPathExtension(output.string()));
    const std::map<std::string, std::pair<Bytes, Bytes>> ends = {
        {"png", {kPngSignature, kIendChunk}},
        {"gif", {{'G', 'I', 'F', '8'}, {0x3B}}},
        {"jpg", {{0xFF, 0xD8}, {0xFF, 0xD9}}},
        {"bmp", {{'B', 'M'}, {}}}};
    const auto& [start, end] = ends.at(extension);
    bool complete = bytes.size() <= fs::file_size(source) &&
                    bytes.size() >= start.size() + end.size() &&
                    std::equal(start.begin(), start.end(), bytes.begin()) &&
                    std::equal(end.rbegin(), end.rend(), bytes.rbegin());
    if (extension == "bmp")
        complete =
            complete && bytes.size() >= 6 &&
            (bytes[2] | bytes[3] << 8 | bytes[4] << 16 | size_t{bytes[5]} << 24) == bytes.size();
    if (complete) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << output << " (" << bytes.size() << " bytes) is not a complete ." << extension
           << " no larger than its source, nor a copy of it";
}

const std::string kEarlier = "an earlier output";

enum class Outcome { Any, Ok, Error };

class CliFaultTest : public ::testing::Test {
protected:
    // The tool runs from a folder of its own, beside a stand-in optimizer.
    CliFaultTest() {
        fs::copy_file(LUMATRIM_BATCH, app / "lumatrim-batch");
        for (const test::TempDir* dir : {&files, &app, &scratch})
            fs::permissions(dir->path(), fs::perms::all);
    }
    void Optimizer(const std::string& body) const {
        test::WriteScript(app / "optipng", body);
        fs::permissions(app / "optipng", fs::perms::all & ~fs::perms::others_write);
    }
    // A source of every routed kind plus `extra`, each with an earlier output beside it.
    std::vector<std::string> Sources(const std::vector<std::pair<std::string, Bytes>>& extra) {
        std::vector<std::string> items;
        for (const std::string extension : {"png", "gif", "bmp", "jpg"})
            items.push_back(files.Write("valid." + extension, ValidSource(extension)));
        for (const auto& [name, bytes] : extra)
            items.push_back(files.Write(name, bytes));
        for (const std::string& item : items)
            if (const std::optional<std::string> output = PlannedOutput(item))
                test::WriteBytes(*output, {kEarlier.begin(), kEarlier.end()});
        earlierOutputs = true;
        return items;
    }

    // The tool started in the sources' folder as `setup` says, with `jobs` workers, over `items`
    // or, with a list on standard input, over "-".
    Child Start(const std::vector<std::string>& items, const ChildSetup& setup,
                const std::vector<std::string>& options, const std::string& jobs) const {
        std::string command = "cd " + Quoted(files.path().string()) + " && ";
        if (setup.fileSizeLimit)
            command += "ulimit -f " + std::to_string(*setup.fileSizeLimit / 512) + "; ";
        command += "exec ";
        if (setup.unprivileged && ::geteuid() == 0)
            command += "setpriv --reuid=nobody --regid=nogroup --clear-groups ";
        command += "env TMPDIR=" + Quoted(scratch.path().string()) + " " +
                   Quoted((app / "lumatrim-batch").string()) + " --json -j " + jobs;
        for (const std::string& argument : options)
            command.append(" ").append(Quoted(argument));
        command += " --";
        for (const std::string& item : setup.input ? std::vector<std::string>{"-"} : items)
            command.append(" ").append(Quoted(item));
        return Child(command, setup.input);
    }

    // The JSON lines of a run with one worker, after checking that three print the same. With a
    // list on standard input, `items` are the paths its lines give.
    std::vector<Json> Run(const std::vector<std::string>& items, const ChildSetup& setup,
                          const std::vector<std::string>& options = {}) {
        const test::SourceGuard guard = test::GuardItems({files.path()}, items);
        const ChildResult one = Start(items, setup, options, "1").Wait();
        const ChildResult three = Start(items, setup, options, "3").Wait();
        EXPECT_EQ(std::tie(three.out, three.err, three.exitCode),
                  std::tie(one.out, one.err, one.exitCode));

        EXPECT_TRUE(one.err.ends_with("Trimora: Done.\n")) << one.err;
        const std::vector<Json> lines = Checked(one, guard);
        EXPECT_EQ(lines.size(), items.size());
        return lines;
    }

    // Checks what every run must leave, and keeps its messages and exit code.
    std::vector<Json> Checked(const ChildResult& result, const test::SourceGuard& guard) {
        EXPECT_EQ(guard.ChangedFiles(), std::vector<std::string>());
        EXPECT_EQ(test::TemporaryFilesIn(files.path()), std::vector<std::string>());
        EXPECT_EQ(scratch.FileNames(), std::vector<std::string>()) << "work files left";
        // Qt's own warnings about the files stay out of the tool's messages.
        EXPECT_EQ(result.err.find("qt."), std::string::npos) << result.err;
        std::vector<Json> lines;
        std::istringstream out(result.out);
        for (std::string line; std::getline(out, line);)
            lines.push_back(ParseLine(line));
        messages = result.err;
        exitCode = result.exitCode;
        return lines;
    }

    // An item without a route is passed over; one with a route either wrote a complete output
    // or failed with its own message, naming its file, and left the earlier output in place.
    // The line names the source byte for byte, whatever its bytes.
    void ExpectClearOutcome(const Json& line, Outcome expected, std::string source = {}) const {
        if (source.empty()) source = line["source"];
        SCOPED_TRACE(source);
        EXPECT_EQ(line["source"], source);
        const std::optional<std::string> output = PlannedOutput(source);
        if (!output) {
            EXPECT_EQ(line["status"], "skipped");
        } else if (line["status"] == "ok") {
            EXPECT_NE(expected, Outcome::Error);
            EXPECT_EQ(line["output"], *output);
            EXPECT_TRUE(IsCompleteOutput(*output, source));
            EXPECT_EQ(std::pair(line["bytes_in"], line["bytes_out"]),
                      std::pair(Json(fs::file_size(source)), Json(fs::file_size(*output))));
        } else {
            EXPECT_NE(expected, Outcome::Ok);
            ASSERT_EQ(line["status"], "error");
            const std::string message = line["message"];
            // A failed write names its cause after the path: "... (Permission denied)".
            const std::string named =
                message.substr(0, message.ends_with(')') ? message.rfind(" (") : message.npos);
            EXPECT_TRUE(named.ends_with(source) || named.ends_with(*output)) << message;
            EXPECT_NE(messages.find(": " + message + "\n"), std::string::npos) << message;
            const bool kept = earlierOutputs || fs::exists(*output); // else none is made
            EXPECT_EQ(kept ? test::ReadText(*output) : kEarlier, kEarlier);
        }
    }

    test::TempDir files, app, scratch;
    std::string messages; // standard error of the last run
    int exitCode = -1;
    bool earlierOutputs = false; // every routed item has one
};

// As root, the run is made as "nobody": permission bits do not bind root. A source nobody may
// read says why, in its route's words. With an output folder of their own, sources in a
// read-only folder are reduced.
TEST_F(CliFaultTest, ReadOnlyFolderFailsEveryRoutedItemUnlessOutputsGoElsewhere) {
    Optimizer("exit 0");
    const std::vector<std::string> items =
        Sources({{"notes.txt", {'n'}}, {"locked.gif", ValidSource("gif")}});
    fs::permissions(items[5], fs::perms::none);
    const std::vector<std::string> before = files.FileNames();
    fs::permissions(files.path(),
                    fs::perms::all & ~(fs::perms::owner_write | fs::perms::group_write |
                                       fs::perms::others_write));
    const std::vector<Json> lines = Run(items, ChildSetup{{}, true, {}});
    for (const Json& line : lines)
        ExpectClearOutcome(line, Outcome::Error); // none is "ok"
    EXPECT_EQ(lines[0]["message"],
              "Cannot write the file: " + *PlannedOutput(items[0]) + " (Permission denied)");
    EXPECT_EQ(lines[3]["message"], "Cannot save the image. GDI+ Error:7: " +
                                       *PlannedOutput(items[3]) + " (Permission denied)");
    EXPECT_EQ(lines[5]["message"], "Error loading gif file.." + items[5] + " (Permission denied)");
    EXPECT_EQ(files.FileNames(), before);
    EXPECT_EQ(exitCode, kExitItemFailed);

    const test::TempDir out;
    fs::permissions(out.path(), fs::perms::all);
    const std::vector<std::string> readable(items.begin(), items.end() - 1);
    const std::vector<Json> into =
        Run(readable, ChildSetup{{}, true, {}}, {"--output-dir", (out / "reduced").string()});
    fs::permissions(files.path(), fs::perms::all);
    for (size_t i = 0; i < 4; ++i) {
        const fs::path output = out / "reduced" / fs::path(*PlannedOutput(items[i])).filename();
        EXPECT_EQ(into[i]["output"], output.string());
        EXPECT_TRUE(IsCompleteOutput(output, items[i]));
    }
    EXPECT_EQ(into[4]["status"], "skipped"); // which is no failure
    EXPECT_EQ(files.FileNames(), before);
    EXPECT_EQ(exitCode, kExitSuccess);
}

// The file size limit is far below the large sources, above the small ones and the run's own
// report. The signal that comes with it (SIGXFSZ) must not end the run: the write fails and says
// why. An optimizer that hangs is stopped at the time limit, and its item fails.
TEST_F(CliFaultTest, ADiskFillingUpOrAHangingOptimizerFailsItsItemAndLeavesNoPartOfAnOutput) {
    Optimizer("exec sleep 60");
    const std::vector<std::string> items = Sources({{"big.png", PngShaped(256 * 1024)},
                                                    {"big.bmp", MakeBmp(300, 300)},
                                                    {"second.png", ReadBytes(kOptimizerOnlyPng)}});
    const std::vector<Json> lines =
        Run(items, ChildSetup{64 * 1024, false, {}}, {"--timeout", "0.5"});

    for (const Json& line : lines)
        ExpectClearOutcome(line, Outcome::Any);
    EXPECT_EQ(lines[0]["status"], "ok"); // our own rewrite needs no companion
    EXPECT_EQ(lines[4]["message"], "Cannot write a work file for: " + items[4]);
    EXPECT_EQ(lines[5]["message"],
              "Cannot write the file: " + *PlannedOutput(items[5]) + " (File too large)");
    EXPECT_EQ(lines[6]["message"],
              "The PNG optimizer did not finish within 0.5 s and was stopped: " + items[6]);
    EXPECT_EQ(exitCode, kExitItemFailed);
}

// Items whose outcome depends on the routes built in are left to ExpectClearOutcome. As root,
// permission bits do not stop reading: "locked.png" is then a readable file. Pipes, folders
// and dangling or looping links stand for files nobody can read.
TEST_F(CliFaultTest, BrokenFilesEachGetAMessageOrACompleteOutput) {
    const fs::path optipng = fs::path(LUMATRIM_BATCH).parent_path() / "optipng";
    if (fs::exists(optipng)) fs::create_symlink(optipng, app / "optipng");
    using enum Outcome;
    // Name, the kind of valid content written under it (none: made below) and the outcome.
    std::vector<std::tuple<std::string, std::string, Outcome>> entries = {
        // Valid content of one kind under awkward names, or under another kind's extension.
        {"gif-inside.png", "gif", Error},
        {"jpg-inside.bmp", "jpg", Error},
        {"locked.png", "png", ::geteuid() == 0 ? Ok : Error},
        {"folder.gif/inside.png", "png", Ok},
        {"quote's \"double\".gif", "gif", Ok},
        {"new\nline.png", "png", Ok},
        {"na\xc3\xafve caf\xc3\xa9.jpg", "jpg", Ok},
        // A name this long leaves no room for a temporary name made from it.
        {std::string(240, 'n') + ".gif", "gif", Ok},
        {"latin1-\xe9.bmp", "bmp", Ok},
        {"photo.jpeg", "jpg", Any},
        {"flipped.jpg", "", Any},
        {"pipe.png", "", Error},
        {"pipe.gif", "", Error},
        {"dangling.png", "", Error},
        {"loop.gif", "", Error},
        {"missing.bmp", "", Error},
        {"link.png", "", Ok}};
    for (const std::string kind : {"png", "gif", "bmp", "jpg"}) {
        const Bytes valid = ValidSource(kind);
        files.Write("cut." + kind, {valid.begin(), valid.begin() + long(valid.size() / 3)});
        files.Write("empty." + kind, {});
        entries.insert(
            entries.end(),
            {{"valid." + kind, kind, Ok}, {"cut." + kind, "", Any}, {"empty." + kind, "", Error}});
    }
    for (const auto& [name, kind, outcome] : entries)
        if (!kind.empty()) files.Write(name, ValidSource(kind));
    // Its scan data flipped: Qt's decoder would warn on standard error.
    Bytes flipped = ValidSource("jpg");
    for (size_t at = flipped.size() / 2; at < flipped.size() / 2 + 64; ++at)
        flipped[at] ^= 0xFF;
    files.Write("flipped.jpg", flipped);
    fs::permissions(files / "locked.png", fs::perms::none);
    for (const std::string pipe : {"pipe.png", "pipe.gif"})
        ASSERT_EQ(::mkfifo((files / pipe).c_str(), 0644), 0);
    fs::create_symlink(files / "nowhere.png", files / "dangling.png");
    fs::create_symlink(files / "loop.gif", files / "loop.gif");
    fs::create_symlink(files / "valid.png", files / "link.png");

    std::vector<std::string> items;
    for (const auto& entry : entries)
        items.push_back(files.Path(std::get<0>(entry)));
    const std::vector<Json> lines = Run(items, {});
    ASSERT_EQ(lines.size(), entries.size());
    std::map<std::string, Json> byName;
    for (size_t i = 0; i < lines.size(); ++i) {
        ExpectClearOutcome(lines[i], std::get<2>(entries[i]), items[i]);
        byName[std::get<0>(entries[i])] = lines[i];
    }
    EXPECT_EQ(exitCode, kExitItemFailed);
    // Each refusal names its cause; damage found in the data is reported as such.
    for (const auto& [name, prefix, cause, damaged] :
         std::vector<std::tuple<std::string, std::string, std::string, bool>>{
             {"gif-inside.png", "Not a PNG file..", "", false},
             {"jpg-inside.bmp", "Not a BMP file..", "", false},
             {"empty.png", "Not a PNG file..", " (the file is empty)", false},
             {"empty.gif", "Not a GIF file..", " (the file is empty)", false},
             {"cut.bmp", "Unexpected error loading image..",
              " (cut off: the pixel data ends early)", true}})
        EXPECT_EQ(std::pair(byName[name]["message"], byName[name]["damaged"]),
                  std::pair(Json(prefix + files.Path(name) + cause), Json(damaged)))
            << name;
}

// A folder argument reduces its tree. Run again over a list of every file, as `find` gives it,
// the outputs are passed over, each with a message, and a lone "_reduced" file is reduced again.
// The system would take "keep.gif\0.gif" for "keep.gif": it fails and nothing is removed. Lines
// may end in "\r\n"; a folder the list names is refused, not walked. Outputs are as private as
// their sources.
TEST_F(CliFaultTest, ReRunsPassOverOurOutputsHostileListsRemoveNothingAndSourcesStayPrivate) {
    Optimizer("exit 0");
    const std::vector<std::string> sources = {files.Write("a.gif", ValidSource("gif")),
                                              files.Write("lone_reduced.gif", ValidSource("gif")),
                                              files.Write("sub/b.png", ValidSource("png"))};
    const test::SourceGuard guard = test::GuardItems({files.path()}, sources);
    const std::vector<Json> tree =
        Checked(Start({files.path().string()}, {}, {}, "1").Wait(), guard);
    ASSERT_EQ(tree.size(), sources.size());
    for (size_t i = 0; i < sources.size(); ++i) // the folder's path, one separator, the name
        ExpectClearOutcome(tree[i], Outcome::Ok, sources[i]);

    const std::string keep = files.Write("keep.gif", ValidSource("gif"));
    const std::string notes = files.Write("notes.txt", {'n'});
    const std::string photo = files.Write("private.jpg", ValidSource("jpg"));
    const std::string bitmap = files.Write("shared.bmp", ValidSource("bmp"));
    const std::string missing = files.Path("missing.txt"), folder = files.Path("folder.png");
    fs::create_directory(folder);
    using enum fs::perms;
    fs::permissions(photo, owner_read | owner_write);
    fs::permissions(bitmap, owner_read | owner_write | group_read | others_read);
    const std::string nul(1, '\0');
    std::vector<std::string> items;
    for (const std::string& source : sources)
        items.insert(items.end(), {source, *PlannedOutput(source)});
    items.insert(items.end(),
                 {keep + nul + ".gif", notes + nul + ".png", photo, bitmap, missing, folder});
    std::string list;
    for (const std::string& item : items)
        list += item + (item == photo ? "\r\n\r\n" : item == missing ? "\r\n" : "\n");
    const std::vector<Json> again = Run(items, ChildSetup{{}, false, list});
    ASSERT_EQ(again.size(), items.size());
    for (const size_t ours : {1, 3, 5}) {
        const std::string passedOver = std::string(kOwnOutputPassedOver) + items[ours];
        EXPECT_EQ(std::tuple(again[ours]["status"], again[ours]["message"]),
                  std::tuple(Json("skipped"), Json(passedOver)));
        EXPECT_NE(messages.find("Trimora: " + passedOver + "\n"), std::string::npos);
    }
    for (const size_t reduced : {0, 2, 4, 8, 9})
        ExpectClearOutcome(again[reduced], Outcome::Ok);
    EXPECT_EQ(again[6]["message"], "Invalid file name: " + keep + "\\0.gif");
    EXPECT_EQ(again[7]["message"], "Invalid file name: " + notes + "\\0.png");
    EXPECT_EQ(again[10]["message"], "Cannot find the file: " + missing);
    EXPECT_EQ(again[11]["message"], "Cannot read the file: " + folder);
    const mode_t umask = ::umask(0);
    ::umask(umask);
    const auto mode = [](const std::string& file) {
        return static_cast<mode_t>(fs::status(*PlannedOutput(file)).permissions());
    };
    EXPECT_EQ(mode(photo), 0600 & ~umask);
    EXPECT_EQ(mode(bitmap), 0644 & ~umask);
    EXPECT_EQ(exitCode, kExitItemFailed);
}

// A signal is a stop: finished and earlier outputs stay, the rest is not done, the status is
// 128 plus the signal. Even killed outright, the tool takes its optimizer with it.
TEST_F(CliFaultTest, SignalsStopTheRunAtOnceAndLeaveNothingBehind) {
    Optimizer("echo $$ > " + Quoted((app / "pid").string()) + "\nexec sleep 30");
    std::vector<std::string> items = Sources({});
    test::WriteBytes(items[0], ReadBytes(kOptimizerOnlyPng));       // so that the companion runs
    std::rotate(items.begin(), items.begin() + 1, items.end() - 1); // gif, bmp, png, jpg
    for (const auto& [signal, jobs] : std::vector<std::pair<int, std::string>>{
             {SIGINT, "1"}, {SIGTERM, "2"}, {SIGHUP, "1"}, {SIGKILL, "2"}}) {
        SCOPED_TRACE(signal);
        for (const std::string& item : items)
            test::WriteBytes(*PlannedOutput(item), {kEarlier.begin(), kEarlier.end()});
        fs::remove(app / "pid");
        const test::SourceGuard guard = test::GuardItems({files.path()}, items);
        const Child tool = Start(items, {}, {}, jobs);
        ASSERT_TRUE(Within(std::chrono::seconds(20),
                           [&] { return fs::exists(app / "pid") && fs::file_size(app / "pid"); }));
        const pid_t optimizer = std::stoi(test::ReadText(app / "pid"));
        ::kill(tool.pid, signal);
        const ChildResult result = tool.Wait();
        EXPECT_EQ(result.exitCode, 128 + signal);
        EXPECT_TRUE(Within(std::chrono::seconds(10), [&] { return !Running(optimizer); }));
        if (signal == SIGKILL) continue; // nothing could clean up; the next round starts afresh

        const std::vector<Json> lines = Checked(result, guard);
        ASSERT_EQ(lines.size(), items.size());
        EXPECT_EQ(lines[2]["status"], "not_done");
        for (size_t item = 0; item < items.size(); ++item) {
            const bool done = lines[item]["status"] == "ok";
            EXPECT_TRUE(jobs != "1" || done == (item < 2)) << item; // one worker: in order
            if (done)
                ExpectClearOutcome(lines[item], Outcome::Ok);
            else
                EXPECT_EQ(std::pair(lines[item]["status"], ReadText(*PlannedOutput(items[item]))),
                          std::pair(Json("not_done"), kEarlier));
        }
        EXPECT_EQ(messages.find("Done."), std::string::npos);
    }
}

} // namespace
} // namespace lumatrim
