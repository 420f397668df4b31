// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// cGIF: one GIF file in memory. The logical screen, an optional global colour table, the loop
// count, the frames (numbered from 1) with their index and mask surfaces, colour tables, timing,
// placement and comments, the comments after the last frame, and application blocks.
//
// Conventions
//   - Frame and comment numbers run from 1; colour table entries from 0. A number out of range
//     throws IndexOutOfRangeError, a value that does not fit its field throws OverflowError;
//     either way nothing changes.
//   - Colour tables are 256 entries of blue, green, red, 0 (1024 bytes). Every frame has a
//     complete table of its own: frames without a local table get a copy of the global one.
//   - Frame surfaces are shared: FrameDIBXOR / FrameDIBAND hand out references to the live
//     surfaces, which stay valid after the frame is removed. The index surface is 8 bits per
//     pixel and holds the frame's top row first in memory (unlike pictures, whose first memory
//     row is the bottom). The mask is 1 bit per pixel, bit 1 for a transparent pixel.
//   - Comments are Latin-1 text: one char per byte of the file, both when reading and writing.
//   - Setters store the value only; nothing else changes (FrameMask rebuilds a mask).
//
// The byte layout of the file and the limits of the reader are described in README.md.
#pragma once

#include "gif/lzw_encoder.h"
#include "imaging/dib.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace lumatrim {

using ColorTable1024 = std::array<uint8_t, 1024>;

class cGIF {
public:
    cGIF() = default;
    cGIF(const cGIF&) = delete;
    cGIF& operator=(const cGIF&) = delete;

    // Loading replaces the whole document. False for a file that is not a GIF, or one without
    // any image; an empty file leaves the document unchanged. Also false, with LoadTooLarge()
    // and an empty document, for more than 32,767 frames or more than kMaxPixels in all frames
    // (about 300 MB with their masks).
    bool LoadFromFile(const std::filesystem::path& Filename);
    bool LoadFromStream(std::span<const uint8_t> Stream);
    static constexpr uint64_t kMaxPixels = uint64_t{1} << 28;
    bool LoadTooLarge() const { return loadTooLarge_; }
    // After a successful load: the file is damaged, and the frames hold what could be read. A
    // frame's data ended or went wrong before its last pixel (the rest are made transparent
    // where its table allows), a record was cut off, or the file ends before its trailer, so
    // frames may be missing.
    bool LoadDamaged() const { return loadDamaged_; }
    // Writes a version 89a file atomically: on failure false, and an earlier file of that name
    // stays as it was. SaveToMemory returns the same bytes, or nothing on failure; with a
    // LossyTolerance above 0 the frames are encoded lossily (LossyColours::tolerance), and the
    // document itself keeps its pixels.
    bool Save(const std::filesystem::path& Filename, LzwEffort Effort = LzwEffort::OnePolicy);
    std::vector<uint8_t> SaveToMemory(LzwEffort Effort = LzwEffort::OnePolicy,
                                      int32_t LossyTolerance = 0);
    void Destroy();

    // Logical screen.
    int16_t ScreenWidth() const { return screenWidth_; }
    void SetScreenWidth(int32_t New_ScreenWidth);
    int16_t ScreenHeight() const { return screenHeight_; }
    void SetScreenHeight(int32_t New_ScreenHeight);
    uint8_t ScreenBackgroundColorIndex() const { return backgroundIndex_; }
    void SetScreenBackgroundColorIndex(int32_t New_ScreenBackgroundColorIndex);
    // (aspect byte + 15) / 64; an aspect byte of 0 (no ratio given) reads as 15/64.
    float ScreenPixelAspectRatio() const;
    void SetScreenPixelAspectRatio(float New_ScreenPixelAspectRatio);
    uint8_t ScreenFlags() const { return screenFlags_; } // the packed byte last read or written
    const std::string& Version() const { return version_; }

    int16_t AnimationLoops() const { return animationLoops_; }
    void SetAnimationLoops(int32_t New_AnimationLoops); // also ends AnimationPlaysOnce
    // A file without a looping block plays its frames once; the writer then adds none either,
    // so a reduced copy does not start looping forever.
    bool AnimationPlaysOnce() const { return playsOnce_; }
    void SetAnimationPlaysOnce(bool New_AnimationPlaysOnce) { playsOnce_ = New_AnimationPlaysOnce; }

    // Global colour table.
    bool GlobalPaletteExists() const { return globalExists_; }
    void SetGlobalPaletteExists(bool New_GlobalPaletteExists) {
        globalExists_ = New_GlobalPaletteExists;
    }
    bool GlobalPaletteSorted() const { return globalSorted_; }
    void SetGlobalPaletteSorted(bool New_GlobalPaletteSorted) {
        globalSorted_ = New_GlobalPaletteSorted;
    }
    int16_t GlobalPaletteEntries() const { return globalEntries_; }
    void SetGlobalPaletteEntries(int32_t New_GlobalPaletteEntries);
    ColorTable1024& lpGlobalPalette() { return globalPalette_; }
    const ColorTable1024& lpGlobalPalette() const { return globalPalette_; }
    uint32_t GlobalPaletteColor(uint8_t nEntry) const; // 0 without a global table

    // Frames.
    int16_t FramesCount() const { return static_cast<int16_t>(frames_.size()); }
    std::shared_ptr<cDIB> FrameDIBXOR(int32_t nFrame) const { return At(nFrame).dibXOR; }
    std::shared_ptr<cDIB> FrameDIBAND(int32_t nFrame) const { return At(nFrame).dibAND; }

    int16_t FrameLeft(int32_t nFrame) const { return At(nFrame).left; }
    void SetFrameLeft(int32_t nFrame, int32_t New_FrameLeft);
    int16_t FrameTop(int32_t nFrame) const { return At(nFrame).top; }
    void SetFrameTop(int32_t nFrame, int32_t New_FrameTop);
    int16_t FrameDelay(int32_t nFrame) const { return At(nFrame).delay; }
    void SetFrameDelay(int32_t nFrame, int32_t New_FrameDelay);
    int32_t FrameDisposalMethod(int32_t nFrame) const { return At(nFrame).disposal; }
    void SetFrameDisposalMethod(int32_t nFrame, int32_t New_FrameDisposalMethod);
    bool FrameInterlaced(int32_t nFrame) const { return At(nFrame).interlaced; }
    void SetFrameInterlaced(int32_t nFrame, bool New_FrameInterlaced);
    bool FrameUserInput(int32_t nFrame) const { return At(nFrame).userInput; }
    void SetFrameUserInput(int32_t nFrame, bool New_FrameUserInput);
    bool FrameUseTransparentColor(int32_t nFrame) const { return At(nFrame).useTransparent; }
    void SetFrameUseTransparentColor(int32_t nFrame, bool New_FrameUseTransparentColor);
    uint8_t FrameTransparentColorIndex(int32_t nFrame) const { return At(nFrame).transparentIndex; }
    void SetFrameTransparentColorIndex(int32_t nFrame, int32_t New_FrameTransparentColorIndex);

    bool LocalPaletteUsed(int32_t nFrame) const { return At(nFrame).localUsed; }
    void SetLocalPaletteUsed(int32_t nFrame, bool New_LocalPaletteUsed);
    bool LocalPaletteSorted(int32_t nFrame) const { return At(nFrame).localSorted; }
    void SetLocalPaletteSorted(int32_t nFrame, bool New_LocalPaletteSorted);
    int16_t LocalPaletteEntries(int32_t nFrame) const { return At(nFrame).localEntries; }
    void SetLocalPaletteEntries(int32_t nFrame, int32_t New_LocalPaletteEntries);
    ColorTable1024& lpFramePalette(int32_t nFrame) { return At(nFrame).palette; }
    const ColorTable1024& lpFramePalette(int32_t nFrame) const { return At(nFrame).palette; }
    // From the frame's own table, whatever LocalPaletteUsed says.
    uint32_t lpFramePaletteColor(int32_t nFrame, uint8_t nEntry) const;

    // Comments: append an empty one, then set it.
    int16_t FrameCommentsCount(int32_t nFrame) const;
    const std::string& FrameComment(int32_t nFrame, int32_t nComment) const;
    void SetFrameComment(int32_t nFrame, int32_t nComment, std::string New_FrameComment);
    void FrameCommentAdd(int32_t nFrame);
    void FrameCommentRemoveAll(int32_t nFrame);
    int16_t TrailingCommentsCount() const;
    const std::string& TrailingComment(int32_t nComment) const;
    void SetTrailingComment(int32_t nComment, std::string New_TrailingComment);
    void TrailingCommentAdd();
    void TrailingCommentRemoveAll();

    // Application blocks other than the looping one (XMP, colour profiles, a program's own),
    // each as the file held it: the identifier's sub-block and the data's, size bytes and
    // final 0 included. The writer puts them back byte for byte before the first frame: XMP
    // lays out its sub-blocks in a way of its own that readers rely on. A block cut off by the
    // end of the data is not kept.
    int16_t ApplicationBlocksCount() const {
        return static_cast<int16_t>(applicationBlocks_.size());
    }
    const std::vector<uint8_t>& ApplicationBlock(int32_t nBlock) const;
    void ApplicationBlocksRemoveAll() { applicationBlocks_.clear(); }

    // Frame list. FrameInsert accepts any nFrame above the count (the frame is appended).
    void FrameInsert(int32_t nFrame, int32_t Width, int32_t Height, bool UseGlobalPalette);
    void FrameClone(int32_t nFrame);
    void FrameRemove(int32_t nFrame);
    void FrameMoveUp(int32_t nFrame);   // swaps frames nFrame - 1 and nFrame
    void FrameMoveDown(int32_t nFrame); // swaps frames nFrame and nFrame + 1

    // Rebuilds the mask (bit 1 where the index is TransparentColorIndex, when the frame uses
    // transparency) and sets the index surface's colour table to the frame's table with the
    // transparent entry black, ready for FrameDraw.
    void FrameMask(int32_t nFrame, uint8_t TransparentColorIndex);
    // Draws the frame upright onto hdc at (Left, Top) + its position, scaled; transparent
    // pixels leave the target as it was. ScreenCrop clips the frame to the logical screen.
    void FrameDraw(hDC hdc, int32_t nFrame, int16_t Left, int16_t Top, float ScaleFactor,
                   bool ScreenCrop) const;
    // The frame upright in its true colours (transparent pixels in their palette colour).
    std::unique_ptr<StdPicture> FrameImage(int32_t nFrame) const;

private:
    struct Frame {
        std::shared_ptr<cDIB> dibXOR = std::make_shared<cDIB>();
        std::shared_ptr<cDIB> dibAND = std::make_shared<cDIB>();
        int16_t left = 0;
        int16_t top = 0;
        bool interlaced = false;
        bool useTransparent = false;
        uint8_t transparentIndex = 0;
        int16_t delay = 0;
        uint8_t disposal = 0;
        bool userInput = false;
        bool localUsed = false;
        bool localSorted = false;
        int16_t localEntries = 0;
        ColorTable1024 palette{};
        std::vector<std::string> comments;
    };
    class Reader;
    class Writer;

    Frame& At(int32_t nFrame);
    const Frame& At(int32_t nFrame) const;
    Frame& AppendFrame();

    std::string signature_;
    std::string version_;
    int16_t screenWidth_ = 0;
    int16_t screenHeight_ = 0;
    uint8_t screenFlags_ = 0;
    uint8_t backgroundIndex_ = 0;
    uint8_t aspectByte_ = 0;
    int16_t animationLoops_ = 0;
    bool playsOnce_ = false;
    bool loadTooLarge_ = false;
    bool loadDamaged_ = false;
    bool globalExists_ = false;
    bool globalSorted_ = false;
    int16_t globalEntries_ = 0;
    ColorTable1024 globalPalette_{};
    std::vector<std::string> trailingComments_;
    std::vector<std::vector<uint8_t>> applicationBlocks_;
    std::vector<Frame> frames_;
};

} // namespace lumatrim
