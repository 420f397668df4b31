// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// mGIFOptimizer: shrinks a loaded GIF document in place and saves it. The passes run in a fixed
// order (OptimizeDocument): frame attribute clean-up, unused colour removal, merging local
// palettes into the global one, frame differencing and transparent border trimming; at the Best
// effort the rebuild from the composited animation follows them.
//
// Every pass keeps what a browser shows: each picture, for as long as it showed (a delay of 0
// or 1 hundredths counts as 10, as browsers play it). Each pass catches
// its own IndexOutOfRangeError, OverflowError and bad_alloc: the pass ends where the error
// happened, keeps what it changed, and reports false (or 0).
//
// Frame pixels are the bytes of the frame's 8-bit index surface, top row first in memory. After
// a pass changes a frame's pixels, table or size, the frame's mask and surface colour table are
// rebuilt (FrameMask), so the frame is ready to be drawn again.
#pragma once

#include "gif/gif.h"

#include <cstdint>
#include <filesystem>

namespace lumatrim::mGIFOptimizer {

// How much time the optimizer may spend. Fast: the passes and the classic encoder. Best also
// rebuilds the frames from the composited animation and keeps the smallest of several LZW
// clear policies per frame.
enum class GifEffort { Fast, Best };

inline LzwEffort EncoderEffort(GifEffort Effort) {
    return Effort == GifEffort::Best ? LzwEffort::BestPolicy : LzwEffort::OnePolicy;
}

// The passes alone, on the document in place (at the Best effort, the rebuild after them, unless
// interlacing is kept). Kept comments stay on their frames, or come before the first frame
// once frames were removed or rebuilt. False when a step of the pipeline itself failed.
bool OptimizeDocument(cGIF& oGIF, int16_t DiffMode, int16_t RepeatPalettePasses,
                      int16_t ClearInterlace, int16_t ClearComments,
                      GifEffort Effort = GifEffort::Fast);

// The batch driver's options are 0, 0, -1, -1. False when a step of the pipeline itself failed
// (nothing is saved then) or when Save failed.
bool OptimizeGIF(cGIF& oGIF, const std::filesystem::path& Filename, int16_t DiffMode,
                 int16_t RepeatPalettePasses, int16_t ClearInterlace, int16_t ClearComments,
                 GifEffort Effort = GifEffort::Fast);

// Drops transparency no pixel uses, replaces a restoring disposal that the next opaque frame
// hides entirely (unless that frame restores to previous, which would bring the disposal's
// result back), and grows palettes to hold the background and transparent indices.
bool CleanupFrames(cGIF& oGIF);

// Remove the entries no pixel uses and renumber the pixels; the number of entries removed.
// A pixel, a transparent index in force or a background index beyond the table ends the pass
// before anything changes.
int16_t CompactGlobalPalette(cGIF& oGIF);
int16_t CompactLocalPalette(cGIF& oGIF, int32_t nFrame);

// Moves local palettes into the global one where the colours fit (existing global entries never
// move); the number of frames switched. A frame with an index beyond its table stays as it is.
int16_t MergeLocalPalettes(cGIF& oGIF);

// Mode 0: crops each frame lying inside the previous frame's rectangle to the area that differs
// from it, and removes frames that differ nowhere (their delay goes to the frame before).
// Mode 1: turns pixels that repeat the previous frame's colour transparent instead. A frame with
// disposal 2 is cropped no further than the points drawn on the screen while it shows, so its
// disposal still clears them all.
bool DiffFrames(cGIF& oGIF, int16_t DiffMode);

// Crops frames with transparency to their opaque pixels and removes fully transparent frames
// after the first (their delay goes to the frame before), unless the frame before restores: the
// cleared screen then shows in their time. A frame with disposal 2 is cropped no further than
// the points drawn on the screen while it shows.
bool TrimTransparentFrames(cGIF& oGIF);

// Rebuilds the frames from the animation as a browser composes it: equal consecutive pictures
// become one frame, each frame's disposal is chosen by what the next picture needs, each frame
// covers only what changes, points the screen already shows may turn transparent where that
// makes longer LZW strings, and the colour tables hold only the colours drawn, ordered for
// short codes (one global table when all colours fit, else one per frame). Only for documents
// of two or more frames, all inside the screen, none waiting for user input. The new frames
// stay only when the file comes out smaller; true then.
bool RebuildFrames(cGIF& oGIF);

// Cuts frame nFrame down to the rectangle [Left, Right) x [Top, Bottom) of its own pixels and
// moves it so the kept pixels stay in place. False, with the frame unchanged, for a rectangle
// outside the frame or a position that would not fit 16 bits.
bool CropFrame(cGIF& oGIF, int32_t nFrame, int32_t Left, int32_t Top, int32_t Right,
               int32_t Bottom);

} // namespace lumatrim::mGIFOptimizer
