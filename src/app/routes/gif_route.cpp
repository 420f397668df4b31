// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/routes/gif_route.h"

#include "app/routes/lossy_level.h"
#include "gifopt/animation_likeness.h"
#include "gifopt/gif_optimizer.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

namespace lumatrim {

namespace {

// A frame without a colour table of its own or a global one has no colours to show: the fault
// is the file's, and the writer could not give it one.
bool EveryFrameHasColours(const cGIF& gif) {
    if (gif.GlobalPaletteExists()) return true;
    for (int32_t frame = 1; frame <= gif.FramesCount(); ++frame)
        if (!gif.LocalPaletteUsed(frame)) return false;
    return true;
}

// The lossy encoder's tolerance at a level (LossyColours::tolerance): level squared, so the
// default 80 lets a pixel stray about 22 in every channel.
int32_t LossyTolerance(int32_t level) {
    return level * level;
}

} // namespace

std::optional<Candidate> LossyGifCandidate(cGIF& gif, LzwEffort effort, int32_t tolerance,
                                           double floor, size_t losslessBytes) {
    cGIF decoded;
    for (const int32_t step : kToleranceSteps) {
        std::vector<uint8_t> bytes = gif.SaveToMemory(effort, std::max(1, tolerance * step / 100));
        if (bytes.empty() || bytes.size() >= losslessBytes || !decoded.LoadFromStream(bytes))
            return std::nullopt;
        if (mGIFOptimizer::AnimationLikeness(gif, decoded) >= floor)
            return Candidate{std::move(bytes), nullptr};
    }
    return std::nullopt;
}

RouteResult ReduceGif(const RouteJob& job) {
    if (!job.workspace.gif) job.workspace.gif = std::make_unique<cGIF>();
    cGIF& gif = *job.workspace.gif;
    if (!gif.LoadFromFile(job.source) || !EveryFrameHasColours(gif)) {
        const std::string text =
            gif.LoadTooLarge() ? std::string(kGifTooLarge) : std::string(kErrorLoadingGif);
        return RouteFailure{text + job.source, std::string(kErrorLoadingGifTitle)};
    }
    const bool damaged = gif.LoadDamaged();
    const RouteFailure saveFailure{"Error saving gif file.." + job.output, "Error Saving GIF file"};
    // A failed pipeline step or save makes nothing, so it must not pass for a reduced file.
    const auto effort = job.effort == Effort::Fast ? mGIFOptimizer::GifEffort::Fast
                                                   : mGIFOptimizer::GifEffort::Best;
    // Kept metadata: the comments and the application blocks the reader keeps (XMP, colour
    // profiles); the looping block is the animation's own and always stays.
    if (!job.keepMetadata) gif.ApplicationBlocksRemoveAll();
    const int16_t clearComments = job.keepMetadata ? 0 : -1;
    if (!mGIFOptimizer::OptimizeDocument(gif, 0, 0, -1, clearComments, effort)) return saveFailure;
    RouteProduct product;
    product.reduced = Candidate{gif.SaveToMemory(mGIFOptimizer::EncoderEffort(effort)), nullptr};
    if (product.reduced->bytes.empty()) return saveFailure;
    if (job.lossy)
        product.lossy =
            LossyGifCandidate(gif, mGIFOptimizer::EncoderEffort(effort), LossyTolerance(*job.lossy),
                              LikenessFloor(*job.lossy), product.reduced->bytes.size());
    product.writeFailure = saveFailure;
    if (damaged) {
        product.damaged = true;
        product.note = std::string(kGifDamaged) + job.source;
    }
    return product;
}

} // namespace lumatrim
