// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "ui/preview_picture.h"

#include <gtest/gtest.h>

namespace lumatrim {
namespace {

QString Fixture(const char* name) {
    return QString(LUMATRIM_TEST_DATA) + "/" + name;
}

// The animation loops; a frame lasts from its start up to, not including, the next one's.
TEST(PreviewPictureTest, FrameAtFollowsTheDelaysAndLoops) {
    const std::vector<int32_t> delays{100, 20, 50};
    const std::pair<int64_t, FramePlace> cases[] = {
        {0, {0, 100}},  {99, {0, 1}},  {100, {1, 20}},  {119, {1, 1}},
        {120, {2, 50}}, {169, {2, 1}}, {170, {0, 100}}, {1700 + 120, {2, 50}}};
    for (const auto& [elapsed, place] : cases)
        EXPECT_EQ(FrameAt(delays, elapsed), place) << elapsed;
    EXPECT_EQ(FrameAt({}, 500), FramePlace{});
}

// Delays as browsers count them (0 or 1 hundredths last a tenth of a second), a still picture as
// one frame, and a file that is no picture as the reader's reason.
TEST(PreviewPictureTest, DecodesFramesWithTheirDelaysOrSaysWhyNot) {
    const PreviewPicture zeroDelays = DecodePreview(Fixture("gif/gdk-pixbuf-tests_high-color.gif"));
    EXPECT_EQ(zeroDelays.delays, std::vector<int32_t>(4, 100));
    EXPECT_EQ(std::pair(zeroDelays.width, zeroDelays.height), std::pair(32, 32));
    const PreviewPicture still = DecodePreview(Fixture("csmash-data_mouse1.jpg"));
    EXPECT_EQ(still.frames.size(), 1u);
    EXPECT_EQ(still.frames[0]->BPP(), 32);
    EXPECT_TRUE(still.error.isEmpty());
    const PreviewPicture none = DecodePreview(Fixture("LICENSES.tsv"));
    EXPECT_TRUE(none.frames.empty());
    EXPECT_TRUE(none.error.startsWith("Cannot show the picture: ")) << none.error.toStdString();
}

} // namespace
} // namespace lumatrim
