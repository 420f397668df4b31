#include "gif/gif.h"
#include "gif_builder.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace lumatrim {
namespace {

using test::GifBuilder;

std::vector<uint8_t> FramePixels(const cGIF& gif, int32_t nFrame) {
    const auto dib = gif.FrameDIBXOR(nFrame);
    std::vector<uint8_t> out;
    for (int32_t y = 0; y < dib->Height(); ++y) {
        const uint8_t* row = dib->lpBits() + y * dib->BytesPerScanline();
        out.insert(out.end(), row, row + dib->Width());
    }
    return out;
}

bool MaskBit(const cGIF& gif, int32_t nFrame, int32_t x, int32_t y) {
    const auto mask = gif.FrameDIBAND(nFrame);
    return (mask->lpBits()[y * mask->BytesPerScanline() + x / 8] >> (7 - x % 8)) & 1;
}

TEST(GifReader, PlainOneFrame87aFile) {
    GifBuilder file;
    file.Header("87a", 3, 2, 0x81).Table(4).Image(3, 2, {0, 1, 2, 3, 2, 1}).Trailer();
    cGIF gif;
    ASSERT_TRUE(gif.LoadFromStream(file.bytes()));
    ASSERT_EQ(gif.FramesCount(), 1);
    EXPECT_EQ(gif.Version(), "87a");
    EXPECT_EQ(gif.ScreenWidth(), 3);
    EXPECT_EQ(gif.FrameDelay(1), 0);
    EXPECT_EQ(gif.FrameDisposalMethod(1), 0);
    EXPECT_FALSE(gif.FrameUseTransparentColor(1));
    EXPECT_EQ(gif.AnimationLoops(), 0);
    EXPECT_EQ(FramePixels(gif, 1), (std::vector<uint8_t>{0, 1, 2, 3, 2, 1}));
    // No local table: the frame's table is the global one, entries and sort flag included.
    EXPECT_FALSE(gif.LocalPaletteUsed(1));
    EXPECT_EQ(gif.LocalPaletteEntries(1), 4);
    EXPECT_EQ(gif.lpFramePalette(1), gif.lpGlobalPalette());
    EXPECT_EQ(gif.GlobalPaletteColor(3), RGB(3, 6, 9));
    // The index surface shows the palette; without transparency the mask stays all opaque.
    const auto table = gif.FrameDIBXOR(1)->ColorTable();
    EXPECT_EQ(std::vector<uint8_t>(table.begin(), table.end()),
              std::vector<uint8_t>(gif.lpFramePalette(1).begin(), gif.lpFramePalette(1).end()));
    EXPECT_FALSE(MaskBit(gif, 1, 0, 0));
}

TEST(GifReader, GraphicControlAppliesToTheNextImageOnly) {
    GifBuilder file;
    file.Header("89a", 2, 1, 0x80).Table(2);
    file.Control(0x08 | 0x02 | 0x01, 25, 1).Image(2, 1, {0, 1});
    file.Image(2, 1, {1, 1}).Trailer();
    cGIF gif;
    ASSERT_TRUE(gif.LoadFromStream(file.bytes()));
    ASSERT_EQ(gif.FramesCount(), 2);
    EXPECT_EQ(gif.FrameDelay(1), 25);
    EXPECT_EQ(gif.FrameDisposalMethod(1), 2);
    EXPECT_TRUE(gif.FrameUserInput(1));
    EXPECT_TRUE(gif.FrameUseTransparentColor(1));
    EXPECT_EQ(gif.FrameTransparentColorIndex(1), 1);
    EXPECT_FALSE(MaskBit(gif, 1, 0, 0));
    EXPECT_TRUE(MaskBit(gif, 1, 1, 0));
    // The transparent entry of the index surface's table is black; the frame table keeps it.
    EXPECT_EQ(gif.FrameDIBXOR(1)->ColorTable()[4], 0);
    EXPECT_EQ(gif.lpFramePaletteColor(1, 1), RGB(1, 2, 3));

    EXPECT_EQ(gif.FrameDelay(2), 0);
    EXPECT_EQ(gif.FrameDisposalMethod(2), 0);
    EXPECT_FALSE(gif.FrameUserInput(2));
    EXPECT_FALSE(gif.FrameUseTransparentColor(2));
}

TEST(GifReader, CommentsBelongToTheNextFrameOrTrailLatin1) {
    GifBuilder file;
    file.Header("89a", 1, 1, 0x80).Table(2).Comment("one").Comment("caf\xE9");
    file.Image(1, 1, {0}).Comment(std::string(300, 'x')).Image(1, 1, {1});
    file.Bytes({0x21, 0xFE, 0x00}).Trailer(); // a comment with no data
    cGIF gif;
    ASSERT_TRUE(gif.LoadFromStream(file.bytes()));
    ASSERT_EQ(gif.FrameCommentsCount(1), 2);
    EXPECT_EQ(gif.FrameComment(1, 2), "caf\xE9");
    ASSERT_EQ(gif.FrameCommentsCount(2), 1);
    EXPECT_EQ(gif.FrameComment(2, 1), std::string(300, 'x'));
    ASSERT_EQ(gif.TrailingCommentsCount(), 1);
    EXPECT_EQ(gif.TrailingComment(1), "");
}

TEST(GifReader, LoopCountFromNetscapeBlockOnly) {
    for (const auto& [loops, expected] : {std::pair{0, 0}, std::pair{5, 5}}) {
        GifBuilder file;
        file.Header("89a", 1, 1, 0x80).Table(2).Looping(static_cast<uint16_t>(loops));
        file.Image(1, 1, {0}).Trailer();
        cGIF gif;
        ASSERT_TRUE(gif.LoadFromStream(file.bytes()));
        EXPECT_EQ(gif.AnimationLoops(), expected);
    }
    // Another application's block, of a size other than 11, is skipped without losing place.
    GifBuilder file;
    file.Header("89a", 1, 1, 0x80).Table(2).Bytes({0x21, 0xFF, 0x09}).Text("xmahjongg");
    file.Bytes({0x03, 0x01, 0x07, 0x00, 0x00}).Image(1, 1, {1}).Trailer();
    cGIF gif;
    ASSERT_TRUE(gif.LoadFromStream(file.bytes()));
    EXPECT_EQ(gif.AnimationLoops(), 0);
    EXPECT_EQ(FramePixels(gif, 1), std::vector<uint8_t>{1});
}

TEST(GifReader, SkipsPlainTextUnknownExtensionsAndStrayBytes) {
    GifBuilder file;
    file.Header("89a", 1, 1, 0x80).Table(2).Bytes({0x00, 0x17});
    file.Bytes({0x21, 0x01, 0x0C}).Text("twelve bytes").Bytes({0x02, 'h', 'i', 0x00});
    file.Bytes({0x21, 0x42, 0x01, 0x2C, 0x00}).Image(1, 1, {1}).Trailer();
    cGIF gif;
    ASSERT_TRUE(gif.LoadFromStream(file.bytes()));
    ASSERT_EQ(gif.FramesCount(), 1);
    EXPECT_EQ(FramePixels(gif, 1), std::vector<uint8_t>{1});
}

TEST(GifReader, RejectsWhatIsNotAGif) {
    cGIF gif;
    EXPECT_FALSE(gif.LoadFromStream(GifBuilder().Text("GIF90a").bytes()));
    EXPECT_FALSE(gif.LoadFromStream(GifBuilder().Text("GIF8").bytes()));
    EXPECT_FALSE(gif.LoadFromStream(GifBuilder().Text("PNG89a").bytes()));
    EXPECT_EQ(gif.Version(), "");
    // Without an image: false, but what was read is kept.
    GifBuilder noImage;
    noImage.Header("89a", 7, 1, 0x80).Table(2).Looping(3).Comment("c").Trailer();
    EXPECT_FALSE(gif.LoadFromStream(noImage.bytes()));
    EXPECT_EQ(gif.ScreenWidth(), 7);
    EXPECT_EQ(gif.AnimationLoops(), 3);
    EXPECT_EQ(gif.TrailingCommentsCount(), 1);
}

TEST(GifReader, TruncatedFilesKeepWhatIsThere) {
    GifBuilder file;
    file.Header("89a", 4, 4, 0x80).Table(2);
    file.Image(4, 4, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 2).Trailer();
    const auto& full = file.bytes();
    // Cut in the middle of the image data: the first rows decoded, the rest index 0.
    cGIF gif;
    ASSERT_TRUE(gif.LoadFromStream(std::span(full).first(full.size() - 8)));
    const auto pixels = FramePixels(gif, 1);
    EXPECT_EQ(pixels.front(), 1);
    EXPECT_EQ(pixels.back(), 0);
    // Every shorter prefix loads without fault; from the image introducer on it is true.
    const size_t introducer = 13 + 6;
    for (size_t n = 6; n < full.size(); ++n)
        EXPECT_EQ(gif.LoadFromStream(std::span(full).first(n)), n > introducer) << n;
    // A global table cut short keeps its complete entries.
    ASSERT_FALSE(gif.LoadFromStream(std::span(full).first(13 + 5)));
    EXPECT_EQ(gif.GlobalPaletteColor(0), RGB(0, 0, 0));
    EXPECT_EQ(gif.lpGlobalPalette()[4], 0);
}

TEST(GifReader, CutOffImageDescriptorGivesAnEmptyFrame) {
    GifBuilder file;
    file.Header("89a", 4, 4, 0x80).Table(2).Control(0x01, 7, 1).Bytes({0x2C, 0x01, 0x00, 0x02});
    cGIF gif;
    ASSERT_TRUE(gif.LoadFromStream(file.bytes()));
    ASSERT_EQ(gif.FramesCount(), 1);
    EXPECT_EQ(gif.FrameLeft(1), 0);
    EXPECT_EQ(gif.FrameDelay(1), 7);
    EXPECT_EQ(gif.FrameDIBXOR(1)->hDIB(), 0u);
    EXPECT_EQ(gif.FrameDIBAND(1)->hDIB(), 0u);
    // Such a document saves and loads again the same way.
    cGIF again;
    ASSERT_TRUE(again.LoadFromStream(gif.SaveToMemory()));
    EXPECT_EQ(again.FrameDIBXOR(1)->hDIB(), 0u);
}

TEST(GifReader, HugeDeclaredFramesNeedTheDataToProveThem) {
    // 32767 x 32767 pixels claimed by a few bytes: no surface is made for it.
    GifBuilder file;
    file.Header("89a", 1, 1, 0x80).Table(2);
    file.Descriptor(0, 0, 32767, 32767).ImageData(2, test::PlainLzw({1}, 2)).Trailer();
    cGIF gif;
    ASSERT_TRUE(gif.LoadFromStream(file.bytes()));
    EXPECT_EQ(gif.FrameDIBXOR(1)->hDIB(), 0u);
    // A frame of ordinary size with its data cut short is still made.
    GifBuilder cut;
    cut.Header("89a", 1, 1, 0x80).Table(2);
    cut.Descriptor(0, 0, 2000, 2000).ImageData(2, test::PlainLzw({1}, 2)).Trailer();
    ASSERT_TRUE(gif.LoadFromStream(cut.bytes()));
    EXPECT_EQ(gif.FrameDIBXOR(1)->Width(), 2000);
    EXPECT_EQ(FramePixels(gif, 1)[0], 1);
}

TEST(GifReader, LoadFromFile) {
    test::TempDir dir;
    cGIF gif;
    EXPECT_FALSE(gif.LoadFromFile(dir / "missing.gif"));
    GifBuilder file;
    file.Header("89a", 1, 1, 0x80).Table(2).Image(1, 1, {1}).Trailer();
    test::WriteBytes(dir / "one.gif", file.bytes());
    ASSERT_TRUE(gif.LoadFromFile(dir / "one.gif"));
    // An empty file changes nothing; an unreadable path empties the document.
    test::WriteBytes(dir / "empty.gif", {});
    EXPECT_FALSE(gif.LoadFromFile(dir / "empty.gif"));
    EXPECT_EQ(gif.FramesCount(), 1);
    EXPECT_FALSE(gif.LoadFromFile(dir.path()));
    EXPECT_EQ(gif.FramesCount(), 0);
}

} // namespace
} // namespace lumatrim
