#include "app/picture_loader.h"
#include "imaging/dib.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

namespace lumatrim {
namespace {

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

LoadedPicture Load(const std::filesystem::path& file) {
    LoadedPicture picture;
    EXPECT_TRUE(LoadPicture(file.string(), picture)) << file;
    return picture;
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

TEST(PictureLoader, JpegIsTurnedUprightByItsExifOrientationAndGreyStaysGrey) {
    const LoadedPicture rotated = Load(test::DataFile("jpeg/rotated.jpg"));
    cDIB surface;
    ASSERT_TRUE(surface.CreateFromStdPicture(&rotated.Image, true));
    ASSERT_EQ(surface.Width(), 2);
    ASSERT_EQ(surface.Height(), 4);
    EXPECT_GT(PixelAt(surface, 0, 0).r, 200); // red on top
    EXPECT_GT(PixelAt(surface, 1, 3).b, 200); // blue below

    const LoadedPicture grey =
        Load(test::DataFile("jpeg/hugin-data_help_en_en_120px-flatfield2_munich.jpg"));
    EXPECT_EQ(grey.Image.BPP, 8);
    EXPECT_EQ(grey.Image.Palette[4 * 200], 200);
    EXPECT_TRUE(grey.IccProfile.empty());
}

// Qt would fill in the missing rows of a cut-off file and call it loaded. Only the last row's
// padding may be missing, as some writers leave it out.
TEST(PictureLoader, FilesThatHoldNoWholePictureFailAndLeaveNothing) {
    const test::TempDir dir;
    const std::vector<uint8_t> bmp = test::ReadBytes(test::DataFile("bmp/picture_24bpp.bmp"));
    test::WriteBytes(dir / "empty.bmp", {});
    test::WriteBytes(dir / "text.jpg", {'h', 'e', 'l', 'l', 'o'});
    test::WriteBytes(dir / "header-only.bmp", {bmp.begin(), bmp.begin() + 30});
    test::WriteBytes(dir / "cut-rows.bmp", {bmp.begin(), bmp.end() - 2});
    test::WriteBytes(dir / "unpadded.bmp", {bmp.begin(), bmp.end() - 1});
    EXPECT_EQ(Load(dir / "unpadded.bmp").Image.Width, 5);
    const std::vector<uint8_t> jpeg =
        test::ReadBytes(test::DataFile("jpeg/gdk-pixbuf-tests_icc-profile.jpg"));
    test::WriteBytes(dir / "cut.jpg", {jpeg.begin(), jpeg.end() - 100});
    std::filesystem::create_directory(dir / "folder.bmp");
    for (const std::string name : {"empty.bmp", "text.jpg", "header-only.bmp", "cut-rows.bmp",
                                   "cut.jpg", "folder.bmp", "missing.bmp"}) {
        LoadedPicture picture;
        picture.IccProfile = {1};
        EXPECT_FALSE(LoadPicture((dir / name).string(), picture)) << name;
        EXPECT_EQ(picture.Image.Width, 0) << name;
        EXPECT_TRUE(picture.IccProfile.empty()) << name;
    }
}

// A PNG whose header alone claims width x height grey pixels.
std::vector<uint8_t> PngHeaderOnly(uint32_t width, uint32_t height) {
    const auto crc = [](const uint8_t* data, size_t size) {
        uint32_t c = 0xFFFFFFFF;
        for (size_t i = 0; i < size; ++i) {
            c ^= data[i];
            for (int k = 0; k < 8; ++k)
                c = (c >> 1) ^ (0xEDB88320 & (0 - (c & 1)));
        }
        return ~c;
    };
    const auto be32 = [](std::vector<uint8_t>& out, uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(static_cast<uint8_t>(v >> shift));
    };
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const auto chunk = [&](const char* type, const std::vector<uint8_t>& body) {
        be32(png, static_cast<uint32_t>(body.size()));
        std::vector<uint8_t> typed(type, type + 4); // the checksum covers type and body
        typed.insert(typed.end(), body.begin(), body.end());
        png.insert(png.end(), typed.begin(), typed.end());
        be32(png, crc(typed.data(), typed.size()));
    };
    std::vector<uint8_t> header;
    be32(header, width);
    be32(header, height);
    header.insert(header.end(), {8, 0, 0, 0, 0});
    chunk("IHDR", header);
    chunk("IDAT", {}); // the header is read up to the first data chunk
    chunk("IEND", {});
    return png;
}

TEST(PictureLoader, RefusesPicturesBeyondTheSizeLimitBeforeDecoding) {
    const test::TempDir dir;
    test::WriteBytes(dir / "huge.png", PngHeaderOnly(20000, 20000));
    LoadedPicture picture;
    bool tooLarge = false;
    EXPECT_FALSE(LoadPicture((dir / "huge.png").string(), picture, &tooLarge));
    EXPECT_TRUE(tooLarge);
    test::WriteBytes(dir / "wide.png", PngHeaderOnly(16384, 16384)); // at the limit, no pixels
    EXPECT_FALSE(LoadPicture((dir / "wide.png").string(), picture, &tooLarge));
    EXPECT_FALSE(tooLarge);
}

} // namespace
} // namespace lumatrim
