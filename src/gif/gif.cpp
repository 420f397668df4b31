// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "gif/gif.h"

#include "imaging/errors.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace lumatrim {

namespace {

constexpr std::array<uint8_t, 8> kBlackWhite{0, 0, 0, 0, 255, 255, 255, 0};

int16_t CheckedInt16(int32_t value) {
    if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
        throw OverflowError("value does not fit a 16-bit field");
    return static_cast<int16_t>(value);
}

uint8_t CheckedByte(int32_t value) {
    if (value < 0 || value > 255) throw OverflowError("value does not fit a byte");
    return static_cast<uint8_t>(value);
}

uint32_t TableColor(const ColorTable1024& table, uint8_t nEntry) {
    const uint8_t* entry = &table[size_t{nEntry} * 4];
    return RGB(entry[2], entry[1], entry[0]);
}

template <typename List> void CheckComment(const List& list, int32_t nComment) {
    if (nComment < 1 || static_cast<size_t>(nComment) > list.size())
        throw IndexOutOfRangeError("comment number out of range");
}

template <typename List> void AddComment(List& list) {
    if (list.size() >= static_cast<size_t>(std::numeric_limits<int16_t>::max()))
        throw OverflowError("too many comments");
    list.emplace_back();
}

} // namespace

cGIF::Frame& cGIF::At(int32_t nFrame) {
    return const_cast<Frame&>(std::as_const(*this).At(nFrame));
}

const cGIF::Frame& cGIF::At(int32_t nFrame) const {
    if (nFrame < 1 || static_cast<size_t>(nFrame) > frames_.size())
        throw IndexOutOfRangeError("frame number out of range");
    return frames_[static_cast<size_t>(nFrame) - 1];
}

cGIF::Frame& cGIF::AppendFrame() {
    if (frames_.size() >= static_cast<size_t>(std::numeric_limits<int16_t>::max()))
        throw OverflowError("too many frames");
    return frames_.emplace_back();
}

void cGIF::Destroy() {
    signature_.clear();
    version_.clear();
    screenWidth_ = screenHeight_ = 0;
    screenFlags_ = backgroundIndex_ = aspectByte_ = 0;
    animationLoops_ = 0;
    playsOnce_ = false;
    loadTooLarge_ = false;
    loadDamaged_ = false;
    globalExists_ = globalSorted_ = false;
    globalEntries_ = 0;
    globalPalette_.fill(0);
    trailingComments_.clear();
    applicationBlocks_.clear();
    frames_.clear(); // drops the document's references; callers' references stay valid
}

void cGIF::SetScreenWidth(int32_t New_ScreenWidth) {
    screenWidth_ = CheckedInt16(New_ScreenWidth);
}

void cGIF::SetScreenHeight(int32_t New_ScreenHeight) {
    screenHeight_ = CheckedInt16(New_ScreenHeight);
}

void cGIF::SetScreenBackgroundColorIndex(int32_t New_ScreenBackgroundColorIndex) {
    backgroundIndex_ = CheckedByte(New_ScreenBackgroundColorIndex);
}

float cGIF::ScreenPixelAspectRatio() const {
    return (static_cast<float>(aspectByte_) + 15.0f) / 64.0f;
}

void cGIF::SetScreenPixelAspectRatio(float New_ScreenPixelAspectRatio) {
    const double value = std::nearbyint(double{New_ScreenPixelAspectRatio} * 64.0 - 15.0);
    if (!(value >= 0.0 && value <= 255.0)) throw OverflowError("aspect ratio out of range");
    aspectByte_ = static_cast<uint8_t>(value);
}

void cGIF::SetAnimationLoops(int32_t New_AnimationLoops) {
    animationLoops_ = CheckedInt16(New_AnimationLoops);
    playsOnce_ = false;
}

void cGIF::SetGlobalPaletteEntries(int32_t New_GlobalPaletteEntries) {
    globalEntries_ = CheckedInt16(New_GlobalPaletteEntries);
}

uint32_t cGIF::GlobalPaletteColor(uint8_t nEntry) const {
    return globalExists_ ? TableColor(globalPalette_, nEntry) : 0;
}

void cGIF::SetFrameLeft(int32_t nFrame, int32_t New_FrameLeft) {
    Frame& frame = At(nFrame);
    frame.left = CheckedInt16(New_FrameLeft);
}

void cGIF::SetFrameTop(int32_t nFrame, int32_t New_FrameTop) {
    Frame& frame = At(nFrame);
    frame.top = CheckedInt16(New_FrameTop);
}

void cGIF::SetFrameDelay(int32_t nFrame, int32_t New_FrameDelay) {
    Frame& frame = At(nFrame);
    frame.delay = CheckedInt16(New_FrameDelay);
}

void cGIF::SetFrameDisposalMethod(int32_t nFrame, int32_t New_FrameDisposalMethod) {
    Frame& frame = At(nFrame);
    frame.disposal = CheckedByte(New_FrameDisposalMethod);
}

void cGIF::SetFrameInterlaced(int32_t nFrame, bool New_FrameInterlaced) {
    At(nFrame).interlaced = New_FrameInterlaced;
}

void cGIF::SetFrameUserInput(int32_t nFrame, bool New_FrameUserInput) {
    At(nFrame).userInput = New_FrameUserInput;
}

void cGIF::SetFrameUseTransparentColor(int32_t nFrame, bool New_FrameUseTransparentColor) {
    At(nFrame).useTransparent = New_FrameUseTransparentColor;
}

void cGIF::SetFrameTransparentColorIndex(int32_t nFrame, int32_t New_FrameTransparentColorIndex) {
    Frame& frame = At(nFrame);
    frame.transparentIndex = CheckedByte(New_FrameTransparentColorIndex);
}

void cGIF::SetLocalPaletteUsed(int32_t nFrame, bool New_LocalPaletteUsed) {
    At(nFrame).localUsed = New_LocalPaletteUsed;
}

void cGIF::SetLocalPaletteSorted(int32_t nFrame, bool New_LocalPaletteSorted) {
    At(nFrame).localSorted = New_LocalPaletteSorted;
}

void cGIF::SetLocalPaletteEntries(int32_t nFrame, int32_t New_LocalPaletteEntries) {
    Frame& frame = At(nFrame);
    frame.localEntries = CheckedInt16(New_LocalPaletteEntries);
}

uint32_t cGIF::lpFramePaletteColor(int32_t nFrame, uint8_t nEntry) const {
    return TableColor(At(nFrame).palette, nEntry);
}

int16_t cGIF::FrameCommentsCount(int32_t nFrame) const {
    return static_cast<int16_t>(At(nFrame).comments.size());
}

const std::string& cGIF::FrameComment(int32_t nFrame, int32_t nComment) const {
    const auto& comments = At(nFrame).comments;
    CheckComment(comments, nComment);
    return comments[static_cast<size_t>(nComment) - 1];
}

void cGIF::SetFrameComment(int32_t nFrame, int32_t nComment, std::string New_FrameComment) {
    auto& comments = At(nFrame).comments;
    CheckComment(comments, nComment);
    comments[static_cast<size_t>(nComment) - 1] = std::move(New_FrameComment);
}

void cGIF::FrameCommentAdd(int32_t nFrame) {
    AddComment(At(nFrame).comments);
}

void cGIF::FrameCommentRemoveAll(int32_t nFrame) {
    At(nFrame).comments.clear();
}

int16_t cGIF::TrailingCommentsCount() const {
    return static_cast<int16_t>(trailingComments_.size());
}

const std::string& cGIF::TrailingComment(int32_t nComment) const {
    CheckComment(trailingComments_, nComment);
    return trailingComments_[static_cast<size_t>(nComment) - 1];
}

void cGIF::SetTrailingComment(int32_t nComment, std::string New_TrailingComment) {
    CheckComment(trailingComments_, nComment);
    trailingComments_[static_cast<size_t>(nComment) - 1] = std::move(New_TrailingComment);
}

void cGIF::TrailingCommentAdd() {
    AddComment(trailingComments_);
}

void cGIF::TrailingCommentRemoveAll() {
    trailingComments_.clear();
}

const std::vector<uint8_t>& cGIF::ApplicationBlock(int32_t nBlock) const {
    if (nBlock < 1 || static_cast<size_t>(nBlock) > applicationBlocks_.size())
        throw IndexOutOfRangeError("application block number out of range");
    return applicationBlocks_[static_cast<size_t>(nBlock) - 1];
}

void cGIF::FrameInsert(int32_t nFrame, int32_t Width, int32_t Height, bool UseGlobalPalette) {
    if (nFrame < 1) throw IndexOutOfRangeError("frame number out of range");
    const bool first = frames_.empty();
    const int16_t screenWidth = first ? CheckedInt16(Width) : screenWidth_;
    const int16_t screenHeight = first ? CheckedInt16(Height) : screenHeight_;
    // Surfaces first: a size the surface refuses throws before the list changes.
    Frame frame;
    frame.dibXOR->Create(Width, Height, 8);
    frame.dibXOR->SetPalette(kBlackWhite);
    frame.dibAND->Create(Width, Height, 1);
    frame.dibAND->SetPalette(kBlackWhite);
    if (UseGlobalPalette && globalExists_) {
        frame.palette = globalPalette_;
        frame.localEntries = globalEntries_;
    } else {
        std::copy(kBlackWhite.begin(), kBlackWhite.end(), frame.palette.begin());
        frame.localUsed = true;
        frame.localEntries = 2;
    }
    const size_t position = std::min(static_cast<size_t>(nFrame) - 1, frames_.size());
    AppendFrame() = std::move(frame);
    std::rotate(frames_.begin() + static_cast<std::ptrdiff_t>(position), frames_.end() - 1,
                frames_.end());
    if (first) {
        screenWidth_ = screenWidth;
        screenHeight_ = screenHeight;
        trailingComments_.clear();
        applicationBlocks_.clear();
    }
}

void cGIF::FrameClone(int32_t nFrame) {
    const Frame& source = At(nFrame);
    Frame copy = source; // fields, table and comments; the surfaces are replaced below
    copy.dibXOR = std::make_shared<cDIB>();
    copy.dibAND = std::make_shared<cDIB>();
    source.dibXOR->CloneTo(*copy.dibXOR);
    source.dibAND->CloneTo(*copy.dibAND);
    AppendFrame() = std::move(copy);
    const auto position = frames_.begin() + nFrame - 1;
    std::rotate(position, frames_.end() - 1, frames_.end());
}

void cGIF::FrameRemove(int32_t nFrame) {
    At(nFrame);
    frames_.erase(frames_.begin() + nFrame - 1);
}

void cGIF::FrameMoveUp(int32_t nFrame) {
    if (nFrame < 2) throw IndexOutOfRangeError("frame number out of range");
    std::swap(At(nFrame - 1), At(nFrame));
}

void cGIF::FrameMoveDown(int32_t nFrame) {
    if (nFrame >= FramesCount()) throw IndexOutOfRangeError("frame number out of range");
    std::swap(At(nFrame), At(nFrame + 1));
}

} // namespace lumatrim
