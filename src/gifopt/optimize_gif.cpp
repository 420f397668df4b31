// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The pipeline. The order matters: the clean-up leaves a transparent index in force only where
// a pixel holds it, so colour removal keeps that entry; colour removal runs before the merge,
// whose room test counts every entry of a local palette; the frame passes compare colours, not
// indices, so they work on whatever palettes the merge left.
#include "gifopt/gif_optimizer.h"
#include "gifopt/pass_support.h"

namespace lumatrim::mGIFOptimizer {

namespace {

void CompactPalettes(cGIF& gif) {
    CompactGlobalPalette(gif);
    const int32_t frames = gif.FramesCount();
    for (int32_t i = 1; i <= frames; ++i)
        CompactLocalPalette(gif, i);
}

using FrameComments = std::vector<std::vector<std::string>>;

// Frame removal drops a frame's comments with it, and the rebuild makes frames of its own:
// each frame's comments are taken out first.
FrameComments TakeFrameComments(cGIF& gif) {
    FrameComments comments(static_cast<size_t>(gif.FramesCount()));
    for (int32_t i = 1; i <= gif.FramesCount(); ++i) {
        for (int32_t c = 1; c <= gif.FrameCommentsCount(i); ++c)
            comments[static_cast<size_t>(i) - 1].push_back(gif.FrameComment(i, c));
        gif.FrameCommentRemoveAll(i);
    }
    return comments;
}

// Back on their frames while the frames are the same ones; before the first frame, in order,
// once frames were dropped or rebuilt, since they then need not match the old ones.
void PutBackFrameComments(cGIF& gif, const FrameComments& comments, bool sameFrames) {
    for (size_t f = 0; f < comments.size(); ++f) {
        const int32_t frame = sameFrames ? static_cast<int32_t>(f) + 1 : 1;
        for (const std::string& text : comments[f]) {
            gif.FrameCommentAdd(frame);
            gif.SetFrameComment(frame, gif.FrameCommentsCount(frame), text);
        }
    }
}

} // namespace

bool OptimizeDocument(cGIF& oGIF, int16_t DiffMode, int16_t RepeatPalettePasses,
                      int16_t ClearInterlace, int16_t ClearComments, GifEffort Effort) {
    return Guarded(false, [&] {
        const int32_t frames = oGIF.FramesCount();
        const FrameComments comments = TakeFrameComments(oGIF);
        CleanupFrames(oGIF);
        CompactPalettes(oGIF);
        if (oGIF.FramesCount() > 1) MergeLocalPalettes(oGIF);
        if (oGIF.FramesCount() > 1) DiffFrames(oGIF, DiffMode);
        TrimTransparentFrames(oGIF);
        // Cropping and removing frames can leave entries unused.
        if (RepeatPalettePasses != 0 && oGIF.FramesCount() > 1) {
            CompactPalettes(oGIF);
            MergeLocalPalettes(oGIF);
        }
        for (int32_t i = 1; ClearInterlace != 0 && i <= oGIF.FramesCount(); ++i)
            oGIF.SetFrameInterlaced(i, false);
        // Interlacing would be lost in the rebuild, so only after it is gone.
        const bool rebuilt =
            Effort == GifEffort::Best && ClearInterlace != 0 && RebuildFrames(oGIF);
        if (ClearComments == 0)
            PutBackFrameComments(oGIF, comments, !rebuilt && oGIF.FramesCount() == frames);
        else
            oGIF.TrailingCommentRemoveAll();
        return true;
    });
}

bool OptimizeGIF(cGIF& oGIF, const std::filesystem::path& Filename, int16_t DiffMode,
                 int16_t RepeatPalettePasses, int16_t ClearInterlace, int16_t ClearComments,
                 GifEffort Effort) {
    const std::filesystem::path output = Filename;
    return OptimizeDocument(oGIF, DiffMode, RepeatPalettePasses, ClearInterlace, ClearComments,
                            Effort) &&
           Guarded(false, [&] { return oGIF.Save(output, EncoderEffort(Effort)); });
}

} // namespace lumatrim::mGIFOptimizer
