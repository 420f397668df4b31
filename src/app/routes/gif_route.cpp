// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/routes/gif_route.h"

#include "gifopt/gif_optimizer.h"

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
    const RouteFailure saveFailure{"Error saving gif file.." + job.output, "Error Saving GIF file"};
    // A failed pipeline step or save makes nothing, so it must not pass for a reduced file.
    const auto effort = job.effort == Effort::Fast ? mGIFOptimizer::GifEffort::Fast
                                                   : mGIFOptimizer::GifEffort::Best;
    if (!mGIFOptimizer::OptimizeDocument(gif, 0, 0, -1, -1, effort)) return saveFailure;
    RouteProduct product;
    product.reduced = Candidate{gif.SaveToMemory(mGIFOptimizer::EncoderEffort(effort)), nullptr};
    if (product.reduced->bytes.empty()) return saveFailure;
    product.writeFailure = saveFailure;
    return product;
}

} // namespace lumatrim
