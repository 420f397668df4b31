// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/batch/route_table.h"

#include "app/batch/output_folder.h"
#include "app/platform/paths.h"
#include "app/routes/bmp_route.h"
#include "app/routes/gif_route.h"
#include "app/routes/jpeg_route.h"
#include "app/routes/picture_limits.h"
#include "app/routes/png_route.h"

#include <algorithm>
#include <array>

namespace lumatrim {

namespace {

constexpr SourceKind kJpegSource{"\xFF\xD8", "Not a JPEG file..", kUnexpectedErrorLoadingImage,
                                 kImageErrorTitle};
constexpr SourceKind kBmpSource{"BM", "Not a BMP file..", kUnexpectedErrorLoadingImage,
                                kImageErrorTitle};
constexpr SourceKind kGifSource{"GIF8", "Not a GIF file..", kErrorLoadingGif,
                                kErrorLoadingGifTitle};
constexpr SourceKind kPngSource{"\x89PNG", "Not a PNG file..",
                                "Cannot read the file: ", kImageErrorTitle};

// Compared in order, the first equal key wins. Extensions without a route are passed over
// without output or message. "jpeg" and "jpe" name JPEG files as "jpg" does.
constexpr std::array kRoutes = {
    Route{"jpg", "jpg", "_reduced.jpg", &ReduceJpeg, kJpegSource},
    Route{"jpeg", "jpg", "_reduced.jpg", &ReduceJpeg, kJpegSource},
    Route{"jpe", "jpg", "_reduced.jpg", &ReduceJpeg, kJpegSource},
    Route{"bmp", "bmp", "_reduced.bmp", &ReduceBmp, kBmpSource},
    Route{"gif", "gif", "_reduced.gif", &ReduceGif, kGifSource},
    Route{"png", "png", "_reduced.png", &ReducePng, kPngSource},
};

} // namespace

ItemPaths DeriveItemPaths(const std::string& source) {
    ItemPaths paths;
    paths.fileName = GetPathFileName(source);
    paths.baseName = GetFileBaseName(paths.fileName);
    paths.extension = LowerCase(GetPathExtension(source));
    paths.folder = GetPathFolder(source);
    return paths;
}

const Route* FindRoute(const ItemPaths& paths) {
    // Without a "." in its name the file has no extension, whatever a dotted folder or a bare
    // name like "png" would make of the path's last "."
    if (paths.fileName.find('.') == std::string::npos) return nullptr;
    const auto route = std::find_if(kRoutes.begin(), kRoutes.end(),
                                    [&](const Route& r) { return r.key == paths.extension; });
    return route == kRoutes.end() ? nullptr : &*route;
}

std::optional<std::string> OutputPath(const ItemPaths& paths, const Route& route,
                                      const std::optional<std::string>& outputFolder,
                                      const std::string& mirrored) {
    const std::string name = paths.baseName + std::string(route.suffix);
    const std::string folder = GetShortPath(paths.folder);
    if (outputFolder) return PlaceUnder(*outputFolder, mirrored, folder, name);
    return folder + name;
}

std::optional<std::string> PlannedOutput(const std::string& source,
                                         const std::optional<std::string>& outputFolder,
                                         const std::string& mirrored) {
    const ItemPaths paths = DeriveItemPaths(source);
    const Route* route = FindRoute(paths);
    return route ? OutputPath(paths, *route, outputFolder, mirrored) : std::nullopt;
}

std::vector<std::string> PossibleSourceNames(std::string_view outputName) {
    std::vector<std::string> names;
    for (const Route& route : kRoutes) {
        if (!outputName.ends_with(route.suffix)) continue;
        const std::string_view base = outputName.substr(0, outputName.size() - route.suffix.size());
        names.push_back(std::string(base).append(".").append(route.key));
    }
    return names;
}

} // namespace lumatrim
