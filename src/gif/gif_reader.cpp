// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The GIF reader: header, logical screen, global table, then the block loop. Every read is
// checked against the end of the data; a record that is not all there is not read, and the
// loop then ends at the end of the data, keeping what it has. See README.md for the layout.
#include "gif/gif.h"
#include "gif/lzw_decoder.h"
#include "gif/row_order.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <new>
#include <string_view>

namespace lumatrim {

namespace {

// A frame's surfaces are allocated only for pixels its data can produce. A code w bits wide can
// name a string of at most 2^w pixels (the table then holds fewer than 2^w entries), and
// 2^w / w peaks at w = 12: 4096 pixels per 12 bits, 2731 per data byte. Frames that claim more
// (data cut short, or a hostile header) share one allowance per document: a 100-byte file
// cannot make us allocate gigabytes, while a truncated file of ordinary size still loads.
constexpr uint64_t kPixelsPerDataByte = 2731;
constexpr uint64_t kUnprovenPixelAllowance = uint64_t{1} << 22;

constexpr size_t kMaxListSize = std::numeric_limits<int16_t>::max();

constexpr uint8_t kExtension = 0x21;
constexpr uint8_t kImage = 0x2C;
constexpr uint8_t kTrailer = 0x3B;
constexpr uint8_t kGraphicControl = 0xF9;
constexpr uint8_t kComment = 0xFE;
constexpr uint8_t kApplication = 0xFF;

uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

} // namespace

class cGIF::Reader {
public:
    Reader(cGIF& doc, std::span<const uint8_t> data) : doc_(doc), data_(data) {}

    bool Run() {
        if (!ReadHeader()) return false;
        ReadScreen();
        bool trailer = false;
        while (pos_ < data_.size()) {
            const uint8_t introducer = data_[pos_];
            trailer = introducer == kTrailer;
            if (trailer) break;
            if (introducer == kExtension) {
                ++pos_;
                ReadExtension();
            } else if (introducer == kImage) {
                // The frame count is 16-bit; dropping the frames beyond would cut the animation.
                if (doc_.frames_.size() == kMaxListSize) doc_.loadTooLarge_ = true;
                if (doc_.loadTooLarge_) return false;
                ++pos_;
                ReadImage();
            }
            ++pos_; // past the terminator, or past a stray byte between blocks
        }
        doc_.trailingComments_ = std::move(pendingComments_);
        if (!trailer) doc_.loadDamaged_ = true; // cut off: frames may be missing
        return !doc_.loadTooLarge_ && !doc_.frames_.empty();
    }

private:
    bool Has(size_t n) const { return pos_ <= data_.size() && data_.size() - pos_ >= n; }
    const uint8_t* At() const { return data_.data() + pos_; }

    bool ReadHeader() {
        if (data_.size() < 6) return false;
        const std::string_view signature(reinterpret_cast<const char*>(data_.data()), 3);
        const std::string_view version(reinterpret_cast<const char*>(data_.data()) + 3, 3);
        if (signature != "GIF" || (version != "87a" && version != "89a")) return false;
        doc_.signature_ = signature;
        doc_.version_ = version;
        pos_ = 6;
        return true;
    }

    void ReadScreen() {
        if (Has(7)) {
            const uint8_t* p = At();
            doc_.screenWidth_ = static_cast<int16_t>(Le16(p));
            doc_.screenHeight_ = static_cast<int16_t>(Le16(p + 2));
            doc_.screenFlags_ = p[4];
            doc_.backgroundIndex_ = p[5];
            doc_.aspectByte_ = p[6];
        }
        pos_ += 7;
        const uint8_t flags = doc_.screenFlags_;
        doc_.globalExists_ = flags & 0x80;
        if (!doc_.globalExists_) return;
        doc_.globalSorted_ = flags & 0x08;
        doc_.globalEntries_ = static_cast<int16_t>(2 << (flags & 7));
        ReadColorTable(doc_.globalEntries_, doc_.globalPalette_);
    }

    // Keeps the entries that are complete; the others stay zero.
    void ReadColorTable(int32_t entries, ColorTable1024& table) {
        const size_t available = pos_ < data_.size() ? (data_.size() - pos_) / 3 : 0;
        const size_t complete = std::min(static_cast<size_t>(entries), available);
        if (complete < static_cast<size_t>(entries)) doc_.loadDamaged_ = true;
        for (size_t i = 0; i < complete; ++i) {
            const uint8_t* rgb = At() + 3 * i;
            table[4 * i] = rgb[2];
            table[4 * i + 1] = rgb[1];
            table[4 * i + 2] = rgb[0];
        }
        pos_ += 3 * static_cast<size_t>(entries);
    }

    // Leaves the position on the terminator (or past the end of the data).
    void GatherSubBlocks(std::vector<uint8_t>* out) {
        while (pos_ < data_.size()) {
            const size_t length = data_[pos_];
            if (length == 0) return;
            if (out) {
                const size_t present = std::min(length, data_.size() - pos_ - 1);
                out->insert(out->end(), At() + 1, At() + 1 + present);
            }
            pos_ += length + 1;
        }
    }

    void ReadExtension() {
        if (pos_ >= data_.size()) return;
        const uint8_t label = data_[pos_++];
        if (label == kGraphicControl) {
            if (Has(5)) std::copy_n(At(), 5, pendingControl_.begin());
            pos_ += 5;
        } else if (label == kComment) {
            std::vector<uint8_t> text;
            GatherSubBlocks(&text);
            if (pendingComments_.size() < kMaxListSize)
                pendingComments_.emplace_back(text.begin(), text.end()); // Latin-1: byte = char
        } else if (label == kApplication) {
            ReadApplication();
        } else {
            GatherSubBlocks(nullptr); // plain text and unknown extensions are dropped
        }
    }

    // The identifier is read as the first sub-block: its size byte is 11 for NETSCAPE2.0, but
    // other writers use other sizes (a fixed 12-byte skip would lose its place in the file).
    void ReadApplication() {
        const size_t start = pos_;
        std::vector<uint8_t> identifier;
        if (pos_ < data_.size() && data_[pos_] != 0) {
            const size_t length = data_[pos_];
            const size_t present = std::min(length, data_.size() - pos_ - 1);
            identifier.assign(At() + 1, At() + 1 + present);
            pos_ += length + 1;
        }
        const bool looping = std::string_view(reinterpret_cast<const char*>(identifier.data()),
                                              identifier.size()) == "NETSCAPE2.0";
        std::vector<uint8_t> payload;
        GatherSubBlocks(&payload);
        if (looping && payload.size() >= 3) {
            doc_.animationLoops_ = static_cast<int16_t>(Le16(payload.data() + 1));
            doc_.playsOnce_ = false;
        }
        const bool complete = pos_ < data_.size() && data_[pos_] == 0;
        if (!looping && !identifier.empty() && complete &&
            doc_.applicationBlocks_.size() < kMaxListSize)
            doc_.applicationBlocks_.emplace_back(data_.data() + start, At() + 1);
    }

    void ReadImage() {
        Frame& frame = doc_.AppendFrame();
        std::array<uint8_t, 9> descriptor{}; // cut off by the end of the data: all zero
        if (Has(9))
            std::copy_n(At(), 9, descriptor.begin());
        else
            doc_.loadDamaged_ = true;
        pos_ += 9;
        ApplyControl(frame);
        frame.comments = std::move(pendingComments_);
        pendingComments_.clear();

        frame.left = static_cast<int16_t>(Le16(&descriptor[0]));
        frame.top = static_cast<int16_t>(Le16(&descriptor[2]));
        const auto width = static_cast<int16_t>(Le16(&descriptor[4]));
        const auto height = static_cast<int16_t>(Le16(&descriptor[6]));
        const uint8_t flags = descriptor[8];
        frame.interlaced = flags & 0x40;
        frame.localUsed = flags & 0x80;
        if (frame.localUsed) {
            frame.localSorted = flags & 0x20;
            frame.localEntries = static_cast<int16_t>(2 << (flags & 7));
            ReadColorTable(frame.localEntries, frame.palette);
        } else {
            frame.localSorted = doc_.globalSorted_;
            frame.localEntries = doc_.globalEntries_;
            frame.palette = doc_.globalPalette_;
        }

        const uint8_t minCodeSize = pos_ < data_.size() ? data_[pos_] : 0;
        ++pos_;
        imageData_.clear();
        GatherSubBlocks(&imageData_);
        if (CreateSurfaces(frame, width, height)) {
            const size_t decoded =
                decoder_.DecodeImage(*frame.dibXOR, frame.interlaced, minCodeSize, imageData_);
            if (decoded < static_cast<size_t>(width) * static_cast<size_t>(height)) {
                doc_.loadDamaged_ = true;
                HideUndecoded(frame, decoded);
            }
        }
        FinishFrame(static_cast<int32_t>(doc_.frames_.size()));
    }

    // Pixels the data never reached show nothing, as browsers leave them: they take the frame's
    // transparent index, or else the first index of its table that no pixel the data gave uses,
    // which becomes its transparent one. With every index in use they stay index 0.
    void HideUndecoded(Frame& frame, size_t decoded) {
        cDIB& surface = *frame.dibXOR;
        if (!frame.useTransparent) {
            std::array<bool, 256> used{};
            ForEachRowPart(surface, frame.interlaced, decoded, true,
                           [&](uint8_t* begin, uint8_t* end) {
                               for (const uint8_t* pixel = begin; pixel != end; ++pixel)
                                   used[*pixel] = true;
                           });
            const auto tableEnd = used.begin() + frame.localEntries;
            const auto free = std::find(used.begin(), tableEnd, false);
            if (free == tableEnd) return;
            frame.useTransparent = true;
            frame.transparentIndex = static_cast<uint8_t>(free - used.begin());
        }
        ForEachRowPart(
            surface, frame.interlaced, decoded, false,
            [&](uint8_t* begin, uint8_t* end) { std::fill(begin, end, frame.transparentIndex); });
    }

    // Calls `visit` with each row's part before the first `decoded` pixels in row order (`before`),
    // or with each row's part after them.
    template <typename Visit>
    static void ForEachRowPart(cDIB& surface, bool interlaced, size_t decoded, bool before,
                               Visit visit) {
        const auto width = static_cast<size_t>(surface.Width());
        RowOrder order(surface.Height(), interlaced && surface.Height() > 4);
        for (size_t first = 0; !order.Done(); first += width, order.Next()) {
            uint8_t* row =
                surface.lpBits() + static_cast<ptrdiff_t>(order.Row()) * surface.BytesPerScanline();
            const size_t split = decoded > first ? std::min(decoded - first, width) : 0;
            if (before)
                visit(row, row + split);
            else
                visit(row + split, row + width);
        }
    }

    // A graphic control extension applies to the one image that follows it.
    void ApplyControl(Frame& frame) {
        const uint8_t packed = pendingControl_[1];
        frame.delay = static_cast<int16_t>(Le16(&pendingControl_[2]));
        frame.disposal = (packed >> 2) & 7;
        frame.userInput = packed & 2;
        frame.useTransparent = packed & 1;
        if (frame.useTransparent) frame.transparentIndex = pendingControl_[4];
        pendingControl_.fill(0);
    }

    // Allocated once the image data is known, within the limits described above. A refused or
    // impossible size leaves the frame with empty surfaces.
    bool CreateSurfaces(Frame& frame, int16_t width, int16_t height) {
        if (width <= 0 || height <= 0) return false;
        const uint64_t pixels = uint64_t(width) * uint64_t(height);
        if (pixels > cGIF::kMaxPixels - pixelsAllocated_) {
            doc_.loadTooLarge_ = true;
            return false;
        }
        const uint64_t proven = imageData_.size() * kPixelsPerDataByte;
        if (pixels > proven) {
            if (pixels - proven > allowance_) {
                doc_.loadDamaged_ = true; // its data cannot hold the frame's pixels
                return false;
            }
            allowance_ -= pixels - proven;
        }
        pixelsAllocated_ += pixels;
        return frame.dibXOR->Create(width, height, 8) && frame.dibAND->Create(width, height, 1);
    }

    void FinishFrame(int32_t nFrame) {
        Frame& frame = doc_.frames_.back();
        if (frame.useTransparent) {
            doc_.FrameMask(nFrame, frame.transparentIndex);
        } else {
            frame.dibXOR->SetPalette(frame.palette);
        }
    }

    cGIF& doc_;
    std::span<const uint8_t> data_;
    size_t pos_ = 0;
    std::array<uint8_t, 5> pendingControl_{}; // block size, packed, delay (2), transparent index
    std::vector<std::string> pendingComments_;
    std::vector<uint8_t> imageData_;
    uint64_t allowance_ = kUnprovenPixelAllowance;
    uint64_t pixelsAllocated_ = 0;
    mGIFLZWDec decoder_;
};

bool cGIF::LoadFromStream(std::span<const uint8_t> Stream) {
    Destroy();
    playsOnce_ = true; // until a looping block is read
    try {
        if (Reader(*this, Stream).Run()) return true;
        if (loadTooLarge_) { // what was read is of no use: free it now
            Destroy();
            loadTooLarge_ = true;
        }
        return false;
    } catch (const std::bad_alloc&) { // a file too large for memory is a failed load
        Destroy();
        return false;
    }
}

bool cGIF::LoadFromFile(const std::filesystem::path& Filename) {
    std::error_code error;
    const auto length = std::filesystem::file_size(Filename, error);
    if (!error && length == 0) return false; // an empty file changes nothing
    std::vector<uint8_t> bytes;
    std::ifstream file(Filename, std::ios::binary);
    try {
        if (!error && file) {
            bytes.resize(length);
            file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(length));
        }
    } catch (const std::bad_alloc&) {
        error = std::make_error_code(std::errc::not_enough_memory);
    }
    if (error || !file) {
        Destroy();
        return false;
    }
    return LoadFromStream(bytes);
}

} // namespace lumatrim
