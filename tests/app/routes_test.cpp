// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The four routes, from loading a picture to the reduced file beside its source, their lossy
// candidates, and the optimizer's child process.
#include "app/batch/batch_driver.h"
#include "app/platform/paths.h"
#include "app/platform/shell.h"
#include "app/routes/gif_route.h"
#include "app/routes/jpeg_route.h"
#include "app/routes/lossy_level.h"
#include "app/routes/picture_limits.h"
#include "app/routes/png_lossy.h"
#include "app/routes/png_route.h"
#include "imaging/likeness.h"
#include "jpeg/jpeg_decoder.h"
#include "jpegenc/jpeg_encoder.h"

#include "jpeg/test_jpeg_files.h"
#include "png/png_builder.h"
#include "recording_host.h"
#include "support/test_support.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <gtest/gtest.h>

namespace lumatrim {
namespace {

namespace fs = std::filesystem;

const fs::path kProfiled = test::DataFile("jpeg/gdk-pixbuf-tests_icc-profile.jpg");

// What `route` offers for `source`, with no companion program.
RouteProduct RunRoute(RouteResult (*route)(const RouteJob&), const fs::path& source,
                      int32_t quality = 85, bool keepMetadata = false,
                      std::optional<int32_t> lossy = std::nullopt) {
    RouteWorkspace workspace;
    const RouteJob job{source.string(), "", "",        quality, [] {},       {},
                       Effort::Default, {}, workspace, lossy,   keepMetadata};
    RouteResult result = route(job);
    EXPECT_TRUE(std::holds_alternative<RouteProduct>(result)) << source;
    return std::holds_alternative<RouteProduct>(result) ? std::get<RouteProduct>(result)
                                                        : RouteProduct{};
}

// The baseline frame header's marker and sample precision set to others.
std::vector<uint8_t> WithFrame(std::vector<uint8_t> jpeg, uint8_t marker, uint8_t precision) {
    size_t at = 2;
    while (jpeg.at(at + 1) != 0xC0)
        at += 2 + (size_t{jpeg.at(at + 2)} << 8 | jpeg.at(at + 3));
    jpeg.at(at + 1) = marker;
    jpeg.at(at + 4) = precision;
    return jpeg;
}

// "jpeg" and "jpe" name JPEG files too, and share the "_reduced.jpg" suffix. A file that is no
// picture, a damaged one and one of too many pixels are refused, each with its cause (a damaged
// or mislabelled BMP in cli_fault_test, a huge one here); so are JPEGs of kinds the decoder does
// not take.
TEST(JpegAndBmpRoutes, ReduceEveryJpegExtensionAndRefuseBadFilesWithTheirCause) {
    const test::TempDir dir;
    const std::vector<uint8_t> jpeg = test::ReadBytes(kProfiled);
    std::vector<uint8_t> cut(jpeg.begin(), jpeg.begin() + ptrdiff_t(jpeg.size() / 2));
    cut.insert(cut.end(), {0xFF, 0xD9}); // cut in half, with an end marker after
    std::vector<uint8_t> bmp = test::ReadBytes(test::DataFile("bmp/picture_24bpp.bmp"));
    for (const size_t at : {18, 22}) // width and height: 16385 a side
        bmp[at] = 0x01, bmp[at + 1] = 0x40, bmp[at + 2] = bmp[at + 3] = 0;
    test::RecordingHost host(dir.WriteAll({{"a.jpg", jpeg},
                                           {"text.jpg", {'h', 'i'}},
                                           {"b.JPEG", jpeg},
                                           {"cut.jpg", cut},
                                           {"c.jpe", jpeg},
                                           {"huge.jpg", test::WithFrameSize(jpeg, 20000, 20000)},
                                           {"huge.bmp", bmp},
                                           {"twelve.jpg", WithFrame(jpeg, 0xC1, 12)},
                                           {"lossless.jpg", WithFrame(jpeg, 0xC3, 8)},
                                           {"hierarchical.jpg", WithFrame(jpeg, 0xC5, 8)}}));
    RunBatch(host, dir.path().string());
    const auto path = [&](const std::string& name) { return dir.Path(name); };

    ASSERT_EQ(host.messages.size(), 8u);
    EXPECT_EQ(host.messages[0], test::ErrorOnImage("Not a JPEG file.." + path("text.jpg")));
    const std::string damaged = std::get<0>(host.messages[1]);
    EXPECT_TRUE(damaged.starts_with(kDamagedImage) && damaged.ends_with(").." + path("cut.jpg")))
        << damaged;
    EXPECT_EQ(host.messages[2], test::ErrorOnImage(std::string(kImageTooLarge) + path("huge.jpg")));
    EXPECT_EQ(host.messages[3], test::ErrorOnImage(std::string(kImageTooLarge) + path("huge.bmp")));
    for (const auto& [at, name, kind] :
         {std::tuple(4, "twelve.jpg", "12-bit samples"),
          std::tuple(5, "lossless.jpg", "the lossless process"),
          std::tuple(6, "hierarchical.jpg", "the hierarchical process")})
        EXPECT_EQ(host.messages[at],
                  test::ErrorOnImage("Unexpected error loading image.." + path(name) +
                                     " (unsupported: " + kind + ")"));
    EXPECT_EQ(host.messages[7], test::kDone);
    using enum ItemStatus;
    ASSERT_EQ(test::Statuses(host.reports),
              (std::vector{Ok, Error, Ok, Error, Ok, Error, Error, Error, Error, Error}));
    EXPECT_EQ((std::array{host.reports[1].damaged, host.reports[3].damaged, host.reports[5].damaged,
                          host.reports[7].damaged}),
              (std::array{false, true, false, false}));
    EXPECT_EQ(host.reports[2].route, "jpg");
    EXPECT_EQ(host.reports[2].output, path("b_reduced.jpg"));
    EXPECT_EQ(host.reports[6].route, "bmp");
    for (const std::string name : {"a", "b", "c"})
        EXPECT_EQ(test::Decode(test::ReadBytes(dir / (name + "_reduced.jpg"))).width, 48u) << name;
    EXPECT_EQ(dir.FileNames().size(), 13u);
}

const std::array<uint8_t, 2> kDqt = {0xFF, 0xDB};

// A marker segment's bytes: the marker, the length (which counts itself), the data.
std::vector<uint8_t> Segment(uint8_t marker, const std::string& data) {
    const size_t length = data.size() + 2;
    std::vector<uint8_t> segment(4 + data.size());
    segment[0] = 0xFF, segment[1] = marker;
    segment[2] = uint8_t(length >> 8), segment[3] = uint8_t(length);
    std::copy(data.begin(), data.end(), segment.begin() + 4);
    return segment;
}

// Asked to, both the re-encode and the lossless rewrite (at quality 100 from a quality-30 file
// both are candidates: the rewrite beats the source by the maker segment it drops) keep EXIF,
// XMP, IPTC and the comment as they were, but for the EXIF orientation: the picture was turned
// upright, so it says 1 in the block's own little-endian order. The maker segment (APP12) is
// dropped either way, and by default everything is, as before. The rewrite, the smallest, is
// what the run writes.
TEST(JpegRoute, KeepsExifXmpIptcAndCommentsInBothCandidatesOnlyWhenAsked) {
    const test::TempDir dir;
    JpegEncodeOptions low;
    low.quality = 30;
    JpegPicture picture{256, 64, 3, std::vector<uint8_t>(256 * 64 * 3), {}, false, {}};
    for (size_t i = 0; i < picture.samples.size(); ++i)
        picture.samples[i] = uint8_t(i % 768 / 3 + i % 5 * 9);
    std::vector<uint8_t> source = EncodeJpeg(picture, low);
    ASSERT_FALSE(source.empty());
    using namespace std::string_literals;
    const std::string tiff = "II*\0\x08\0\0\0\x02\0"                        // two entries
                             "\x0F\x01\x02\0\x04\0\0\0Cam\0"                // Make: "Cam"
                             "\x12\x01\x03\0\x01\0\0\0\x06\0\0\0\0\0\0\0"s; // orientation 6
    const std::vector<std::vector<uint8_t>> kept = {
        Segment(0xE1, "Exif\0\0"s + tiff), Segment(0xE1, "http://ns.adobe.com/xap/1.0/\0<x/>"s),
        Segment(0xED, "Photoshop 3.0\08BIM\x04\x04"s), Segment(0xFE, "a comment")};
    const std::vector<uint8_t> maker = Segment(0xEC, "Ducky" + std::string(600, '\0'));
    std::vector<uint8_t> uprightExif = kept[0];
    uprightExif[uprightExif.size() - 8] = 1;
    for (auto segment = kept.rbegin(); segment != kept.rend(); ++segment)
        source.insert(source.begin() + 2, segment->begin(), segment->end());
    source.insert(source.begin() + 2, maker.begin(), maker.end());
    const std::string path = dir.Write("photo.jpg", source);
    const auto dqt = std::search(source.begin(), source.end(), kDqt.begin(), kDqt.end());
    const std::vector<uint8_t> table(dqt, dqt + 6); // marker, length, table 0, its DC step

    for (const bool keep : {false, true}) {
        SCOPED_TRACE(keep);
        const RouteProduct product = RunRoute(&ReduceJpeg, path, 100, keep);
        ASSERT_TRUE(product.reduced && product.lossless);
        // The rewrite keeps the source's DC quantizer (turning moves only the AC ones); a
        // re-encode at 100 has its own.
        EXPECT_TRUE(test::Contains(product.lossless->bytes, table));
        EXPECT_FALSE(test::Contains(product.reduced->bytes, table));
        test::RecordingHost host({path});
        host.quality = 100, host.keepMetadata = keep;
        RunBatch(host, dir.path().string());
        EXPECT_EQ(host.reports.at(0).result, ItemResult::Lossless);
        EXPECT_EQ(test::ReadBytes(dir / "photo_reduced.jpg"), product.lossless->bytes);
        for (const std::vector<uint8_t>& file : {product.reduced->bytes, product.lossless->bytes}) {
            EXPECT_EQ(test::Decode(file).width, 64u) << "upright";
            EXPECT_EQ(test::Contains(file, uprightExif), keep);
            for (size_t k = 1; k < kept.size(); ++k)
                EXPECT_EQ(test::Contains(file, kept[k]), keep) << k;
            EXPECT_FALSE(test::Contains(file, kept[0]) || test::Contains(file, maker));
        }
    }
}

// A GIF cut short is reduced as far as it can be read (browsers show what it holds) and reported
// damaged; one with no colour table at all has nothing to show and fails at its load.
TEST(GifRouteTest, ReducesGifsBesideTheirSourcesAndReportsLoadSaveSizeAndDamage) {
    const test::TempDir files;
    const std::vector<uint8_t> animation =
        test::ReadBytes(test::DataFile("gif/ckeditor_kama_spinner.gif"));
    // Rewritten, this 87a file would gain a graphic control block: it is copied instead.
    const std::vector<uint8_t> tiny = test::ReadBytes(test::DataFile("gif/mirmon_mirmon_f.gif"));
    std::vector<uint8_t> colourless = tiny;
    colourless[10] = 0; // no global table, and the image has no local one
    colourless.erase(colourless.begin() + 13, colourless.begin() + 19);
    // One 20000 x 20000 frame (0x4E20 a side); its one data byte is never decoded.
    const std::vector<uint8_t> huge = {'G',  'I',  'F',  '8',  '9', 'a', 1, 0,    1, 0,   0x80, 0,
                                       0,    0,    0,    0,    1,   1,   1, 0x2C, 0, 0,   0,    0,
                                       0x20, 0x4E, 0x20, 0x4E, 0,   2,   1, 0,    0, 0x3B};
    fs::create_directory(files / "blocked_reduced.gif");
    test::RecordingHost host(
        files.WriteAll({{"spin.GIF", animation},
                        {"broken.gif", {'P', 'N', 'G', 0}},
                        {"blocked.gif", animation},
                        {"again.gif", animation},
                        {"huge.gif", huge},
                        {"tiny.gif", tiny},
                        {"colourless.gif", colourless},
                        {"cut.gif", {animation.begin(), animation.begin() + 2000}}}));
    const auto path = [&](const char* name) { return files.Path(name); };
    RouteWorkspace workspace;
    RunBatch(host, files.path().string(), workspace);

    const auto shown = [&](const std::string& prompt, const char* title) {
        return test::Message(prompt, title, MessageIcon::Exclamation);
    };
    const std::string damage = std::string(kGifDamaged) + path("cut.gif");
    const char* loading = "Error Loading GIF file";
    EXPECT_EQ(host.messages,
              (std::vector{shown("Not a GIF file.." + path("broken.gif"), loading),
                           shown("Error saving gif file.." + path("blocked_reduced.gif") +
                                     " (Is a directory)",
                                 "Error Saving GIF file"),
                           shown(std::string(kGifTooLarge) + path("huge.gif"), loading),
                           shown("Error loading gif file.." + path("colourless.gif"), loading),
                           shown(damage, "Damaged image"), test::kDone}));
    using enum ItemStatus;
    ASSERT_EQ(test::Statuses(host.reports),
              (std::vector{Ok, Error, Error, Ok, Error, Ok, Error, Ok}));
    EXPECT_EQ(host.reports[0].route, "gif");
    EXPECT_EQ(host.reports[0].output, path("spin_reduced.gif"));
    EXPECT_FALSE(host.reports[0].damaged);
    EXPECT_TRUE(host.reports[7].damaged);
    EXPECT_EQ(host.reports[7].message, damage);
    EXPECT_FALSE(workspace.gif); // the document does not outlive the run

    const std::vector<uint8_t> reduced = test::ReadBytes(files / "spin_reduced.gif");
    EXPECT_LT(reduced.size(), animation.size());
    EXPECT_EQ(test::ReadBytes(files / "again_reduced.gif"), reduced);
    EXPECT_FALSE(fs::exists(files / "huge_reduced.gif"));
    EXPECT_EQ(test::ReadBytes(files / "tiny_reduced.gif"), tiny);
    EXPECT_EQ(host.reports[5].result, ItemResult::Copy);
}

// Asked to, the GIF route keeps comments and application blocks, an XMP block with its own
// layout of sub-blocks byte for byte; by default both are dropped, as before. The looping block
// stays either way.
TEST(GifRouteTest, KeepsCommentsAndApplicationBlocksOnlyWhenAsked) {
    const test::TempDir dir;
    std::vector<uint8_t> animation =
        test::ReadBytes(test::DataFile("gif/ckeditor_kama_spinner.gif"));
    using namespace std::string_literals;
    // Octal escapes: a hex one would take the letters after it for digits.
    const std::string comment = "\x21\xFE\5hello\0"s, trailing = "\x21\xFE\3bye\0"s;
    const std::string xmp = "\x21\xFF\13XMP DataXMP\3abc\1z\0"s;
    const size_t globalTable = animation[10] & 0x80 ? 3u << ((animation[10] & 7) + 1) : 0;
    animation.insert(animation.end() - 1, trailing.begin(), trailing.end());
    animation.insert(animation.begin() + 13 + ptrdiff_t(globalTable), xmp.begin(), xmp.end());
    animation.insert(animation.begin() + 13 + ptrdiff_t(globalTable), comment.begin(),
                     comment.end());
    const std::string path = dir.Write("spin.gif", animation);
    for (const bool keep : {false, true}) {
        SCOPED_TRACE(keep);
        const std::vector<uint8_t> reduced = RunRoute(&ReduceGif, path, 85, keep).reduced->bytes;
        EXPECT_TRUE(test::Contains(reduced, std::string("NETSCAPE2.0")));
        for (const std::string& block : {comment, trailing, xmp})
            EXPECT_EQ(test::Contains(reduced, block), keep) << block.substr(0, 4);
    }
}

std::optional<uintmax_t> SizeOf(const std::optional<Candidate>& candidate) {
    return candidate ? candidate->Size() : std::nullopt;
}

std::vector<uint8_t> BytesOf(const std::optional<Candidate>& candidate) {
    if (!candidate) return {};
    return candidate->workFile ? test::ReadBytes(candidate->workFile->Path()) : candidate->bytes;
}

// Every GIF and PNG of the test data, through its route with and without --lossy.
TEST(LossyChoice, LeavesTheLosslessCandidatesAsTheyWereAndOffersOnlySmallerLossyOnes) {
    int32_t offered = 0;
    for (const auto& entry : fs::recursive_directory_iterator(test::DataFile(""))) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".gif" && extension != ".png") continue;
        const auto route = extension == ".gif" ? &ReduceGif : &ReducePng;
        const RouteProduct plain = RunRoute(route, entry.path());
        const RouteProduct lossy = RunRoute(route, entry.path(), 85, false, kDefaultLossyLevel);
        EXPECT_EQ(BytesOf(plain.reduced), BytesOf(lossy.reduced)) << entry.path();
        EXPECT_EQ(BytesOf(plain.lossless), BytesOf(lossy.lossless)) << entry.path();
        EXPECT_FALSE(plain.lossy) << entry.path();
        if (!lossy.lossy) continue;
        ++offered;
        const uintmax_t exact = std::min(SizeOf(lossy.reduced).value_or(UINTMAX_MAX),
                                         SizeOf(lossy.lossless).value_or(UINTMAX_MAX));
        EXPECT_LT(SizeOf(lossy.lossy), exact) << entry.path();
    }
    EXPECT_GT(offered, 0);
}

// The guard: a floor no changed picture reaches leaves the lossless result alone; without a
// floor the first tolerance is taken.
TEST(LossyChoice, GuardOffersNothingBelowTheFloor) {
    cGIF gif;
    ASSERT_TRUE(gif.LoadFromFile(test::DataFile("gif/ckeditor_kama_spinner.gif")));
    const size_t exact = gif.SaveToMemory().size();
    constexpr int32_t kTolerance = 6400;
    EXPECT_FALSE(LossyGifCandidate(gif, LzwEffort::OnePolicy, kTolerance, 1.0, exact));
    const std::optional<Candidate> loose =
        LossyGifCandidate(gif, LzwEffort::OnePolicy, kTolerance, 0.0, exact);
    ASSERT_TRUE(loose);
    EXPECT_EQ(loose->bytes, gif.SaveToMemory(LzwEffort::OnePolicy, kTolerance));

    const png::PngOptions options;
    const auto read = [&](const std::string& name) {
        return std::get<png::PngSource>(
            png::ReadPng(test::ReadBytes(test::DataFile(name)), options));
    };
    const png::PngSource photo = read("png/libsixel-examples_basi6a08.png");
    EXPECT_FALSE(LossyPngCandidate(photo, options, 90, 1.0, SIZE_MAX));
    const std::optional<Candidate> palette = LossyPngCandidate(photo, options, 90, 0.0, SIZE_MAX);
    ASSERT_TRUE(palette);
    const png::PngSourceResult written = png::ReadPng(palette->bytes, options);
    ASSERT_TRUE(std::holds_alternative<png::PngSource>(written));
    EXPECT_EQ(std::get<png::PngSource>(written).picture.width, 32u);
    // Five colours fit a palette exactly: the lossless rewrite holds them as they are.
    EXPECT_FALSE(
        LossyPngCandidate(read("png/tcl-ttkthemes_entry-n.png"), options, 90, 0.0, SIZE_MAX));
}

// Arguments reach the child as they are, with no shell to expand them. A child that runs past
// its time limit is killed: its pid shows it gone, not left running behind the run.
TEST(ShellAndWaitTest, ReturnsExitCodeSignalPlus128StartFailureOrTimeOutAndServicesEvents) {
    const test::TempDir dir;
    const std::string tricky = "my file's \"name\" $HOME `date` *.png";
    test::WriteScript(dir / "echo-arg", "sleep 0.35\nprintf '%s' \"$1\" > \"$2\"\nexit 3");
    int polls = 0;
    EXPECT_EQ(ShellAndWait({(dir / "echo-arg").string(), tricky, (dir / "seen").string()}, 0,
                           [&] { ++polls; }),
              3);
    EXPECT_EQ(test::ReadText(dir / "seen"), tricky);
    EXPECT_GE(polls, 2);
    const auto idle = [] {};
    EXPECT_EQ(ShellAndWait({"/bin/sh", "-c", "kill -9 $$"}, 0, idle), 128 + 9);
    EXPECT_EQ(ShellAndWait({(dir / "missing").string()}, 0, idle), kStartFailureBase + ENOENT);
    test::WriteScript(dir / "hang", "echo $$ > \"$1\"\nexec sleep 30");
    const std::chrono::milliseconds limit(200);
    EXPECT_EQ(ShellAndWait({dir.Path("hang"), dir.Path("pid")}, 0, idle, limit), kChildTimedOut);
    EXPECT_NE(::kill(std::stoi(test::ReadText(dir / "pid")), 0), 0);
    EXPECT_EQ(ShellAndWait({"/bin/sh", "-c", "exit 4"}, 0, idle, std::chrono::hours(1)), 4);
}

const std::vector<uint8_t> kSource = {0x89, 'P', 'N', 'G', 1, 2, 3, 4, 5, 6, 7, 8};

class PngRouteTest : public ::testing::Test {
protected:
    PngRouteTest() { test::WriteBytes(source, kSource); }
    // The item's report, with `tools` as the application folder that holds the optimizer.
    ItemReport Reduce(bool keepMetadata = false) const {
        const test::SourceGuard guard({files.path()}, {output});
        test::RecordingHost host({source});
        host.keepMetadata = keepMetadata;
        RunBatch(host, tools.path().string());
        EXPECT_EQ(guard.ChangedFiles(), std::vector<std::string>());
        return host.reports.at(0);
    }

    test::TempDir files, tools;
    const std::string source = (files / "in.png").string();
    const std::string output = (files / "in_reduced.png").string();
};

// A bad optimizer's smaller work file must not become the output; the work file is removed. A
// failed optimizer that also refuses to read the source alone ("-simulate") marks it damaged.
TEST_F(PngRouteTest, KeepsASmallerResultOrCopiesTheSourceWhenTheOptimizerFailsOrGrowsIt) {
    const std::string tell = "printf '%s' \"$1\" > " + (tools / "work-path").string() + "\n";
    const std::string refuses = "[ \"$1\" = -simulate ] && exit 1\n";
    const std::string reads = "[ \"$1\" = -simulate ] && exit 0\n";
    // Without one of the tool's own, the system's optimizer, if any, refuses these bytes.
    const bool systemOptimizer =
        FindCompanionProgram(tools.path().string(), "optipng", ProgramSearchPath()) !=
        (tools / "optipng").string();
    for (const auto& [body, smaller, damaged] : std::vector<std::tuple<std::string, bool, bool>>{
             {std::string(), false, systemOptimizer},
             {tell + "printf 'tiny' > \"$1\"", true, false},
             {refuses + tell + ": > \"$1\"\nexit 1", false, true},
             {reads + tell + ": > \"$1\"\nexit 1", false, false},
             {tell + ": > \"$1\"\nkill -9 $$", false, false},
             {std::string("rm \"$1\""), false, false},
             {tell + "printf 'more bytes than before' >> \"$1\"", false, false}}) {
        SCOPED_TRACE(body);
        fs::remove(output);
        fs::remove(tools / "work-path");
        if (!body.empty()) test::WriteScript(tools / "optipng", body);
        const ItemReport report = Reduce();
        EXPECT_EQ(report.status, ItemStatus::Ok);
        EXPECT_EQ(report.result, smaller ? ItemResult::Reduced : ItemResult::Copy);
        EXPECT_EQ(report.damaged, damaged);
        EXPECT_EQ(report.message,
                  damaged ? std::optional(std::string(kPngDamaged) + source) : std::nullopt);
        EXPECT_EQ(test::ReadText(output), smaller ? "tiny" : test::ReadText(source));
        EXPECT_EQ(files.FileNames(), (std::vector<std::string>{"in.png", "in_reduced.png"}));
        if (!fs::exists(tools / "work-path")) continue;
        const fs::path work = test::ReadText(tools / "work-path");
        EXPECT_EQ(work.parent_path(), fs::temp_directory_path());
        EXPECT_EQ(work.extension(), ".png");
        EXPECT_FALSE(fs::exists(work));
    }
}

// optipng keeps text and time chunks; on a file our optimizer declines (a chunk it may not
// copy) they go from its result as from our own rewrite, unless the user keeps metadata.
TEST_F(PngRouteTest, OptipngsResultKeepsTextOnlyWithTheMetadata) {
    test::WriteBytes(source, test::ReadBytes(test::DataFile("png/posbar-unsafe-chunk.png")));
    png::RawImage tiny;
    tiny.width = 1, tiny.height = 1, tiny.colourType = png::kGrey, tiny.rows = {0};
    const std::vector<uint8_t> annotated =
        png::test::MakePng(tiny, {png::test::Chunk("tEXt", "a\0b")});
    test::WriteScript(tools / "optipng", "cp " + tools.Write("theirs.png", annotated) + " \"$1\"");
    for (const bool keepMetadata : {false, true}) {
        EXPECT_EQ(Reduce(keepMetadata).result, ItemResult::Reduced);
        EXPECT_EQ(test::ReadBytes(output), keepMetadata ? annotated : png::test::MakePng(tiny));
    }
}

// The application folder's own program first, then the absolute folders of PATH in order;
// files that cannot be run and relative folders (which depend on where the user stands) are
// passed over. With none found, the path in the application folder, which fails to start.
TEST(FindCompanionProgram, PrefersTheApplicationFolderThenSearchesPath) {
    const test::TempDir app, first, second, plain;
    test::WriteScript(first / "optipng", "exit 0");
    test::WriteScript(second / "optipng", "exit 0");
    test::WriteBytes(plain / "optipng", {'x'});
    const std::string own = app.Path("optipng"), inFirst = first.Path("optipng");
    const std::string f = first.path().string(), s = second.path().string(),
                      p = plain.path().string();
    for (const auto& [searchPath, found] : std::vector<std::pair<std::string, std::string>>{
             {p + ":" + s + ":" + f, second.Path("optipng")},
             {"::" + fs::relative(second.path()).string() + ":" + f + "/", inFirst},
             {"", own},
             {p, own}})
        EXPECT_EQ(FindCompanionProgram(app.path().string(), "optipng", searchPath), found)
            << searchPath;
    test::WriteScript(app / "optipng", "exit 0");
    EXPECT_EQ(FindCompanionProgram(app.path().string(), "optipng", f), own);
}

} // namespace
} // namespace lumatrim
