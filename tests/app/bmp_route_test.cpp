#include "app/batch_driver.h"
#include "app/bmp_route.h"

#include "recording_host.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace lumatrim {
namespace {

uint32_t Read32(const std::vector<uint8_t>& file, size_t at) {
    return file[at] | file[at + 1] << 8 | file[at + 2] << 16 | uint32_t{file[at + 3]} << 24;
}

// Every depth becomes an 8-bit BMP of the same size with a full 256-entry colour table.
TEST(BmpRoute, EverySourceDepthBecomesAn8BitBmpOfItsSize) {
    const test::TempDir dir;
    struct Case {
        std::string file;
        uint32_t width, height;
    };
    const Case cases[] = {{"picture_1bpp.bmp", 5, 3},      {"picture_4bpp.bmp", 5, 3},
                          {"picture_8bpp.bmp", 5, 3},      {"picture_24bpp.bmp", 5, 3},
                          {"picture_32bpp.bmp", 5, 3},     {"allegro5-doc_alexlogo.bmp", 128, 128},
                          {"gemdropx_paused.bmp", 48, 16}, {"rockdodger_deadrock7.bmp", 21, 22}};
    std::vector<std::string> items;
    for (const Case& c : cases) {
        std::filesystem::copy_file(test::DataFile("bmp/" + c.file), dir / c.file);
        items.push_back((dir / c.file).string());
    }
    RouteWorkspace workspace;
    test::RecordingHost host(items);
    RunBatch(host, dir.path().string(), workspace);
    EXPECT_EQ(host.messages, (std::vector<test::Message>{{"Done.", "", MessageIcon::None}}));

    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string output = c.file.substr(0, c.file.size() - 4) + "_reduced.bmp";
        const std::vector<uint8_t> file = test::ReadBytes(dir / output);
        ASSERT_GE(file.size(), 54u);
        const uint32_t stride = (c.width + 3) / 4 * 4;
        EXPECT_EQ(Read32(file, 10), 54u + 1024u); // pixels after a 256-entry table
        EXPECT_EQ(Read32(file, 18), c.width);
        EXPECT_EQ(Read32(file, 22), c.height);
        EXPECT_EQ(file[28], 8); // bits per pixel
        EXPECT_EQ(file.size(), 1078u + stride * c.height);
    }
    // The workspace keeps the last one's surfaces.
    EXPECT_EQ(workspace.bmpSource->Width(), 21);
    EXPECT_EQ(workspace.bmpSource->BPP(), 32);
    EXPECT_EQ(workspace.bmpTarget->BPP(), 8);
}

TEST(BmpRoute, StepsOnEmptySurfacesSayWhatIsMissing) {
    cDIB source, target;
    BmpReduction route(source, target);
    EXPECT_EQ(route.ReduceTo8bpp(), "Nothing to dither..");
    EXPECT_EQ(route.SaveReducedBMP("/nowhere.bmp"), "Nothing to save.");
    EXPECT_EQ(route.LoadSourcePicture("/missing.bmp"), "Unexpected error loading image..");

    EXPECT_EQ(ProperCase("Nothing to dither.."), "Nothing To Dither..");
    EXPECT_EQ(ProperCase("nothing  TO save."), "Nothing  To Save.");
}

// A write failure names the output it could not write rather than the source.
TEST(BmpRoute, FailuresAreShownWithTheirPathAndTheRunGoesOn) {
    const test::TempDir dir;
    const std::vector<uint8_t> bmp = test::ReadBytes(test::DataFile("bmp/picture_24bpp.bmp"));
    test::WriteBytes(dir / "good.bmp", bmp);
    test::WriteBytes(dir / "cut.bmp", {bmp.begin(), bmp.begin() + 40});
    test::WriteBytes(dir / "blocked.bmp", bmp);
    std::filesystem::create_directory(dir / "blocked_reduced.bmp");
    const auto path = [&](const std::string& name) { return (dir / name).string(); };
    RouteWorkspace workspace;
    test::RecordingHost host({path("good.bmp"), path("cut.bmp"), path("blocked.bmp")});
    RunBatch(host, dir.path().string(), workspace);

    EXPECT_EQ(host.messages,
              (std::vector<test::Message>{{"Unexpected error loading image.." + path("cut.bmp"),
                                           "Error on image", MessageIcon::Exclamation},
                                          {"Cannot write the file: " + path("blocked_reduced.bmp"),
                                           "Error on image", MessageIcon::Exclamation},
                                          {"Done.", "", MessageIcon::None}}));
    EXPECT_EQ(dir.FileNames(),
              (std::vector<std::string>{"blocked.bmp", "blocked_reduced.bmp", "cut.bmp", "good.bmp",
                                        "good_reduced.bmp"}));
    EXPECT_EQ(host.reports[1].status, ItemStatus::Error);
    EXPECT_EQ(host.reports[1].route, "bmp");
}

} // namespace
} // namespace lumatrim
