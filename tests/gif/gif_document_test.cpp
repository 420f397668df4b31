// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gif/gif.h"
#include "gif_builder.h"
#include "imaging/errors.h"

#include <gtest/gtest.h>

namespace lumatrim {
namespace {

// Frames of 2 x 2 pixels, frame n with delay n and pixel (0, 0) = n.
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

// The optimizer passes rely on the typed errors to stop before damaging a document.
TEST(GifDocument, InsertRemoveAndTypedErrorsThatChangeNothing) {
    cGIF gif;
    MakeFrames(gif, 3);
    gif.FrameInsert(2, 1, 1, false);
    EXPECT_EQ(Delays(gif), (std::vector<int16_t>{1, 0, 2, 3}));
    gif.FrameRemove(3);
    EXPECT_EQ(Delays(gif), (std::vector<int16_t>{1, 0, 3}));
    EXPECT_THROW(gif.SetFrameDelay(4, 1), IndexOutOfRangeError);
    EXPECT_THROW(gif.FrameComment(1, 1), IndexOutOfRangeError);
    EXPECT_THROW(gif.SetFrameLeft(1, 32768), OverflowError);
    EXPECT_THROW(gif.SetFrameTransparentColorIndex(1, -1), OverflowError);
    EXPECT_EQ(Delays(gif), (std::vector<int16_t>{1, 0, 3}));
    gif.SetFrameLeft(1, -32768);
    EXPECT_EQ(gif.FrameLeft(1), -32768);
    // A removed frame's surface outlives the frame for whoever still holds it.
    const auto surface = gif.FrameDIBXOR(3);
    gif.Destroy();
    EXPECT_EQ(gif.FramesCount(), 0);
    EXPECT_EQ(surface->lpBits()[0], 3);
}

// A 3 x 2 frame at (1, 0) on a 4 x 2 screen: rows 0 1 2 and 2 2 2; entry 0 red, 1 green,
// 2 blue; entry 1 transparent.
void MakeFrame(cGIF& gif) {
    gif.FrameInsert(1, 3, 2, false);
    gif.SetScreenWidth(4);
    gif.SetFrameLeft(1, 1);
    gif.SetLocalPaletteEntries(1, 4);
    auto& table = gif.lpFramePalette(1);
    table = {};
    table[2] = table[4 + 1] = table[8] = 255;
    const auto dib = gif.FrameDIBXOR(1);
    const uint8_t rows[2][3] = {{0, 1, 2}, {2, 2, 2}};
    for (int y = 0; y < 2; ++y)
        std::copy_n(rows[y], 3, dib->lpBits() + y * dib->BytesPerScanline());
    gif.SetFrameUseTransparentColor(1, true);
    gif.FrameMask(1, 1);
}

// Row y of a 32-bit picture, y = 0 at the top, as 0xRRGGBB values.
std::vector<uint32_t> Row(const cDIB& dib, int32_t y) {
    std::vector<uint32_t> out;
    const uint8_t* p = dib.lpBits() + (dib.Height() - 1 - y) * dib.BytesPerScanline();
    for (int32_t x = 0; x < dib.Width(); ++x, p += 4)
        out.push_back(uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0]);
    return out;
}

constexpr uint32_t W = 0xFFFFFF, R = 0xFF0000, G = 0x00FF00, B = 0x0000FF;

TEST(FrameRender, DrawsUprightScaledAndCroppedToTheScreen) {
    cGIF gif;
    MakeFrame(gif);
    cDIB target;
    ASSERT_TRUE(target.Create(6, 2, 32));
    target.Cls(RGB(255, 255, 255));
    gif.FrameDraw(target.hDIBDC(), 1, 1, 0, 1.0f, false);
    EXPECT_EQ(Row(target, 0), (std::vector<uint32_t>{W, W, R, W, B, W})); // green transparent
    EXPECT_EQ(Row(target, 1), (std::vector<uint32_t>{W, W, B, B, B, W}));

    // Opaque, twice the size, cropped to a screen 3 x 1: the frame's top row, two columns.
    gif.SetFrameUseTransparentColor(1, false);
    gif.FrameMask(1, 1);
    gif.SetScreenWidth(3);
    gif.SetScreenHeight(1);
    ASSERT_TRUE(target.Create(8, 4, 32));
    target.Cls(RGB(255, 255, 255));
    gif.FrameDraw(target.hDIBDC(), 1, 0, 0, 2.0f, true);
    EXPECT_EQ(Row(target, 1), (std::vector<uint32_t>{W, W, R, R, G, G, W, W}));
    EXPECT_EQ(Row(target, 2), std::vector<uint32_t>(8, W));
    // Beyond the screen's edge: nothing at all, not the whole surface.
    target.Cls(RGB(255, 255, 255));
    gif.SetScreenWidth(0);
    gif.FrameDraw(target.hDIBDC(), 1, 0, 0, 1.0f, true);
    EXPECT_EQ(Row(target, 0), std::vector<uint32_t>(8, W));
}

} // namespace
} // namespace lumatrim
