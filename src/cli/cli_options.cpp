// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

#include "cli/cli_options.h"

#include "app/batch/folder_walk.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cmath>
#include <filesystem>

namespace lumatrim {

namespace {

// Far beyond any machine's cores, yet small enough that a typo cannot start a thread storm.
constexpr unsigned kMaxJobs = 256;
// A week: longer than any real optimizer run, and still a representable time.
constexpr double kMaxTimeoutSeconds = 7 * 24 * 3600;
// The shortest limit there is: a time limit is kept in whole milliseconds.
constexpr double kMinTimeoutSeconds = 0.001;

// 0, or a number of seconds from kMinTimeoutSeconds to kMaxTimeoutSeconds. NaN fails every
// comparison, so it is refused with the rest.
std::string CheckTimeout(std::string& text) {
    double seconds = 0;
    if (CLI::detail::lexical_cast(text, seconds) &&
        (seconds == 0 || (seconds >= kMinTimeoutSeconds && seconds <= kMaxTimeoutSeconds)))
        return {};
    return "Value " + text + " is neither 0 nor a number of seconds from 0.001 to 604800";
}

// Checked before the range, which would only say that it cannot convert the text.
std::string CheckWholeNumber(std::string& text) {
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc() && end == text.data() + text.size()) return {};
    if (error == std::errc::result_out_of_range) return "Value " + text + " is out of range";
    return "Value " + text + " is not a number";
}

std::optional<uint32_t> ParseCount(std::string_view text) {
    uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

void AddScaleOutOptions(CLI::App& app, CliOptions& options, std::string& shard) {
    app.add_option("--shard", shard,
                   "Take only shard K of N (0-based) of the list: the items whose position "
                   "modulo N is K, with items that may share a file kept in the shard of the "
                   "first of them")
        ->type_name("K/N")
        ->check([](const std::string& text) {
            return ParseShard(text) ? std::string() : "expected K/N with 0 <= K < N";
        });
    app.add_option("--output-dir", options.outputFolder,
                   "Write each output under DIR at its source's path relative to the current "
                   "folder, making folders as needed, instead of beside the source")
        ->type_name("DIR")
        ->check([](const std::string& text) {
            return text.empty() ? "an output folder cannot be empty" : std::string();
        });
}

// Lists written on Windows end their lines with "\r\n".
void AddInputLines(std::istream& input, PathList& list) {
    for (std::string line; std::getline(input, line);) {
        if (line.ends_with('\r')) line.pop_back();
        if (!line.empty()) list.Add(line);
    }
}

bool IsFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

void AddFolderTree(const std::string& folder, PathList& list, std::ostream& messages) {
    const std::vector<std::string> files = CollectRoutedFiles(folder);
    for (const std::string& file : files)
        list.Add(file);
    if (files.empty())
        messages << kApplicationTitle << ": No JPEG, GIF, BMP or PNG file in " << folder
                 << " or its subfolders.\n";
}

// Shows the optional value of --lossy as it is given, --lossy[=N], where CLI11 would show the
// flag's default in braces.
class HelpFormatter : public CLI::Formatter {
public:
    std::string make_option_name(const CLI::Option* option, bool positional) const override {
        if (option->check_lname("lossy")) return "--lossy[=N]";
        return CLI::Formatter::make_option_name(option, positional);
    }
};

} // namespace

ParsedCommandLine ParseCommandLine(int argc, const char* const* argv, std::ostream& out,
                                   std::ostream& err) {
    CLI::App app("Makes web image files smaller. Each PATH gets a reduced copy beside it, named "
                 "with \"_reduced\" before the extension; sources are never changed.",
                 "lumatrim-batch");
    app.formatter(std::make_shared<HelpFormatter>());
    CliOptions options;
    const CLI::Validator wholeNumber(CheckWholeNumber, "");
    app.add_option("-q,--quality", options.quality, "JPEG quality, 1 to 100")
        ->check(wholeNumber)
        ->check(CLI::Range(1, 100))
        ->capture_default_str();
    app.add_option("-j,--jobs", options.jobs,
                   "Files reduced at once; messages and results still come in list order")
        ->check(wholeNumber)
        ->check(CLI::Range(1U, kMaxJobs))
        ->capture_default_str();
    app.add_option("--timeout", options.timeoutSeconds,
                   "Seconds the PNG optimizer may take for one file before it is stopped and the "
                   "file fails; 0 for no limit")
        ->check(CLI::Validator(CheckTimeout, "0 or 0.001 to 604800"))
        ->capture_default_str();
    std::string effort = "default";
    app.add_option("--effort", effort,
                   "Time spent to save bytes: default gives the smallest files, fast a quicker "
                   "run with somewhat larger GIFs, JPEGs and PNGs")
        ->check(CLI::IsMember({"fast", "default"}))
        ->capture_default_str();
    app.add_flag("--allow-larger", options.allowLarger,
                 "Keep each file's re-encoded result even where it is larger than the source, "
                 "instead of a lossless rewrite or a copy");
    app.add_flag("--keep-metadata", options.keepMetadata,
                 "Keep the metadata: a JPEG's EXIF (its orientation set to upright where the "
                 "picture was turned), XMP, IPTC and comments, a GIF's comments and application "
                 "blocks, a PNG's text and time chunks");
    app.add_flag("-p,--preserve-times", options.preserveTimes,
                 "Give each output its source's modification time");
    // A flag with an optional value: a bare --lossy gives the default level, --lossy=N another.
    int32_t lossy = 0;
    app.add_flag("--lossy{" + std::to_string(kDefaultLossyLevel) + "}", lossy,
                 "Also try lossy PNG and GIF (a palette of at most 256 colours, lossy LZW), "
                 "kept only where the picture stays close to its source: N from 1 (closest) "
                 "to 100 (smallest files), default " +
                     std::to_string(kDefaultLossyLevel))
        ->type_name("")
        ->check(CLI::Range(kMinLossyLevel, kMaxLossyLevel).description(""));
    app.add_flag("--json", options.json,
                 "Print one JSON object a line per file instead of a table");
    std::string shard;
    AddScaleOutOptions(app, options, shard);
    app.set_version_flag("--version", std::string("lumatrim-batch ") + LUMATRIM_VERSION,
                         "Print the version and exit");
    app.add_option("PATH", options.paths,
                   "Image files to reduce; a folder adds the JPEG, GIF, BMP and PNG files of its "
                   "tree; - reads paths from standard input, one a line")
        ->required();
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& answered) { // --help, --version
        return {std::nullopt, app.exit(answered, out, err)};
    } catch (const CLI::ParseError& error) {
        app.exit(error, out, err);
        return {std::nullopt, kExitUsage};
    }
    options.effort = effort == "fast" ? Effort::Fast : Effort::Default;
    if (!shard.empty()) options.shard = ParseShard(shard);
    if (lossy != 0) options.lossy = lossy;
    return {std::move(options), kExitSuccess};
}

std::optional<std::chrono::milliseconds> ChildTimeLimit(const CliOptions& options) {
    if (options.timeoutSeconds <= 0) return std::nullopt;
    return std::chrono::milliseconds(std::llround(options.timeoutSeconds * 1000.0));
}

std::optional<Shard> ParseShard(std::string_view text) {
    const size_t slash = text.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const std::optional<uint32_t> index = ParseCount(text.substr(0, slash));
    const std::optional<uint32_t> count = ParseCount(text.substr(slash + 1));
    if (!index || !count || *index >= *count) return std::nullopt;
    return Shard{*index, *count};
}

PathList ExpandPaths(const std::vector<std::string>& paths, std::istream& input,
                     std::ostream& messages) {
    PathList expanded;
    for (const std::string& path : paths) {
        if (path == kStandardInputPath)
            AddInputLines(input, expanded);
        else if (IsFolder(path))
            AddFolderTree(path, expanded, messages);
        else
            expanded.Add(path);
    }
    expanded.ShrinkToFit();
    return expanded;
}

} // namespace lumatrim
