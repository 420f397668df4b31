// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The BMP route on a file of every kind: exact colours where 256 are enough, dithering where
// not, a copy where an 8-bit file cannot show the same picture (its failures are in
// routes_test.cpp). Then the real files in tests/data through all four routes: none comes out
// larger.
#include "app/batch/batch_driver.h"
#include "app/platform/paths.h"
#include "app/routes/bmp_route.h"
#include "app/routes/picture_limits.h"
#include "imaging/bmp_reader.h"
#include "imaging/dib.h"

#include "recording_host.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <tuple>

namespace lumatrim {
namespace {

namespace fs = std::filesystem;

// The picture a BMP file holds, as our reader sees it: width, height and 32-bit rows.
using Shown = std::tuple<int32_t, int32_t, std::vector<uint8_t>>;

Shown Show(const fs::path& file) {
    const std::vector<uint8_t> bytes = test::ReadBytes(file);
    BmpLayout layout;
    cDIB picture;
    bool transparent = false;
    if (ReadBmpLayout(bytes, kMaxPicturePixels, layout) != BmpStatus::Ok ||
        !DecodeBmp(bytes, layout, picture, transparent))
        return {};
    return {
        picture.Width(), picture.Height(), {picture.lpBits(), picture.lpBits() + picture.Size()}};
}

uint32_t Read32(const std::vector<uint8_t>& file, size_t at) {
    uint32_t value = 0;
    std::memcpy(&value, file.data() + at, 4);
    return value;
}

size_t DistinctColours(const Shown& picture) {
    std::set<uint32_t> colours;
    const std::vector<uint8_t>& rows = std::get<2>(picture);
    for (size_t at = 0; at + 4 <= rows.size(); at += 4)
        colours.insert(Read32(rows, at) & 0xFFFFFF);
    return colours.size();
}

// With --allow-larger the route's own candidate is written whatever its size, so every kind
// shows what the route makes of it. The photos among them have more than 256 colours.
TEST(BmpRoute, EveryKindBecomesTheSamePixelsInEightBitsOrIsKeptWhenItCannot) {
    const test::TempDir dir;
    std::vector<std::string> items;
    for (const auto& entry : fs::directory_iterator(test::DataFile("bmp"))) {
        if (entry.path().extension() != ".bmp") continue;
        fs::copy_file(entry.path(), dir / entry.path().filename().string());
        items.push_back((dir / entry.path().filename().string()).string());
    }
    std::sort(items.begin(), items.end());
    test::RecordingHost host(items);
    host.allowLarger = true;
    RunBatch(host, dir.path().string());

    const std::set<std::string> transparent = {"alpha_32bpp", "zero_alpha_32bpp",
                                               "rockdodger_deadrock7"};
    ASSERT_EQ(host.reports.size(), items.size());
    for (const ItemReport& report : host.reports) {
        const std::string name = fs::path(report.source).stem().string();
        SCOPED_TRACE(name);
        ASSERT_EQ(report.status, ItemStatus::Ok);
        const std::vector<uint8_t> output = test::ReadBytes(*report.output);
        if (transparent.contains(name) || name == "rle8_holes") {
            EXPECT_EQ(report.result, ItemResult::Copy);
            EXPECT_EQ(output, test::ReadBytes(report.source));
            EXPECT_EQ(report.message,
                      std::string(name == "rle8_holes" ? kKeptPixelsLeftOut : kKeptTransparent) +
                          report.source);
            continue;
        }
        EXPECT_FALSE(report.message);
        ASSERT_GE(output.size(), 54u);
        EXPECT_EQ(output[28], 8); // bits per pixel
        const uint32_t colours = Read32(output, 46);
        EXPECT_EQ(Read32(output, 10), 54 + 4 * (colours == 0 ? 256 : colours));
        if (DistinctColours(Show(report.source)) > 256) {
            EXPECT_EQ(report.result, ItemResult::Reduced);
            EXPECT_EQ(colours, 0u); // a full table
            EXPECT_EQ(std::get<0>(Show(*report.output)), std::get<0>(Show(report.source)));
            continue;
        }
        EXPECT_EQ(report.result, ItemResult::Lossless);
        EXPECT_GT(colours, 0u);
        EXPECT_EQ(Show(*report.output), Show(report.source));
    }
}

// The public corpus's files in tests/data: those LICENSES.tsv lists.
std::vector<fs::path> CorpusFiles() {
    std::set<std::string> listed;
    std::ifstream licences(test::DataFile("LICENSES.tsv"));
    for (std::string line; std::getline(licences, line);)
        if (line.starts_with("public\t"))
            listed.insert(fs::path(line.substr(7, line.find('\t', 7) - 7)).filename().string());
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(test::DataFile("")))
        if (listed.contains(entry.path().filename().string())) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// With the default options every route's output is at most its source's size. (That a BMP of at
// most 256 colours keeps its pixels is checked above, on these files among others.)
TEST(EveryRoute, NoOutputIsLargerThanItsSource) {
    const test::TempDir dir;
    std::vector<std::string> items;
    for (const fs::path& file : CorpusFiles()) {
        fs::copy_file(file, dir / file.filename().string());
        items.push_back((dir / file.filename().string()).string());
    }
    ASSERT_GE(items.size(), 30u);
    test::RecordingHost host(items);
    // The build folder, where the build links optipng when the system has one.
    RunBatch(host, fs::path(ApplicationFolder()).parent_path().string());

    std::map<std::string, std::set<ItemResult>> results; // by route
    ASSERT_EQ(host.reports.size(), items.size());
    for (const ItemReport& report : host.reports) {
        SCOPED_TRACE(report.source);
        ASSERT_EQ(report.status, ItemStatus::Ok);
        EXPECT_LE(fs::file_size(*report.output), fs::file_size(report.source));
        results[*report.route].insert(*report.result);
    }
    EXPECT_EQ(results.size(), 4u);
    EXPECT_EQ(results["bmp"],
              (std::set{ItemResult::Reduced, ItemResult::Lossless, ItemResult::Copy}));
}

} // namespace
} // namespace lumatrim
