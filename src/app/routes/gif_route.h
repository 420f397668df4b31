// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// GIF files are decoded into the run's one GIF document, shrunk by the optimizer passes and
// written again by our own encoder.
#pragma once

#include "app/routes/route.h"
#include "gif/gif.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace lumatrim {

// Shown, followed by the path, for a GIF the reader cannot read, under its own title.
inline constexpr std::string_view kErrorLoadingGif = "Error loading gif file..";
inline constexpr std::string_view kErrorLoadingGifTitle = "Error Loading GIF file";

// Shown, followed by the path, for a GIF beyond what the reader takes on.
inline constexpr std::string_view kGifTooLarge =
    "GIF too large to reduce (more than 32,767 frames or 268,435,456 pixels)..";

// The note, followed by the path, for a GIF the reader found damaged (see cGIF::LoadDamaged):
// browsers show what such a file still holds, so it is reduced as far as it could be read.
inline constexpr std::string_view kGifDamaged =
    "Damaged GIF file (cut off, or part of its picture data missing); the output holds what "
    "could be read: ";

// Loads the source with its long path into the workspace's document (made at the run's first
// GIF) and writes the optimized document to the output, or a copy of the source where that is
// smaller.
RouteResult ReduceGif(const RouteJob& job);

// The tolerances tried, in hundredths of the level's, largest first: the first result that keeps
// the floor is offered. On the public corpus GIFs at the default level: 1,613,846 bytes in all,
// against 2,039,813 with the full tolerance alone, since most files that fail at the full
// tolerance pass at a smaller one.
inline constexpr std::array<int32_t, 4> kToleranceSteps{100, 60, 30, 15};

// The optimized document `gif` encoded with lossy LZW at the largest step of `tolerance` whose
// result keeps `floor` (AnimationLikeness against `gif`); none when no step does, or when a
// result is not smaller than `losslessBytes`.
std::optional<Candidate> LossyGifCandidate(cGIF& gif, LzwEffort effort, int32_t tolerance,
                                           double floor, size_t losslessBytes);

} // namespace lumatrim
