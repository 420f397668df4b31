// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gifopt/gif_optimizer.h"

#include "document_builder.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace lumatrim {
namespace {

using namespace mGIFOptimizer;

// Real files, the disposal methods 1 to 3 among them: the reloaded output shows the same
// screens for the same time, and is no larger than the codec alone would write.
TEST(OptimizeGifTest, RealFilesShowTheSameAnimationAfterASaveAndReload) {
    const test::TempDir dir;
    for (const char* name :
         {"apache2-data_key", "ckeditor_kama_spinner", "deluge-web_grid-loading",
          "gdk-pixbuf-tests_dispose-restore-previous", "gdk-pixbuf-tests_high-color",
          "gdk-pixbuf-tests_plain-text", "mirmon_mirmon_f", "pidgin-themes_yahoo_eyebrow",
          "tdiary-theme_te_anchor", "wordpress_border-anim-v", "wv_wingdingfont_132"}) {
        SCOPED_TRACE(name);
        cGIF source, output;
        ASSERT_TRUE(source.LoadFromFile(test::DataFile(std::string("gif/") + name + ".gif")));
        const size_t plainSize = source.SaveToMemory().size();
        const auto expected = test::Timeline(source);
        ASSERT_TRUE(OptimizeGIF(source, dir / "out.gif", 0, 0, -1, -1));
        ASSERT_TRUE(output.LoadFromFile(dir / "out.gif"));
        EXPECT_EQ(test::Timeline(output), expected);
        EXPECT_LE(std::filesystem::file_size(dir / "out.gif"), plainSize);
    }
}

TEST(OptimizeGifTest, ClearsInterlaceAndCommentsAndSkipsFramePassesForOneFrame) {
    const test::TempDir dir;
    cGIF gif;
    test::AddFrame(gif, 4, 2, {0, 1, 0, 1, 1, 0, 1, 0}, 0, 0, 2);
    gif.SetFrameInterlaced(1, true);
    gif.FrameCommentAdd(1);
    gif.TrailingCommentAdd();
    ASSERT_TRUE(OptimizeGIF(gif, dir / "one.gif", 0, 0, -1, -1));
    // A merge would have moved the only local palette into a new global one.
    EXPECT_EQ(test::Describe(gif),
              (test::Lines{"4x2 bg 0 aspect 0.234375 loops 0", "4x2 at 0,0 0 0 0 0 0/0 1/2"}));
    EXPECT_FALSE(gif.GlobalPaletteExists());
}

TEST(OptimizeGifTest, FalseWithoutAFileWhenTheSaveFails) {
    const test::TempDir dir;
    cGIF empty;
    EXPECT_FALSE(OptimizeGIF(empty, dir / "empty.gif", 0, 0, -1, -1));
    cGIF gif;
    test::AddFrame(gif, 1, 1, {0});
    std::filesystem::create_directory(dir / "taken.gif");
    EXPECT_FALSE(OptimizeGIF(gif, dir / "taken.gif", 0, 0, -1, -1));
    EXPECT_EQ(dir.FileNames(), std::vector<std::string>{"taken.gif"});
}

} // namespace
} // namespace lumatrim
