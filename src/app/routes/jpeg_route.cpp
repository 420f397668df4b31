// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/routes/jpeg_route.h"

#include "app/platform/jpeg_writer.h"
#include "app/platform/paths.h"

#include <algorithm>

namespace lumatrim {

namespace {

RouteFailure Failure(std::string text, const std::string& path) {
    return {std::move(text) + path, std::string(kImageErrorTitle)};
}

} // namespace

RouteResult ReduceJpeg(const RouteJob& job) {
    LoadedPicture& Creator = job.workspace.Creator;
    bool tooLarge = false;
    if (!LoadPicture(GetShortPath(job.source), Creator, &tooLarge))
        return Failure(std::string(PictureLoadErrorText(tooLarge)), job.source);
    const auto quality = static_cast<uint8_t>(std::clamp(job.quality, 1, 100));
    JpegSaveStatus status = JpegSaveStatus::Ok;
    std::vector<uint8_t> encoded = EncodeJPG(Creator, quality, status);
    if (status != JpegSaveStatus::Ok) return Failure(JpegSaveErrorText(status), job.source);
    RouteProduct product;
    product.reduced = Candidate{std::move(encoded), nullptr};
    product.writeFailure = Failure(JpegSaveErrorText(JpegSaveStatus::Win32Error), job.source);
    return product;
}

} // namespace lumatrim
