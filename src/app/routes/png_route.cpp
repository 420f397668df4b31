// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/routes/png_route.h"

#include "app/platform/paths.h"
#include "app/platform/shell.h"
#include "app/platform/work_file.h"
#include "imaging/atomic_file.h"

#include <sstream>

namespace lumatrim {

namespace {

RouteFailure Failure(std::string_view text, const std::string& path) {
    return {std::string(text) + path, std::string(kImageErrorTitle)};
}

// The optimizer's work is kept only when it ended cleanly with a file no larger than the
// source; a crashed or failing optimizer may leave the work file half written.
bool OptimizerResultUsable(int32_t exitCode, std::optional<uintmax_t> sizeBefore,
                           std::optional<uintmax_t> sizeAfter) {
    return exitCode == 0 && sizeBefore && sizeAfter && *sizeAfter <= *sizeBefore;
}

std::string TimedOutText(std::chrono::milliseconds limit) {
    const auto seconds = std::chrono::duration<double>(limit).count();
    std::ostringstream text;
    text << "The PNG optimizer did not finish within " << seconds << " s and was stopped: ";
    return text.str();
}

} // namespace

RouteResult ReducePngWith(const std::string& source, const std::string& output,
                          const std::string& optimizer, const std::function<void()>& pumpEvents,
                          std::optional<std::chrono::milliseconds> timeLimit) {
    WorkFile work(".png");
    if (!work.IsCreated()) return Failure("Cannot create a work file for: ", source);
    switch (work.FillFrom(source)) {
    case WorkFile::FillResult::Filled:
        break;
    case WorkFile::FillResult::SourceUnreadable:
        return Failure("Cannot read the file: ", source);
    case WorkFile::FillResult::WorkUnwritable:
        return Failure("Cannot write a work file for: ", source);
    }

    const std::optional<uintmax_t> sizeBefore = work.Size();
    const int32_t exitCode =
        ShellAndWait({optimizer, work.Path()}, kWindowStyleHidden, pumpEvents, timeLimit);
    if (exitCode == kChildTimedOut) return Failure(TimedOutText(*timeLimit), source);
    const bool optimized = OptimizerResultUsable(exitCode, sizeBefore, work.Size());
    if (!CopyFileAtomically(optimized ? work.Path() : source, output))
        return Failure("Cannot write the file: ", output);
    return std::nullopt;
}

RouteResult ReducePng(const RouteJob& job) {
    return ReducePngWith(job.source, job.output,
                         PathInFolder(job.applicationFolder, kPngOptimizerName), job.pumpEvents,
                         job.childTimeLimit);
}

} // namespace lumatrim
