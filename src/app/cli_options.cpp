#include "app/cli_options.h"

#include <CLI/CLI.hpp>

namespace lumatrim {

ParsedCommandLine ParseCommandLine(int argc, const char* const* argv, std::ostream& out,
                                   std::ostream& err) {
    CLI::App app("Makes web image files smaller. Each PATH gets a reduced copy beside it, named "
                 "with \"_reduced\" before the extension; sources are never changed.",
                 "lumatrim-batch");
    CliOptions options;
    app.add_option("-q,--quality", options.quality, "JPEG quality, 1 to 100")
        ->check(CLI::Range(1, 100))
        ->capture_default_str();
    app.add_flag("--json", options.json,
                 "Print one JSON object a line per file instead of a table");
    app.add_option("PATH", options.paths,
                   "Image files to reduce; - reads paths from standard input, one a line")
        ->required();
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return {std::nullopt, app.exit(help, out, err)};
    } catch (const CLI::ParseError& error) {
        app.exit(error, out, err);
        return {std::nullopt, kExitUsage};
    }
    return {std::move(options), kExitSuccess};
}

std::vector<std::string> ExpandPaths(const std::vector<std::string>& paths, std::istream& input) {
    std::vector<std::string> expanded;
    for (const std::string& path : paths) {
        if (path != kStandardInputPath) {
            expanded.push_back(path);
            continue;
        }
        for (std::string line; std::getline(input, line);)
            if (!line.empty()) expanded.push_back(line);
    }
    return expanded;
}

} // namespace lumatrim
