// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Lumatrim developers

// The routes a run has, by the extension that picks them: what each reads, the words it shows
// for a source it cannot read, and the name it gives its output. The driver runs them; the
// folder walk, the shards and the collision check name outputs through them.
#pragma once

#include "app/routes/route.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumatrim {

// How a route's source is told apart before the route runs, and the words the route has
// always shown for a source it cannot read (the driver adds the system's reason).
struct SourceKind {
    std::string_view signature;  // the first bytes of every file of the format
    std::string_view notOfKind;  // before the path, for a file of other content
    std::string_view readFailed; // before the path, for a file that cannot be read
    std::string_view title;
};

struct Route {
    std::string_view key;    // lower-case extension that picks the route
    std::string_view name;   // the route as reports name it
    std::string_view suffix; // replaces "." and the extension in the output's name
    RouteResult (*run)(const RouteJob&);
    const SourceKind& source;
};

// The parts of a source's path that pick its route and name its output.
struct ItemPaths {
    std::string fileName;
    std::string baseName;  // the name without its last extension
    std::string extension; // lower case
    std::string folder;    // as the source's path gives it: ends with a separator, or empty
};

ItemPaths DeriveItemPaths(const std::string& source);

// The route for a source's extension; none for a file without a route.
const Route* FindRoute(const ItemPaths& paths);

// Beside the source, or under the output folder when there is one; none when the source has no
// place there. The folder is looked up only here: an item that fails before its output is
// planned (a missing file) costs no look-up for it.
std::optional<std::string> OutputPath(const ItemPaths& paths, const Route& route,
                                      const std::optional<std::string>& outputFolder,
                                      const std::string& mirrored);

// The file a run would write for `source`, beside it or under `outputFolder` at its place in
// `mirrored` (see PlaceUnder); none when no route takes it or it has no place under the output
// folder.
std::optional<std::string> PlannedOutput(const std::string& source,
                                         const std::optional<std::string>& outputFolder = {},
                                         const std::string& mirrored = {});

// The names, extensions in lower case, of the files a run would reduce to the file named
// `outputName` beside them: "x.jpg", "x.jpeg" and "x.jpe" for "x_reduced.jpg"; none for a name
// no route writes. A source's extension may be in any case ("x.GIF" gives "x_reduced.gif" too).
std::vector<std::string> PossibleSourceNames(std::string_view outputName);

} // namespace lumatrim
