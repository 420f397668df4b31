// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/routes/bmp_route.h"

#include "app/platform/paths.h"
#include "app/platform/picture_loader.h"

#include <cctype>

namespace lumatrim {

std::string BmpReduction::LoadSourcePicture(const std::string& path) {
    LoadedPicture picture;
    bool tooLarge = false;
    if (!LoadPicture(path, picture, &tooLarge)) return std::string(PictureLoadErrorText(tooLarge));
    if (!source_.CreateFromStdPicture(&picture.Image, true))
        return std::string(kUnexpectedErrorLoadingImage);
    target_.Destroy();
    return "";
}

std::string BmpReduction::ReduceTo8bpp() {
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
    file = target_.SaveToMemory();
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
    if (std::string error = route.LoadSourcePicture(GetShortPath(job.source)); !error.empty())
        return RouteFailure{error + job.source, std::string(kImageErrorTitle)};
    if (std::string error = route.ReduceTo8bpp(); !error.empty())
        return RouteFailure{error + job.source, ProperCase(error)};
    RouteProduct product;
    product.reduced.emplace();
    if (std::string error = route.EncodeReducedBMP(product.reduced->bytes); !error.empty())
        return RouteFailure{error + job.source, ProperCase(error)};
    product.writeFailure = CannotWrite(job.output);
    return product;
}

} // namespace lumatrim
