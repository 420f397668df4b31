// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The four routes, from loading a picture to the reduced file beside its source, and the
// optimizer's child process.
#include "app/batch/batch_driver.h"
#include "app/platform/jpeg_writer.h"
#include "app/platform/paths.h"
#include "app/platform/picture_loader.h"
#include "app/platform/shell.h"
#include "app/routes/bmp_route.h"
#include "app/routes/gif_route.h"
#include "app/routes/png_route.h"
#include "imaging/dib.h"

#include "recording_host.h"
#include "support/jpeg_tables.h"
#include "support/test_support.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>

namespace lumatrim {
namespace {

namespace fs = std::filesystem;

const fs::path kProfiled = test::DataFile("jpeg/gdk-pixbuf-tests_icc-profile.jpg");
const fs::path kGrey = test::DataFile("jpeg/hugin-data_help_en_en_120px-flatfield2_munich.jpg");

LoadedPicture Load(const fs::path& file) {
    LoadedPicture picture;
    EXPECT_TRUE(LoadPicture(file.string(), picture)) << file;
    return picture;
}

// The picture tests/data/bmp/make_fixtures.py writes at every depth: 5x3, pixel (x, y) from the
// top has colour kColours[(x + 5y) % n], with n = 2 at 1 bit and 16 otherwise.
struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

Rgb FixtureColour(int32_t x, int32_t yFromTop, int32_t count) {
    const int i = (x + 5 * yFromTop) % count;
    return {static_cast<uint8_t>(i * 16 + 8), static_cast<uint8_t>(255 - i * 16),
            static_cast<uint8_t>((i * 37) % 256)};
}

// Pixel (x, y from the top) of a 32-bit surface, whose first memory row is the bottom one.
Rgb PixelAt(const cDIB& surface, int32_t x, int32_t yFromTop) {
    const uint8_t* p =
        surface.lpBits() + (surface.Height() - 1 - yFromTop) * surface.BytesPerScanline() + 4 * x;
    return {p[2], p[1], p[0]};
}

// Qt reads 4-bit files as 8-bit indexed and 24-bit ones as 32-bit; the depth is kept otherwise.
TEST(PictureLoader, EveryBmpDepthGivesThePictureBottomUpInItsOwnDepth) {
    struct Case {
        std::string file;
        int32_t loadedBpp, colourCount;
    };
    const Case cases[] = {{"picture_1bpp.bmp", 1, 2},    {"picture_4bpp.bmp", 8, 16},
                          {"picture_8bpp.bmp", 8, 16},   {"picture_24bpp.bmp", 32, 16},
                          {"picture_32bpp.bmp", 32, 16}, {"picture_24bpp_topdown.bmp", 32, 16}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const LoadedPicture picture = Load(test::DataFile("bmp/" + c.file));
        EXPECT_EQ(picture.Image.BPP, c.loadedBpp);
        cDIB surface;
        ASSERT_EQ(surface.CreateFromStdPicture(&picture.Image, true), c.loadedBpp);
        ASSERT_EQ(surface.Width(), 5);
        ASSERT_EQ(surface.Height(), 3);
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 5; ++x)
                EXPECT_EQ(PixelAt(surface, x, y), FixtureColour(x, y, c.colourCount))
                    << x << "," << y;
    }
}

TEST(PictureLoader, JpegIsTurnedUprightByItsExifOrientation) {
    const LoadedPicture rotated = Load(test::DataFile("jpeg/rotated.jpg"));
    cDIB surface;
    ASSERT_TRUE(surface.CreateFromStdPicture(&rotated.Image, true));
    ASSERT_EQ(surface.Width(), 2);
    ASSERT_EQ(surface.Height(), 4);
    EXPECT_GT(PixelAt(surface, 0, 0).r, 200); // red on top
    EXPECT_GT(PixelAt(surface, 1, 3).b, 200); // blue below
}

// Qt would fill in the missing rows of a cut-off file and call it loaded. Only the last row's
// padding may be missing, as some writers leave it out.
TEST(PictureLoader, FilesThatHoldNoWholePictureOrTooManyPixelsFailAndLeaveNothing) {
    const test::TempDir dir;
    const std::vector<uint8_t> bmp = test::ReadBytes(test::DataFile("bmp/picture_24bpp.bmp"));
    test::WriteBytes(dir / "empty.bmp", {});
    test::WriteBytes(dir / "text.jpg", {'h', 'i'});
    test::WriteBytes(dir / "header-only.bmp", {bmp.begin(), bmp.begin() + 30});
    test::WriteBytes(dir / "cut-rows.bmp", {bmp.begin(), bmp.end() - 2});
    // Found by fuzzing: 32 bytes whose cut-off header Qt read as an 8232 x 13954 top-down picture.
    test::WriteBytes(dir / "cut-header.bmp",
                     {0x42, 0x4d, 0x35, 0x03, 0x00, 0x1e, 0x00, 0x00, 0x00, 0xd0, 0xa9,
                      0x00, 0x00, 0x00, 0x00, 0x00, 0xe8, 0x00, 0x28, 0x20, 0x7e, 0xc9,
                      0x01, 0x00, 0x10, 0x00, 0x00, 0x00, 0xe4, 0xff, 0xff, 0xff});
    test::WriteBytes(dir / "unpadded.bmp", {bmp.begin(), bmp.end() - 1});
    EXPECT_EQ(Load(dir / "unpadded.bmp").Image.Width, 5);
    const std::vector<uint8_t> jpeg = test::ReadBytes(kProfiled);
    test::WriteBytes(dir / "cut.jpg", {jpeg.begin(), jpeg.end() - 100});
    for (const std::string name : {"empty.bmp", "text.jpg", "header-only.bmp", "cut-rows.bmp",
                                   "cut-header.bmp", "cut.jpg", "missing.bmp"}) {
        LoadedPicture picture;
        picture.IccProfile = {1};
        EXPECT_FALSE(LoadPicture((dir / name).string(), picture)) << name;
        EXPECT_EQ(picture.Image.Width, 0) << name;
        EXPECT_TRUE(picture.IccProfile.empty()) << name;
    }
    // The limit is checked on the size the header gives: a picture just over it is refused
    // with its own reason, one at it loads.
    LoadedPicture picture;
    bool tooLarge = false;
    EXPECT_FALSE(LoadPictureFromMemory(bmp, picture, &tooLarge, 5 * 3 - 1));
    EXPECT_TRUE(tooLarge);
    EXPECT_TRUE(LoadPictureFromMemory(bmp, picture, &tooLarge, 5 * 3));
    EXPECT_FALSE(tooLarge);
}

uint32_t Read32(const std::vector<uint8_t>& file, size_t at) {
    return file[at] | file[at + 1] << 8 | file[at + 2] << 16 | uint32_t{file[at + 3]} << 24;
}

// Every depth becomes an 8-bit BMP of the same size with a full 256-entry colour table, even
// where that is larger than the source; a load failure names the source, a write failure the
// output it could not write.
TEST(BmpRoute, EverySourceDepthBecomesAn8BitBmpOfItsSizeAndFailuresSayWhere) {
    const test::TempDir dir;
    struct Case {
        std::string file;
        uint32_t width, height;
    };
    const Case cases[] = {{"picture_1bpp.bmp", 5, 3},
                          {"picture_4bpp.bmp", 5, 3},
                          {"picture_8bpp.bmp", 5, 3},
                          {"picture_24bpp.bmp", 5, 3},
                          {"picture_32bpp.bmp", 5, 3},
                          {"gemdropx_paused.bmp", 48, 16},
                          {"rockdodger_deadrock7.bmp", 21, 22},     // bitfields
                          {"allegro5-doc_alexlogo.bmp", 128, 128}}; // run-length encoded
    const auto path = [&](const std::string& name) { return (dir / name).string(); };
    std::vector<std::string> items;
    for (const Case& c : cases) {
        fs::copy_file(test::DataFile("bmp/" + c.file), dir / c.file);
        items.push_back(path(c.file));
    }
    const std::vector<uint8_t> bmp = test::ReadBytes(test::DataFile("bmp/picture_24bpp.bmp"));
    test::WriteBytes(dir / "cut.bmp", {bmp.begin(), bmp.begin() + 40});
    test::WriteBytes(dir / "blocked.bmp", bmp);
    fs::create_directory(dir / "blocked_reduced.bmp");
    items.insert(items.end(), {path("cut.bmp"), path("blocked.bmp")});
    test::RecordingHost host(items);
    host.allowLarger = true;
    RunBatch(host, dir.path().string());

    EXPECT_EQ(
        host.messages,
        (std::vector{test::ErrorOnImage("Unexpected error loading image.." + path("cut.bmp")),
                     test::ErrorOnImage("Cannot write the file: " + path("blocked_reduced.bmp")),
                     test::kDone}));
    EXPECT_EQ(host.reports.back().status, ItemStatus::Error);
    EXPECT_EQ(host.reports.back().route, "bmp");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::vector<uint8_t> file =
            test::ReadBytes(dir / (c.file.substr(0, c.file.size() - 4) + "_reduced.bmp"));
        ASSERT_GE(file.size(), 54u);
        EXPECT_EQ(Read32(file, 10), 54u + 1024u); // pixels after a 256-entry table
        EXPECT_EQ(Read32(file, 18), c.width);
        EXPECT_EQ(Read32(file, 22), c.height);
        EXPECT_EQ(file[28], 8); // bits per pixel
        EXPECT_EQ(file.size(), 1078u + (c.width + 3) / 4 * 4 * c.height);
    }
}

// Whether the file has a progressive frame header (SOF2) of 8-bit samples with `components`
// components, by its length field.
bool IsProgressive(const std::vector<uint8_t>& file, uint8_t components) {
    const uint8_t header[] = {0xFF, 0xC2, 0, static_cast<uint8_t>(8 + 3 * components), 8};
    return std::search(file.begin(), file.end(), std::begin(header), std::end(header)) !=
           file.end();
}

TEST(SaveJPG, WritesTheAskedQualityAtThePicturesSizeProgressivelyWithItsProfile) {
    const test::TempDir dir;
    const LoadedPicture source = Load(kProfiled);
    ASSERT_FALSE(source.IccProfile.empty());
    const std::string output = (dir / "out.jpg").string();
    for (const int quality : {1, 50, 85, 100}) {
        SCOPED_TRACE(quality);
        JpegSaveStatus status = JpegSaveStatus::GenericError;
        ASSERT_TRUE(SaveJPG(source, output, static_cast<uint8_t>(quality), status));
        EXPECT_EQ(status, JpegSaveStatus::Ok);
        const std::vector<uint8_t> file = test::ReadBytes(output);
        EXPECT_EQ(test::QuantizationTables(file),
                  (std::vector{test::ReferenceTable(test::kLuminance, quality),
                               test::ReferenceTable(test::kChrominance, quality)}));
        EXPECT_TRUE(IsProgressive(file, 3));
        const LoadedPicture written = Load(output);
        EXPECT_EQ(written.Image.Width, 48);
        EXPECT_EQ(written.Image.Height, 48);
        EXPECT_EQ(written.IccProfile, source.IccProfile);
    }
    JpegSaveStatus status{};
    ASSERT_TRUE(SaveJPG(Load(kGrey), output, 85, status));
    EXPECT_TRUE(IsProgressive(test::ReadBytes(output), 1)); // grey stays grey
}

TEST(SaveJPG, FailuresGiveTheirStatusAndLeaveNoFile) {
    const test::TempDir dir;
    JpegSaveStatus status{};
    EXPECT_FALSE(SaveJPG(Load(kProfiled), (dir / "missing" / "out.jpg").string(), 85, status));
    EXPECT_EQ(JpegSaveErrorText(status), "Cannot save the image. GDI+ Error:7");
    EXPECT_FALSE(SaveJPG(LoadedPicture{}, (dir / "out.jpg").string(), 85, status));
    EXPECT_EQ(JpegSaveErrorText(status), "Cannot save the image. GDI+ Error:2");
    EXPECT_TRUE(dir.FileNames().empty());
}

// Loader and writer keep no shared state: threads reducing at once all get the same file.
TEST(SaveJPG, ThreadsLoadingAndSavingAtOnceAgree) {
    const test::TempDir dir;
    const auto output = [&](int worker) { return dir / ("out" + std::to_string(worker) + ".jpg"); };
    std::vector<std::thread> threads;
    for (int worker = 0; worker < 4; ++worker)
        threads.emplace_back([&, worker] {
            for (int round = 0; round < 3; ++round) {
                LoadedPicture picture;
                JpegSaveStatus status{};
                EXPECT_TRUE(LoadPicture(kProfiled.string(), picture) &&
                            SaveJPG(picture, output(worker).string(), 85, status));
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    for (int worker = 1; worker < 4; ++worker)
        EXPECT_EQ(test::ReadBytes(output(worker)), test::ReadBytes(output(0)));
}

// "jpeg" and "jpe" name JPEG files too, and share the "_reduced.jpg" suffix.
TEST(JpegRoute, EveryJpegExtensionIsReducedAndUnreadableOnesAreReported) {
    const test::TempDir dir;
    const std::vector<uint8_t> jpeg = test::ReadBytes(kProfiled);
    for (const std::string name : {"a.jpg", "b.JPEG", "c.jpe"})
        test::WriteBytes(dir / name, jpeg);
    test::WriteBytes(dir / "broken.jpg", {0xFF, 0xD8, 0xFF});
    const auto path = [&](const std::string& name) { return (dir / name).string(); };
    test::RecordingHost host({path("a.jpg"), path("broken.jpg"), path("b.JPEG"), path("c.jpe")});
    RunBatch(host, dir.path().string());

    EXPECT_EQ(host.messages, (std::vector{test::ErrorOnImage("Unexpected error loading image.." +
                                                             path("broken.jpg")),
                                          test::kDone}));
    for (const std::string name : {"a", "b", "c"})
        EXPECT_EQ(Load(dir / (name + "_reduced.jpg")).Image.Width, 48) << name;
    ASSERT_EQ(host.reports.size(), 4u);
    EXPECT_EQ(host.reports[2].route, "jpg");
    EXPECT_EQ(host.reports[2].output, path("b_reduced.jpg"));
    EXPECT_EQ(host.reports[1].status, ItemStatus::Error);
}

TEST(GifRouteTest, ReducesGifsBesideTheirSourcesAndReportsLoadSaveAndSizeFailures) {
    const test::TempDir files;
    const std::vector<uint8_t> animation =
        test::ReadBytes(test::DataFile("gif/ckeditor_kama_spinner.gif"));
    for (const char* name : {"spin.GIF", "blocked.gif", "again.gif"})
        test::WriteBytes(files / name, animation);
    test::WriteBytes(files / "broken.gif", {'P', 'N', 'G', 0});
    // One 20000 x 20000 frame (0x4E20 a side); its one data byte is never decoded.
    test::WriteBytes(files / "huge.gif",
                     {'G',  'I',  'F',  '8',  '9', 'a', 1, 0,    1, 0,   0x80, 0,
                      0,    0,    0,    0,    1,   1,   1, 0x2C, 0, 0,   0,    0,
                      0x20, 0x4E, 0x20, 0x4E, 0,   2,   1, 0,    0, 0x3B});
    // Rewritten, this 87a file would gain a graphic control block: it is copied instead.
    const std::vector<uint8_t> tiny = test::ReadBytes(test::DataFile("gif/mirmon_mirmon_f.gif"));
    test::WriteBytes(files / "tiny.gif", tiny);
    fs::create_directory(files / "blocked_reduced.gif");
    const auto path = [&](const char* name) { return (files / name).string(); };
    test::RecordingHost host({path("spin.GIF"), path("broken.gif"), path("blocked.gif"),
                              path("again.gif"), path("huge.gif"), path("tiny.gif")});
    RouteWorkspace workspace;
    RunBatch(host, files.path().string(), workspace);

    using enum MessageIcon;
    ASSERT_EQ(host.messages.size(), 4u);
    EXPECT_EQ(host.messages[0], test::Message("Error loading gif file.." + path("broken.gif"),
                                              "Error Loading GIF file", Exclamation));
    EXPECT_EQ(host.messages[1],
              test::Message("Error saving gif file.." + path("blocked_reduced.gif"),
                            "Error Saving GIF file", Exclamation));
    EXPECT_EQ(std::get<0>(host.messages[2]), std::string(kGifTooLarge) + path("huge.gif"));
    EXPECT_EQ(host.messages[3], test::kDone);
    ASSERT_EQ(host.reports.size(), 6u);
    EXPECT_EQ(host.reports[0].route, "gif");
    EXPECT_EQ(host.reports[0].output, path("spin_reduced.gif"));
    EXPECT_EQ(host.reports[2].status, ItemStatus::Error);
    EXPECT_EQ(host.reports[3].status, ItemStatus::Ok);
    EXPECT_FALSE(workspace.gif); // the document does not outlive the run

    const std::vector<uint8_t> reduced = test::ReadBytes(files / "spin_reduced.gif");
    EXPECT_LT(reduced.size(), animation.size());
    EXPECT_EQ(test::ReadBytes(files / "again_reduced.gif"), reduced);
    EXPECT_FALSE(fs::exists(files / "huge_reduced.gif"));
    EXPECT_EQ(test::ReadBytes(files / "tiny_reduced.gif"), tiny);
    EXPECT_EQ(host.reports[5].result, ItemResult::Copy);
}

// Arguments reach the child as they are, with no shell to expand them.
TEST(ShellAndWaitTest, ReturnsExitCodeSignalPlus128OrStartFailureAndServicesEvents) {
    const test::TempDir dir;
    const std::string tricky = "my file's \"name\" $HOME `date` *.png";
    test::WriteScript(dir / "echo-arg", "sleep 0.35\nprintf '%s' \"$1\" > \"$2\"\nexit 3");
    int polls = 0;
    EXPECT_EQ(ShellAndWait({(dir / "echo-arg").string(), tricky, (dir / "seen").string()}, 0,
                           [&] { ++polls; }),
              3);
    EXPECT_EQ(test::ReadText(dir / "seen"), tricky);
    EXPECT_GE(polls, 2);
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
    EXPECT_NE(::kill(std::stoi(test::ReadText(dir / "pid")), 0), 0);
    EXPECT_EQ(ShellAndWait({"/bin/sh", "-c", "exit 4"}, 0, test::kNoEvents, std::chrono::hours(1)),
              4);
}

const std::vector<uint8_t> kSource = {0x89, 'P', 'N', 'G', 1, 2, 3, 4, 5, 6, 7, 8};

class PngRouteTest : public ::testing::Test {
protected:
    PngRouteTest() { test::WriteBytes(source, kSource); }
    // The item's report, with `tools` as the application folder that holds the optimizer.
    ItemReport Reduce() const {
        const test::SourceGuard guard({files.path()}, {output});
        test::RecordingHost host({source});
        RunBatch(host, tools.path().string());
        EXPECT_EQ(guard.ChangedFiles(), std::vector<std::string>());
        return host.reports.at(0);
    }

    test::TempDir files, tools;
    const std::string source = (files / "in.png").string();
    const std::string output = (files / "in_reduced.png").string();
};

// Each bad optimizer leaves a smaller work file where it can, so only the exit code or the
// driver's size check stands between it and a broken output. The work file is unique and
// removed.
TEST_F(PngRouteTest, KeepsASmallerResultOrCopiesTheSourceWhenTheOptimizerFailsOrGrowsIt) {
    const std::string tell = "printf '%s' \"$1\" > " + (tools / "work-path").string() + "\n";
    for (const std::string& body :
         {std::string(), tell + "printf 'tiny' > \"$1\"", tell + ": > \"$1\"\nexit 1",
          tell + ": > \"$1\"\nkill -9 $$", std::string("rm \"$1\""),
          tell + "printf 'more bytes than before' >> \"$1\""}) {
        SCOPED_TRACE(body);
        fs::remove(output);
        fs::remove(tools / "work-path");
        if (!body.empty()) test::WriteScript(tools / "optipng", body);
        const bool smaller = body.ends_with("'tiny' > \"$1\"");
        const ItemReport report = Reduce();
        EXPECT_EQ(report.status, ItemStatus::Ok);
        EXPECT_EQ(report.result, smaller ? ItemResult::Reduced : ItemResult::Copy);
        EXPECT_EQ(test::ReadText(output), smaller ? "tiny" : test::ReadText(source));
        EXPECT_EQ(files.FileNames(), (std::vector<std::string>{"in.png", "in_reduced.png"}));
        if (!fs::exists(tools / "work-path")) continue;
        const fs::path work = test::ReadText(tools / "work-path");
        EXPECT_EQ(work.parent_path(), fs::temp_directory_path());
        EXPECT_EQ(work.extension(), ".png");
        EXPECT_FALSE(fs::exists(work));
    }
}

// The build links optipng into its own folder when the system has one.
TEST(PngRouteWithOptipng, WritesASmallerValidPngAndLeavesTheSourceAlone) {
    const std::string optipng =
        PathInFolder(fs::path(ApplicationFolder()).parent_path().string(), "optipng");
    if (!FileExists(optipng)) GTEST_SKIP() << "no optipng beside the build";
    const test::TempDir dir;
    const fs::path source = dir / "posbar.png";
    fs::copy_file(test::DataFile("audacious-plugins-data_posbar.png"), source);
    const std::vector<uint8_t> original = test::ReadBytes(source);

    test::RecordingHost host({source.string()});
    RunBatch(host, fs::path(optipng).parent_path().string());
    ASSERT_EQ(host.reports.at(0).result, ItemResult::Reduced);
    const std::vector<uint8_t> reduced = test::ReadBytes(dir / "posbar_reduced.png");
    EXPECT_LT(reduced.size(), original.size());
    EXPECT_TRUE(std::equal(original.begin(), original.begin() + 8, reduced.begin()));
    EXPECT_EQ(test::ReadBytes(source), original);
}

} // namespace
} // namespace lumatrim
