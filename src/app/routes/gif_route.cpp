// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/routes/gif_route.h"

#include "gifopt/gif_optimizer.h"
#include "imaging/atomic_file.h"

#include <filesystem>
#include <memory>

namespace lumatrim {

RouteResult ReduceGif(const RouteJob& job) {
    if (!job.workspace.gif) job.workspace.gif = std::make_unique<cGIF>();
    cGIF& gif = *job.workspace.gif;
    if (!gif.LoadFromFile(job.source)) {
        const std::string text = gif.LoadTooLarge() ? std::string(kGifTooLarge)
                                                    : std::string("Error loading gif file..");
        return RouteFailure{text + job.source, "Error Loading GIF file"};
    }
    // A failed pipeline step or save writes nothing, so it must not pass for a reduced file.
    if (!mGIFOptimizer::OptimizeGIF(gif, job.output, 0, 0, -1, -1))
        return RouteFailure{"Error saving gif file.." + job.output, "Error Saving GIF file"};
    // A rewrite that came out larger (a few bytes of extension blocks on a tiny file, or an
    // encoder that did less well than the source's) gives way to a copy of the source.
    std::error_code error;
    const auto written = std::filesystem::file_size(job.output, error);
    if (!error && written > std::filesystem::file_size(job.source, error) && !error &&
        !CopyFileAtomically(job.source, job.output))
        return RouteFailure{"Error saving gif file.." + job.output, "Error Saving GIF file"};
    return std::nullopt;
}

} // namespace lumatrim
