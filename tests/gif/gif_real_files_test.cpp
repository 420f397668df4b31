// Real GIF files against an independent decoder: tests/data/gif/NAME.frames and NAME.rgba hold
// each frame as ImageMagick decodes it (make_expected.py).
#include "gif/gif.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace lumatrim {
namespace {

std::vector<std::string> FixtureNames() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(test::DataFile("gif")))
        if (entry.path().extension() == ".gif") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Each frame as red, green, blue, alpha, alpha 0 where the pixel is transparent.
std::vector<uint8_t> FrameRgba(const cGIF& gif, int32_t nFrame) {
    const auto dib = gif.FrameDIBXOR(nFrame);
    const auto& table = gif.lpFramePalette(nFrame);
    const bool transparent = gif.FrameUseTransparentColor(nFrame);
    std::vector<uint8_t> out;
    for (int32_t y = 0; y < dib->Height(); ++y)
        for (int32_t x = 0; x < dib->Width(); ++x) {
            const uint8_t index = dib->lpBits()[y * dib->BytesPerScanline() + x];
            if (transparent && index == gif.FrameTransparentColorIndex(nFrame)) {
                out.insert(out.end(), {0, 0, 0, 0});
                continue;
            }
            const uint8_t* bgr = &table[4 * size_t{index}];
            out.insert(out.end(), {bgr[2], bgr[1], bgr[0], 255});
        }
    return out;
}

void ExpectLikeTheReference(const cGIF& gif, const std::string& name) {
    std::ifstream frames(test::DataFile("gif/" + name + ".frames"));
    const auto rgba = test::ReadBytes(test::DataFile("gif/" + name + ".rgba"));
    size_t at = 0;
    int32_t n = 0;
    for (int32_t w, h, left, top; frames >> w >> h >> left >> top;) {
        ++n;
        ASSERT_LE(n, gif.FramesCount());
        EXPECT_EQ(gif.FrameDIBXOR(n)->Width(), w);
        EXPECT_EQ(gif.FrameDIBXOR(n)->Height(), h);
        EXPECT_EQ(gif.FrameLeft(n), left);
        EXPECT_EQ(gif.FrameTop(n), top);
        auto expected =
            std::vector<uint8_t>(rgba.begin() + static_cast<std::ptrdiff_t>(at),
                                 rgba.begin() + static_cast<std::ptrdiff_t>(at + 4u * w * h));
        for (size_t i = 0; i < expected.size(); i += 4)
            if (expected[i + 3] == 0) std::fill_n(expected.begin() + i, 3, 0);
        EXPECT_EQ(FrameRgba(gif, n), expected) << "frame " << n;
        at += 4u * w * h;
    }
    EXPECT_EQ(n, gif.FramesCount());
    EXPECT_EQ(at, rgba.size());
}

TEST(GifRealFiles, DecodeLikeTheReferenceBeforeAndAfterARoundTrip) {
    const auto names = FixtureNames();
    ASSERT_GE(names.size(), 10u);
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        cGIF gif;
        ASSERT_TRUE(gif.LoadFromFile(test::DataFile("gif/" + name + ".gif")));
        ExpectLikeTheReference(gif, name);
        const auto saved = gif.SaveToMemory();
        EXPECT_EQ(gif.SaveToMemory(), saved);
        cGIF back;
        ASSERT_TRUE(back.LoadFromStream(saved));
        ExpectLikeTheReference(back, name);
        EXPECT_EQ(back.AnimationLoops(), gif.FramesCount() > 1 ? gif.AnimationLoops() : 0);
        EXPECT_EQ(back.SaveToMemory(), saved);
    }
}

TEST(GifRealFiles, FeaturesOfTheFixtures) {
    cGIF gif;
    ASSERT_TRUE(gif.LoadFromFile(test::DataFile("gif/apache2-data_key.gif")));
    EXPECT_TRUE(gif.LocalPaletteUsed(1));
    EXPECT_TRUE(gif.FrameInterlaced(1));
    EXPECT_EQ(gif.FrameCommentsCount(1), 1);
    ASSERT_TRUE(gif.LoadFromFile(test::DataFile("gif/pidgin-themes_yahoo_eyebrow.gif")));
    EXPECT_GT(gif.AnimationLoops(), 0);
    ASSERT_TRUE(gif.LoadFromFile(test::DataFile("gif/deluge-web_grid-loading.gif")));
    EXPECT_EQ(gif.FramesCount(), 8);
}

} // namespace
} // namespace lumatrim
