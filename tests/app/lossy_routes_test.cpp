// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The lossy choice of the PNG and GIF routes: off, the candidates are exactly the lossless
// ones; on, a lossy candidate comes only where it is smaller and keeps the likeness floor.
#include "app/routes/gif_route.h"
#include "app/routes/lossy_level.h"
#include "app/routes/png_lossy.h"
#include "app/routes/png_route.h"
#include "imaging/likeness.h"

#include "support/test_support.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace lumatrim {
namespace {

namespace fs = std::filesystem;

RouteProduct RunRoute(RouteResult (*route)(const RouteJob&), const fs::path& source,
                      std::optional<int32_t> lossy) {
    RouteWorkspace workspace;
    RouteJob job{source.string(), "unused",        "", 85,       [] {},
                 std::nullopt,    Effort::Default, {}, workspace};
    job.lossy = lossy;
    RouteResult result = route(job);
    EXPECT_TRUE(std::holds_alternative<RouteProduct>(result)) << source;
    return std::holds_alternative<RouteProduct>(result) ? std::get<RouteProduct>(result)
                                                        : RouteProduct{};
}

std::optional<uintmax_t> SizeOf(const std::optional<Candidate>& candidate) {
    return candidate ? candidate->Size() : std::nullopt;
}

std::vector<uint8_t> BytesOf(const std::optional<Candidate>& candidate) {
    if (!candidate) return {};
    return candidate->workFile ? test::ReadBytes(candidate->workFile->Path()) : candidate->bytes;
}

// Every GIF and PNG of the test data, through its route with and without --lossy.
TEST(LossyChoice, LeavesTheLosslessCandidatesAsTheyWereAndOffersOnlySmallerLossyOnes) {
    int32_t offered = 0;
    for (const auto& entry : fs::recursive_directory_iterator(test::DataFile(""))) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".gif" && extension != ".png") continue;
        const auto route = extension == ".gif" ? &ReduceGif : &ReducePng;
        const RouteProduct plain = RunRoute(route, entry.path(), std::nullopt);
        const RouteProduct lossy = RunRoute(route, entry.path(), kDefaultLossyLevel);
        EXPECT_EQ(BytesOf(plain.reduced), BytesOf(lossy.reduced)) << entry.path();
        EXPECT_EQ(BytesOf(plain.lossless), BytesOf(lossy.lossless)) << entry.path();
        EXPECT_FALSE(plain.lossy) << entry.path();
        if (!lossy.lossy) continue;
        ++offered;
        const uintmax_t exact = std::min(SizeOf(lossy.reduced).value_or(UINTMAX_MAX),
                                         SizeOf(lossy.lossless).value_or(UINTMAX_MAX));
        EXPECT_LT(SizeOf(lossy.lossy), exact) << entry.path();
    }
    EXPECT_GT(offered, 0);
}

// The guard: a floor no changed picture reaches leaves the lossless result alone; without a
// floor the first tolerance is taken.
TEST(LossyChoice, GuardOffersNothingBelowTheFloor) {
    cGIF gif;
    ASSERT_TRUE(gif.LoadFromFile(test::DataFile("gif/ckeditor_kama_spinner.gif")));
    const size_t exact = gif.SaveToMemory().size();
    constexpr int32_t kTolerance = 6400;
    EXPECT_FALSE(LossyGifCandidate(gif, LzwEffort::OnePolicy, kTolerance, 1.0, exact));
    const std::optional<Candidate> loose =
        LossyGifCandidate(gif, LzwEffort::OnePolicy, kTolerance, 0.0, exact);
    ASSERT_TRUE(loose);
    EXPECT_EQ(loose->bytes, gif.SaveToMemory(LzwEffort::OnePolicy, kTolerance));

    const png::PngOptions options;
    const std::vector<uint8_t> photo =
        test::ReadBytes(test::DataFile("png/libsixel-examples_basi6a08.png"));
    EXPECT_FALSE(LossyPngCandidate(photo, options, 90, 1.0, photo.size() * 10));
    const std::optional<Candidate> palette =
        LossyPngCandidate(photo, options, 90, 0.0, photo.size() * 10);
    ASSERT_TRUE(palette);
    const png::PngSourceResult read = png::ReadPng(palette->bytes, options);
    ASSERT_TRUE(std::holds_alternative<png::PngSource>(read));
    EXPECT_EQ(std::get<png::PngSource>(read).picture.width, 32u);
    // Five colours fit a palette exactly: the lossless rewrite holds them as they are.
    const std::vector<uint8_t> few =
        test::ReadBytes(test::DataFile("png/tcl-ttkthemes_entry-n.png"));
    EXPECT_FALSE(LossyPngCandidate(few, options, 90, 0.0, few.size() * 10));
}

} // namespace
} // namespace lumatrim
