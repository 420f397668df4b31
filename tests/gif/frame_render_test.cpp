#include "gif/gif.h"

#include <gtest/gtest.h>

namespace lumatrim {
namespace {

// A 3 x 2 frame at (1, 0) on a 4 x 2 screen: top row indices 0 1 2, bottom row 2 2 2; entry 0
// red, 1 green, 2 blue.
void MakeFrame(cGIF& gif, bool transparent) {
    gif.FrameInsert(1, 3, 2, false);
    gif.SetScreenWidth(4);
    gif.SetFrameLeft(1, 1);
    gif.SetLocalPaletteEntries(1, 4);
    auto& table = gif.lpFramePalette(1);
    table = {};
    table[2] = 255;     // red
    table[4 + 1] = 255; // green
    table[8] = 255;     // blue
    const auto dib = gif.FrameDIBXOR(1);
    const uint8_t rows[2][3] = {{0, 1, 2}, {2, 2, 2}};
    for (int y = 0; y < 2; ++y)
        std::copy_n(rows[y], 3, dib->lpBits() + y * dib->BytesPerScanline());
    gif.SetFrameUseTransparentColor(1, transparent);
    gif.FrameMask(1, 1);
}

// The 32-bit pixel at picture position (x, y), y = 0 at the top, as 0xRRGGBB.
uint32_t PixelAt(cDIB& dib, int32_t x, int32_t y) {
    const uint8_t* p = dib.lpBits() + (dib.Height() - 1 - y) * dib.BytesPerScanline() + 4 * x;
    return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

TEST(FrameRender, DrawsUprightWithTransparentPixelsLeftAlone) {
    cGIF gif;
    MakeFrame(gif, true);
    cDIB target;
    ASSERT_TRUE(target.Create(6, 2, 32));
    target.Cls(RGB(255, 255, 255));
    gif.FrameDraw(target.hDIBDC(), 1, 1, 0, 1.0f, false);
    EXPECT_EQ(PixelAt(target, 1, 0), 0xFFFFFFu); // left of the frame
    EXPECT_EQ(PixelAt(target, 2, 0), 0xFF0000u);
    EXPECT_EQ(PixelAt(target, 3, 0), 0xFFFFFFu); // transparent: the background stays
    EXPECT_EQ(PixelAt(target, 4, 0), 0x0000FFu);
    EXPECT_EQ(PixelAt(target, 2, 1), 0x0000FFu);
}

TEST(FrameRender, OpaqueFramesAreCopiedAndScreenCropClipsAtTheScreenEdge) {
    cGIF gif;
    MakeFrame(gif, false);
    cDIB target;
    ASSERT_TRUE(target.Create(8, 4, 32));
    target.Cls(RGB(255, 255, 255));
    gif.SetScreenWidth(3); // the frame covers columns 1..3: one beyond the screen
    gif.FrameDraw(target.hDIBDC(), 1, 0, 0, 2.0f, true);
    EXPECT_EQ(PixelAt(target, 1, 0), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(target, 3, 0), 0xFF0000u);
    EXPECT_EQ(PixelAt(target, 5, 1), 0x00FF00u);
    EXPECT_EQ(PixelAt(target, 6, 0), 0xFFFFFFu); // the third column is cropped
    EXPECT_EQ(PixelAt(target, 2, 3), 0x0000FFu);
}

TEST(FrameRender, AllTransparentFrameLeavesTheTarget) {
    cGIF gif;
    MakeFrame(gif, true);
    const auto dib = gif.FrameDIBXOR(1);
    std::fill_n(dib->lpBits(), 3, 2);
    gif.FrameMask(1, 2);
    cDIB target;
    ASSERT_TRUE(target.Create(4, 2, 32));
    target.Cls(RGB(1, 2, 3));
    gif.FrameDraw(target.hDIBDC(), 1, 0, 0, 1.0f, false);
    EXPECT_EQ(PixelAt(target, 1, 0), 0x010203u);
    EXPECT_EQ(PixelAt(target, 3, 1), 0x010203u);
}

TEST(FrameRender, ImageShowsTrueColoursUprightAndLeavesTheSurface) {
    cGIF gif;
    MakeFrame(gif, true);
    const auto picture = gif.FrameImage(1);
    ASSERT_TRUE(picture);
    cDIB copy;
    ASSERT_EQ(copy.CreateFromStdPicture(picture.get(), true), picture->BPP);
    EXPECT_EQ(PixelAt(copy, 0, 0), 0xFF0000u);
    EXPECT_EQ(PixelAt(copy, 1, 0), 0x00FF00u); // the transparent entry in its own colour
    EXPECT_EQ(PixelAt(copy, 1, 1), 0x0000FFu);
    EXPECT_EQ(gif.FrameDIBXOR(1)->ColorTable()[4 + 1], 0); // still black for drawing
}

} // namespace
} // namespace lumatrim
