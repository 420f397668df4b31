#include "gif/gif.h"
#include "imaging/errors.h"

#include <gtest/gtest.h>

namespace lumatrim {
namespace {

// A document of `count` frames of 2 x 2 pixels, frame n with delay n and pixel (0, 0) = n.
void MakeFrames(cGIF& gif, int count) {
    for (int n = 1; n <= count; ++n) {
        gif.FrameInsert(n, 2, 2, true);
        gif.SetFrameDelay(n, n);
        gif.FrameDIBXOR(n)->lpBits()[0] = static_cast<uint8_t>(n);
    }
}

std::vector<int16_t> Delays(const cGIF& gif) {
    std::vector<int16_t> delays;
    for (int n = 1; n <= gif.FramesCount(); ++n)
        delays.push_back(gif.FrameDelay(n));
    return delays;
}

TEST(GifDocument, FirstInsertedFrameSetsTheScreenAndHasABlackWhiteTable) {
    cGIF gif;
    gif.TrailingCommentAdd();
    gif.FrameInsert(1, 5, 3, true);
    ASSERT_EQ(gif.FramesCount(), 1);
    EXPECT_EQ(gif.ScreenWidth(), 5);
    EXPECT_EQ(gif.ScreenHeight(), 3);
    EXPECT_EQ(gif.TrailingCommentsCount(), 0);
    EXPECT_TRUE(gif.LocalPaletteUsed(1));
    EXPECT_EQ(gif.LocalPaletteEntries(1), 2);
    EXPECT_EQ(gif.lpFramePaletteColor(1, 1), RGB(255, 255, 255));
    EXPECT_EQ(gif.lpFramePaletteColor(1, 2), 0u);
    EXPECT_EQ(gif.FrameDIBXOR(1)->BPP(), 8);
    EXPECT_EQ(gif.FrameDIBAND(1)->BPP(), 1);

    gif.SetGlobalPaletteExists(true);
    gif.SetGlobalPaletteEntries(16);
    gif.lpGlobalPalette()[4 * 7] = 99;
    gif.FrameInsert(9, 1, 1, true); // any number above the count appends
    EXPECT_FALSE(gif.LocalPaletteUsed(2));
    EXPECT_EQ(gif.LocalPaletteEntries(2), 16);
    EXPECT_EQ(gif.lpFramePalette(2)[4 * 7], 99);
    EXPECT_EQ(gif.ScreenWidth(), 5);
}

TEST(GifDocument, InsertCloneMoveAndRemoveKeepTheOrder) {
    cGIF gif;
    MakeFrames(gif, 3);
    gif.FrameInsert(2, 1, 1, false);
    EXPECT_EQ(Delays(gif), (std::vector<int16_t>{1, 0, 2, 3}));
    gif.FrameRemove(2);
    gif.FrameMoveUp(3);
    EXPECT_EQ(Delays(gif), (std::vector<int16_t>{1, 3, 2}));
    gif.FrameMoveDown(1);
    EXPECT_EQ(Delays(gif), (std::vector<int16_t>{3, 1, 2}));

    gif.FrameCommentAdd(2);
    gif.SetFrameComment(2, 1, "note");
    gif.FrameClone(2);
    EXPECT_EQ(Delays(gif), (std::vector<int16_t>{3, 1, 1, 2}));
    EXPECT_EQ(gif.FrameComment(3, 1), "note");
    // The clone's surfaces are its own.
    gif.FrameDIBXOR(2)->lpBits()[0] = 42;
    EXPECT_EQ(gif.FrameDIBXOR(3)->lpBits()[0], 1);
}

TEST(GifDocument, RemovedFramesSurfacesStayValidForTheirHolders) {
    cGIF gif;
    MakeFrames(gif, 1);
    gif.TrailingCommentAdd();
    const auto surface = gif.FrameDIBXOR(1);
    gif.FrameRemove(1);
    EXPECT_EQ(gif.FramesCount(), 0);
    EXPECT_EQ(gif.ScreenWidth(), 2);
    EXPECT_EQ(gif.TrailingCommentsCount(), 1);
    EXPECT_EQ(surface->lpBits()[0], 1);
    gif.Destroy();
    EXPECT_EQ(surface->Width(), 2);
}

TEST(GifDocument, OutOfRangeAndOverflowThrowAndChangeNothing) {
    cGIF gif;
    MakeFrames(gif, 2);
    EXPECT_THROW(gif.FrameDelay(0), IndexOutOfRangeError);
    EXPECT_THROW(gif.SetFrameDelay(3, 1), IndexOutOfRangeError);
    EXPECT_THROW(gif.FrameMoveUp(1), IndexOutOfRangeError);
    EXPECT_THROW(gif.FrameMoveDown(2), IndexOutOfRangeError);
    EXPECT_THROW(gif.FrameRemove(3), IndexOutOfRangeError);
    EXPECT_THROW(gif.FrameComment(1, 1), IndexOutOfRangeError);
    EXPECT_THROW(gif.SetTrailingComment(1, "x"), IndexOutOfRangeError);
    EXPECT_THROW(gif.SetFrameLeft(1, 32768), OverflowError);
    EXPECT_THROW(gif.SetScreenWidth(-32769), OverflowError);
    EXPECT_THROW(gif.SetFrameDisposalMethod(1, 256), OverflowError);
    EXPECT_THROW(gif.SetFrameTransparentColorIndex(1, -1), OverflowError);
    EXPECT_THROW(gif.SetScreenPixelAspectRatio(5.0f), OverflowError);
    EXPECT_EQ(Delays(gif), (std::vector<int16_t>{1, 2}));
    EXPECT_EQ(gif.FrameLeft(1), 0);
    gif.SetFrameLeft(1, -32768);
    EXPECT_EQ(gif.FrameLeft(1), -32768);
}

TEST(GifDocument, ScreenPropertiesAndTableColours) {
    cGIF gif;
    gif.SetScreenPixelAspectRatio(1.0f);
    EXPECT_EQ(gif.ScreenPixelAspectRatio(), 1.0f);
    gif.lpGlobalPalette()[0] = 9;
    EXPECT_EQ(gif.GlobalPaletteColor(0), 0u); // no global table: 0 whatever the bytes
    gif.SetGlobalPaletteExists(true);
    gif.lpGlobalPalette()[4 * 255 + 2] = 7; // red of the last entry
    EXPECT_EQ(gif.GlobalPaletteColor(255), RGB(7, 0, 0));
    EXPECT_EQ(gif.GlobalPaletteColor(0), RGB(0, 0, 9));
}

} // namespace
} // namespace lumatrim
