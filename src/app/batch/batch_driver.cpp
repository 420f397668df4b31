// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "app/batch/batch_driver.h"

#include "app/batch/folder_walk.h"
#include "app/batch/output_folder.h"
#include "app/batch/result_choice.h"
#include "app/batch/route_table.h"
#include "app/batch/source_check.h"
#include "app/platform/paths.h"
#include "app/routes/picture_limits.h"
#include "app/routes/route.h"
#include "imaging/atomic_file.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <sys/stat.h>

namespace lumatrim {

namespace {

ItemReport Failed(BatchHost& host, ItemReport report, const RouteFailure& failure) {
    host.ShowMessage(failure.prompt, failure.title, MessageIcon::Exclamation);
    report.status = ItemStatus::Error;
    report.message = failure.prompt;
    report.damaged = failure.damaged;
    return report;
}

RouteFailure SourceFailure(std::string_view text, const std::string& source) {
    return {std::string(text) + source, std::string(kImageErrorTitle)};
}

// A source nobody may read fails in its route's own words with the system's reason, and one
// of other content as not of its kind; either way before the route spends anything on it.
std::optional<RouteFailure> RefusedSource(const SourceKind& kind, const std::string& source) {
    const SourceCheck check = CheckSourceStart(source, kind.signature);
    const auto failure = [&](std::string_view text, std::string_view reason) {
        return RouteFailure{std::string(text) + source + " (" + std::string(reason) + ")",
                            std::string(kind.title)};
    };
    switch (check.start) {
    case SourceStart::Fits:
        return std::nullopt;
    case SourceStart::Unreadable:
        return failure(kind.readFailed, check.error.message());
    case SourceStart::Empty:
        return failure(kind.notOfKind, "the file is empty");
    case SourceStart::OtherFormat:
        return RouteFailure{std::string(kind.notOfKind) + source, std::string(kind.title)};
    }
    return std::nullopt;
}

// An output of an earlier run: beside its source, or under the output folder at its source's
// place.
bool IsOwnOutput(const BatchHost& host, const std::string& source) {
    if (IsOwnOutputBesideSource(source)) return true;
    const std::optional<std::string> outputFolder = host.OutputFolder();
    if (!outputFolder) return false;
    const std::optional<std::string> sourceFolder =
        SourceFolderOfPlace(*outputFolder, host.MirroredFolder(), source);
    return sourceFolder && IsOutputOfSourceIn(source, *sourceFolder);
}

ItemReport PassedOver(BatchHost& host, ItemReport report) {
    report.message = std::string(kOwnOutputPassedOver) + report.source;
    host.ShowMessage(*report.message, "", MessageIcon::None);
    return report;
}

// Routes report bad input as text; what they raise (an overflow in a damaged file, memory
// running out, a host that cannot answer) is still one item's failure, not the end of the run.
RouteResult RunRoute(const Route& route, BatchHost& host, const std::string& source,
                     const std::string& output, const std::string& applicationFolder,
                     RouteWorkspace& workspace) {
    try {
        return route.run({source, output, applicationFolder, host.Quality(),
                          [&host] { host.DoEvents(); }, host.ChildTimeLimit(), host.EffortSetting(),
                          host.StopToken(), workspace, host.LossyLevel(), host.KeepMetadata()});
    } catch (const std::exception& error) {
        return SourceFailure("Unexpected error (" + std::string(error.what()) + ") reducing: ",
                             source);
    }
}

std::optional<uintmax_t> SizeOf(const std::string& path) {
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(path, error);
    return error ? std::nullopt : std::optional<uintmax_t>(size);
}

std::optional<uintmax_t> SizeOf(const std::optional<Candidate>& candidate) {
    return candidate ? candidate->Size() : std::nullopt;
}

bool WriteCandidate(const Candidate& candidate, const std::string& output,
                    const NewFileAttributes& attributes, std::error_code& error) {
    if (candidate.workFile)
        return CopyFileAtomically(candidate.workFile->Path(), output, attributes, &error);
    return WriteFileAtomically(output, candidate.bytes, attributes, &error);
}

// The output is as private as its source: a photo only its owner may read stays so. With
// `preserveTimes` it also keeps the source's modification time, as `jpegoptim -p` does.
NewFileAttributes OutputAttributes(const std::string& source, bool preserveTimes) {
    struct stat status {};
    if (::stat(source.c_str(), &status) != 0) return {};
    NewFileAttributes attributes{status.st_mode & 0777, std::nullopt};
    if (preserveTimes) attributes.modified = status.st_mtim;
    return attributes;
}

bool WriteResult(const RouteProduct& product, ItemResult result, const std::string& source,
                 const std::string& output, bool preserveTimes, std::error_code& error) {
    const NewFileAttributes attributes = OutputAttributes(source, preserveTimes);
    switch (result) {
    case ItemResult::Reduced:
        return WriteCandidate(*product.reduced, output, attributes, error);
    case ItemResult::Lossless:
        return WriteCandidate(*product.lossless, output, attributes, error);
    case ItemResult::Lossy:
        return WriteCandidate(*product.lossy, output, attributes, error);
    case ItemResult::Copy:
        break;
    }
    return CopyFileAtomically(source, output, attributes, &error);
}

// The route's own words for a failed write, then the system's reason: "... (Permission denied)".
RouteFailure WithReason(RouteFailure failure, std::error_code error) {
    if (error) failure.prompt += " (" + error.message() + ")";
    return failure;
}

ItemReport NotDone(ItemReport report) {
    report.status = ItemStatus::NotDone;
    return report;
}

// Writes the one output the route's candidates and the source give. Damage found in the source
// is shown as well as reported: the item succeeded, but not as plainly as the others.
ItemReport Finish(BatchHost& host, ItemReport report, const RouteProduct& product,
                  const std::string& output) {
    const std::optional<ItemResult> result =
        ChooseResult({SizeOf(report.source), SizeOf(product.reduced), SizeOf(product.lossless),
                      SizeOf(product.lossy)},
                     host.AllowLarger());
    if (!result) return Failed(host, report, product.writeFailure);
    if (host.OutputFolder()) MakeFoldersFor(output);
    std::error_code error;
    if (!WriteResult(product, *result, report.source, output, host.PreserveTimes(), error))
        return Failed(host, report, WithReason(product.writeFailure, error));
    if (product.damaged && product.note)
        host.ShowMessage(*product.note, std::string(kDamagedImageTitle), MessageIcon::Exclamation);
    report.status = ItemStatus::Ok;
    report.output = output;
    report.result = result;
    report.message = product.note;
    report.damaged = product.damaged;
    return report;
}

// A NUL byte ends a name for the system, which would then see another file ("keep.gif" for
// "keep.gif\0.gif"); such a path is never used. Its NUL bytes are shown as "\0".
bool HoldsNul(const std::string& path) {
    return path.find('\0') != std::string::npos;
}

std::string PrintablePath(const std::string& path) {
    std::string printable;
    for (const char c : path) {
        if (c == '\0')
            printable += "\\0";
        else
            printable += c;
    }
    return printable;
}

} // namespace

ItemReport ReduceItem(BatchHost& host, const std::string& source,
                      const std::string& applicationFolder, RouteWorkspace& workspace) {
    const ItemPaths paths = DeriveItemPaths(source);
    ItemReport report;
    report.source = source;
    const Route* route = FindRoute(paths);
    if (route) report.route = std::string(route->name);
    if (host.StopToken().stop_requested()) return NotDone(report);
    if (HoldsNul(source))
        return Failed(host, report, SourceFailure("Invalid file name: ", PrintablePath(source)));
    // Checked before the route: a path that names nothing is a mistake in the list, whatever
    // its extension (a stray "\r" or blank at the end of a line, a typo).
    if (!FileExists(source))
        return Failed(host, report, SourceFailure("Cannot find the file: ", source));
    if (!route) return report;
    // Directories, pipes and devices: a pipe without a writer would block the run for good.
    if (!IsRegularFile(source))
        return Failed(host, report, SourceFailure("Cannot read the file: ", source));
    if (host.PassOverOwnOutputs() && IsOwnOutput(host, source)) return PassedOver(host, report);
    if (std::optional<RouteFailure> refused = RefusedSource(route->source, source))
        return Failed(host, report, *refused);

    const std::optional<std::string> output =
        OutputPath(paths, *route, host.OutputFolder(), host.MirroredFolder());
    if (!output) return Failed(host, report, SourceFailure(kOutsideCurrentFolder, source));
    if (host.OutputFolder() &&
        LinkBetween(*host.OutputFolder(), host.MirroredFolder(), GetShortPath(paths.folder)))
        return Failed(host, report, SourceFailure(kThroughLinkOutOfOutputFolder, *output));
    const RouteResult result =
        RunRoute(*route, host, source, *output, applicationFolder, workspace);
    // A stop ends the item wherever it was: its work is not written, and a failure it caused
    // (an optimizer ended) is no failure of the file's.
    if (host.StopToken().stop_requested()) return NotDone(report);
    if (const auto* failure = std::get_if<RouteFailure>(&result))
        return Failed(host, report, *failure);
    return Finish(host, report, std::get<RouteProduct>(result), *output);
}

void EndRun(BatchHost& host) {
    host.SetMousePointer(MousePointer::Default);
    host.SetProgress(0.0F);
    if (!host.StopToken().stop_requested()) host.ShowMessage("Done.", "", MessageIcon::None);
}

void RunBatch(BatchHost& host, const std::string& applicationFolder) {
    RouteWorkspace workspace;
    RunBatch(host, applicationFolder, workspace);
}

void RunBatch(BatchHost& host, const std::string& applicationFolder, RouteWorkspace& workspace) {
    const int32_t itemCount = host.ItemCount();
    if (itemCount < 1) {
        host.ShowMessage("No files added.", "", MessageIcon::None);
        return;
    }
    for (int32_t index = 1; index <= itemCount; ++index) {
        host.SetMousePointer(MousePointer::Hourglass);
        // Re-read: the host services events while an optimizer runs, and its list may change.
        const int32_t currentCount = host.ItemCount();
        if (index > currentCount) break;
        host.SetProgress(static_cast<float>(static_cast<double>(index) / currentCount * 100.0));
        host.ReportItem(ReduceItem(host, host.ItemText(index), applicationFolder, workspace));
    }
    workspace.gif.reset();
    EndRun(host);
}

} // namespace lumatrim
