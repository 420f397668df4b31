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

void ClearFrameExtras(cGIF& gif, bool interlace, bool comments) {
    for (int32_t i = 1; interlace && i <= gif.FramesCount(); ++i)
        gif.SetFrameInterlaced(i, false);
    if (!comments) return;
    for (int32_t i = 1; i <= gif.FramesCount(); ++i)
        gif.FrameCommentRemoveAll(i);
    gif.TrailingCommentRemoveAll();
}

} // namespace

bool OptimizeDocument(cGIF& oGIF, int16_t DiffMode, int16_t RepeatPalettePasses,
                      int16_t ClearInterlace, int16_t ClearComments, GifEffort Effort) {
    return Guarded(false, [&] {
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
        ClearFrameExtras(oGIF, ClearInterlace != 0, ClearComments != 0);
        // Comments and interlacing would be lost in the rebuild, so only after they are gone.
        if (Effort == GifEffort::Best && ClearInterlace != 0 && ClearComments != 0)
            RebuildFrames(oGIF);
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
