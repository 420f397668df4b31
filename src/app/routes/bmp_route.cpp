// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/routes/bmp_route.h"

#include "app/platform/paths.h"
#include "app/routes/picture_limits.h"
#include "imaging/bmp_reader.h"
#include "imaging/exact_palette.h"

#include <cctype>
#include <filesystem>
#include <fstream>

namespace lumatrim {

namespace {

// The whole file, which is freed once its picture is decoded.
std::optional<std::vector<uint8_t>> ReadSourceFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    const uintmax_t size = std::filesystem::file_size(path, error);
    std::ifstream file(path, std::ios::binary);
    if (error || !file) return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (!file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
        return std::nullopt;
    return bytes;
}

BmpReduction::LoadCause CauseOf(BmpStatus status) {
    switch (status) {
    case BmpStatus::Truncated:
        return {"cut off: the file ends before its pixel data", true};
    case BmpStatus::PixelsCutOff:
        return {"cut off: the pixel data ends early", true};
    case BmpStatus::Malformed:
        return {"damaged: its headers make no sense", true};
    case BmpStatus::Unsupported:
        return {"unsupported: an embedded JPEG or PNG, or an unknown header", false};
    case BmpStatus::Ok:
    case BmpStatus::TooLarge: // the text says so
        break;
    }
    return {};
}

} // namespace

std::string BmpReduction::LoadSourcePicture(const std::string& path) {
    source_.Destroy();
    target_.Destroy();
    transparency_ = Transparency::None;
    loadCause_ = {};
    const std::optional<std::vector<uint8_t>> file = ReadSourceFile(path);
    BmpLayout layout;
    const BmpStatus status =
        file ? ReadBmpLayout(*file, kMaxPicturePixels, layout) : BmpStatus::Malformed;
    if (status != BmpStatus::Ok) {
        if (file) loadCause_ = CauseOf(status);
        return std::string(PictureLoadErrorText(status == BmpStatus::TooLarge));
    }
    if (layout.leavesPixelsOut) {
        transparency_ = Transparency::PixelsLeftOut;
        return "";
    }
    bool transparent = false;
    if (!DecodeBmp(*file, layout, source_, transparent)) {
        loadCause_ = {"not enough memory", false};
        return std::string(kUnexpectedErrorLoadingImage);
    }
    if (transparent) transparency_ = Transparency::Pixels;
    return "";
}

std::optional<std::string_view> BmpReduction::WhyKeptAsItIs() const {
    switch (transparency_) {
    case Transparency::None:
        return std::nullopt;
    case Transparency::Pixels:
        return kKeptTransparent;
    case Transparency::PixelsLeftOut:
        return kKeptPixelsLeftOut;
    }
    return std::nullopt;
}

bool BmpReduction::ReduceExactly() {
    exactColours_ = CopyToExact8bpp(source_, target_);
    return exactColours_ > 0;
}

std::string BmpReduction::ReduceTo8bpp() {
    exactColours_ = 0;
    if (!source_.hDIB()) return std::string(kNothingToDither);
    // Without memory for the thumbnail or the target nothing was dithered: say so here rather
    // than leave it to the save.
    if (!dither_.DitherTo8bpp(source_, target_)) {
        target_.Destroy();
        return std::string(kNothingToDither);
    }
    return "";
}

std::string BmpReduction::EncodeReducedBMP(std::vector<uint8_t>& file) const {
    if (!target_.hDIB()) return std::string(kNothingToSave);
    file = target_.SaveToMemory(exactColours_);
    return file.empty() ? std::string(kNothingToSave) : "";
}

std::string ProperCase(std::string_view text) {
    std::string result(text);
    bool wordStart = true;
    for (char& c : result) {
        const auto byte = static_cast<unsigned char>(c);
        c = static_cast<char>(wordStart ? std::toupper(byte) : std::tolower(byte));
        wordStart = c == ' ';
    }
    return result;
}

RouteResult ReduceBmp(const RouteJob& job) {
    BmpReduction route(*job.workspace.bmpSource, *job.workspace.bmpTarget);
    route.SetDitherMethod(mDither8bpp::kOptimalPalette);
    if (std::string error = route.LoadSourcePicture(GetShortPath(job.source)); !error.empty()) {
        const BmpReduction::LoadCause cause = route.LastLoadCause();
        std::string prompt = error + job.source;
        if (!cause.reason.empty()) prompt += " (" + std::string(cause.reason) + ")";
        return RouteFailure{prompt, std::string(kImageErrorTitle), cause.damaged};
    }
    RouteProduct product;
    product.writeFailure = CannotWrite(job.output);
    if (const std::optional<std::string_view> why = route.WhyKeptAsItIs()) {
        product.note = std::string(*why) + job.source; // the driver writes a copy
        return product;
    }
    const bool exact = route.ReduceExactly();
    if (!exact)
        if (std::string error = route.ReduceTo8bpp(); !error.empty())
            return RouteFailure{error + job.source, ProperCase(error)};
    std::optional<Candidate>& candidate = exact ? product.lossless : product.reduced;
    candidate.emplace();
    if (std::string error = route.EncodeReducedBMP(candidate->bytes); !error.empty())
        return RouteFailure{error + job.source, ProperCase(error)};
    return product;
}

} // namespace lumatrim
