#include "app/batch_driver.h"
#include "app/jpeg_writer.h"
#include "app/picture_loader.h"

#include "recording_host.h"
#include "support/test_support.h"

#include <array>
#include <gtest/gtest.h>
#include <map>
#include <thread>

namespace lumatrim {
namespace {

// The marker segments of a JPEG file up to its first scan: marker -> payloads in file order.
std::map<uint8_t, std::vector<std::vector<uint8_t>>> Segments(const std::vector<uint8_t>& file) {
    std::map<uint8_t, std::vector<std::vector<uint8_t>>> segments;
    size_t at = 2; // after SOI
    while (at + 4 <= file.size() && file[at] == 0xFF) {
        const uint8_t marker = file[at + 1];
        const size_t length = size_t{file[at + 2]} << 8 | file[at + 3];
        if (length < 2 || at + 2 + length > file.size()) break;
        segments[marker].emplace_back(file.begin() + static_cast<ptrdiff_t>(at + 4),
                                      file.begin() + static_cast<ptrdiff_t>(at + 2 + length));
        if (marker == 0xDA) break; // start of scan
        at += 2 + length;
    }
    return segments;
}

// The example tables of the JPEG standard (Annex K), in natural order, which the reference
// encoder scales by quality: 5000 / q below 50, else 200 - 2q percent, limited to 1..255.
constexpr std::array<int, 64> kLuminance = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
constexpr std::array<int, 64> kChrominance = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99,
    99, 99, 47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};
// Where the k-th value of a stored (zigzag) table goes in natural order.
constexpr std::array<int, 64> kZigzag = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

std::vector<uint8_t> StoredTable(const std::array<int, 64>& base, int quality) {
    const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    std::vector<uint8_t> table;
    for (int natural : kZigzag)
        table.push_back(
            static_cast<uint8_t>(std::clamp((base[natural] * scale + 50) / 100, 1, 255)));
    return table;
}

// The 8-bit tables of the file's DQT segments, in table-number order, without their headers.
std::vector<std::vector<uint8_t>> QuantizationTables(const std::vector<uint8_t>& file) {
    std::map<int, std::vector<uint8_t>> tables;
    auto segments = Segments(file);
    for (const std::vector<uint8_t>& segment : segments[0xDB])
        for (size_t at = 0; at + 65 <= segment.size(); at += 65)
            tables[segment[at] & 0x0F].assign(segment.begin() + static_cast<ptrdiff_t>(at + 1),
                                              segment.begin() + static_cast<ptrdiff_t>(at + 65));
    std::vector<std::vector<uint8_t>> ordered;
    for (auto& [number, table] : tables)
        ordered.push_back(table);
    return ordered;
}

const std::filesystem::path kProfiled = test::DataFile("jpeg/gdk-pixbuf-tests_icc-profile.jpg");

LoadedPicture Load(const std::filesystem::path& file) {
    LoadedPicture picture;
    EXPECT_TRUE(LoadPicture(file.string(), picture)) << file;
    return picture;
}

TEST(SaveJPG, WritesTheAskedQualityAtThePicturesSizeProgressivelyWithItsProfile) {
    const test::TempDir dir;
    const LoadedPicture source = Load(kProfiled);
    ASSERT_FALSE(source.IccProfile.empty());
    for (const int quality : {1, 50, 85, 100}) {
        SCOPED_TRACE(quality);
        const std::filesystem::path output = dir / "out.jpg";
        JpegSaveStatus status = JpegSaveStatus::GenericError;
        ASSERT_TRUE(SaveJPG(source, output.string(), static_cast<uint8_t>(quality), status));
        EXPECT_EQ(status, JpegSaveStatus::Ok);

        const std::vector<uint8_t> file = test::ReadBytes(output);
        EXPECT_EQ(QuantizationTables(file), (std::vector{StoredTable(kLuminance, quality),
                                                         StoredTable(kChrominance, quality)}));
        EXPECT_EQ(Segments(file).count(0xC2), 1u); // progressive frame
        const LoadedPicture written = Load(output);
        EXPECT_EQ(written.Image.Width, 48);
        EXPECT_EQ(written.Image.Height, 48);
        EXPECT_EQ(written.IccProfile, source.IccProfile);
    }
}

TEST(SaveJPG, GreyPicturesStayOneComponent) {
    const test::TempDir dir;
    JpegSaveStatus status{};
    ASSERT_TRUE(
        SaveJPG(Load(test::DataFile("jpeg/hugin-data_help_en_en_120px-flatfield2_munich.jpg")),
                (dir / "grey.jpg").string(), 85, status));
    const auto frames = Segments(test::ReadBytes(dir / "grey.jpg"))[0xC2];
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0][5], 1); // component count
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
    std::vector<std::thread> threads;
    for (int worker = 0; worker < 4; ++worker)
        threads.emplace_back([&dir, worker] {
            const std::string output = (dir / ("out" + std::to_string(worker) + ".jpg")).string();
            for (int round = 0; round < 3; ++round) {
                LoadedPicture picture;
                JpegSaveStatus status{};
                EXPECT_TRUE(LoadPicture(kProfiled.string(), picture) &&
                            SaveJPG(picture, output, 85, status));
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    for (int worker = 1; worker < 4; ++worker)
        EXPECT_EQ(test::ReadBytes(dir / ("out" + std::to_string(worker) + ".jpg")),
                  test::ReadBytes(dir / "out0.jpg"));
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

    EXPECT_EQ(host.messages,
              (std::vector<test::Message>{{"Unexpected error loading image.." + path("broken.jpg"),
                                           "Error on image", MessageIcon::Exclamation},
                                          {"Done.", "", MessageIcon::None}}));
    for (const std::string name : {"a", "b", "c"})
        EXPECT_EQ(Load(dir / (name + "_reduced.jpg")).Image.Width, 48) << name;
    ASSERT_EQ(host.reports.size(), 4u);
    EXPECT_EQ(host.reports[2].route, "jpg");
    EXPECT_EQ(host.reports[2].output, path("b_reduced.jpg"));
    EXPECT_EQ(host.reports[1].status, ItemStatus::Error);
}

} // namespace
} // namespace lumatrim
